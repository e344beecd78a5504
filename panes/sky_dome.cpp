#include "panes/sky_dome.h"

#include "display/sky_hours.h"
#include "ephemeris/constants.h"
#include "ephemeris/stars.h"
#include "panes/accessible.h"
#include "panes/dome_key.h"
#include "panes/label_box.h"
#include "panes/moon_mark.h"
#include "panes/picture_menu.h"
#include "panes/texts.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double MARS_MARK = 7.0;
constexpr double MOON_MARK = 7.0; // as large as Mars's: its phase must show
constexpr double SUN_MARK = 8.0;

// The colours of a sky by how lit it is, each text plainly readable on its sky; and the faintest
// star still seen in it.
struct Palette {
    QColor sky, rings, horizon, text, names;
    double faintest;
};

Palette paletteOf(SkyLight light) {
    switch (light) {
    case SkyLight::Day:
        return {{128, 170, 218}, {95, 130, 180}, {45, 70, 120}, {15, 25, 55}, {20, 40, 90}, -99};
    case SkyLight::CivilTwilight:
        return {{62, 92, 150},   {95, 120, 175},  {170, 185, 225},
                {240, 243, 250}, {225, 235, 255}, 1.0};
    case SkyLight::NauticalTwilight:
        return {{32, 48, 95},    {75, 90, 140},   {150, 160, 205},
                {225, 230, 245}, {185, 205, 245}, 2.5};
    case SkyLight::AstronomicalTwilight:
        return {{16, 22, 52}, {70, 80, 125}, {150, 160, 200}, {220, 225, 240}, {170, 195, 240}, 99};
    case SkyLight::Night:
        break;
    }
    return {{8, 10, 28}, {70, 80, 120}, {150, 160, 200}, {220, 225, 240}, {170, 195, 240}, 99};
}

// Where a place in the sky falls on the dome: the zenith at the centre, the horizon at `radius`,
// below it further out (where lines are cut off at the horizon).
QPointF onDome(const Horizontal& h, const QPointF& centre, double radius) {
    const double r = (90 - h.altitude) / 90 * radius;
    const double a = h.azimuth * DEGREE;
    return centre + QPointF(-r * std::sin(a), -r * std::cos(a));
}

// A line is drawn when it reaches above the horizon; far below it the projection stretches so
// much that its chord could cross the dome.
bool showsAbove(const Horizontal& a, const Horizontal& b) {
    return std::max(a.altitude, b.altitude) > 0 && std::min(a.altitude, b.altitude) > -30;
}

// Where Mars is drawn: on the horizon when it is below, as the track is cut off there.
QPointF onTrack(const Horizontal& h, const QPointF& centre, double radius) {
    return onDome(Horizontal{std::max(h.altitude, 0.0), h.azimuth}, centre, radius);
}

// A rectangle a little larger than a mark of radius `r` at `p`, where no text goes.
QRectF around(const QPointF& p, double r) {
    return QRectF(p - QPointF(r + 2, r + 2), QSizeF(2 * r + 4, 2 * r + 4));
}

// Whether a label's place is inside the horizon and clear of the track.
bool insideAndClear(const QRectF& r, const QPointF& centre, double radius,
                    const std::vector<QLineF>& track) {
    for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
        if (std::hypot(corner.x() - centre.x(), corner.y() - centre.y()) > radius) {
            return false;
        }
    }
    return std::none_of(track.begin(), track.end(), [&](const QLineF& line) {
        return crosses(line, r.adjusted(-2, -2, 2, 2));
    });
}

} // namespace

std::vector<SkyDome::Hour> SkyDome::hours(const QPointF& centre, double radius) const {
    const ZoneOffset offsetAt = zoneOffsetOf(zone_);
    std::vector<Hour> shown;
    for (const HourMark& mark : localHourMarks(samples_, offsetAt)) {
        const SkySample& a = samples_[mark.after];
        const SkySample& b = samples_[std::min(mark.after + 1, samples_.size() - 1)];
        if (a.mars.altitude + mark.fraction * (b.mars.altitude - a.mars.altitude) < 0) {
            continue;
        }
        // Along the line drawn between the two samples.
        const QPointF p = onTrack(a.mars, centre, radius);
        const QPointF way = onTrack(b.mars, centre, radius) - p;
        const double length = std::hypot(way.x(), way.y());
        shown.push_back({p + way * mark.fraction, length > 0 ? way / length : QPointF(1, 0),
                         QStringLiteral("%1").arg(mark.hour, 2, 10, QLatin1Char('0')), mark.utJd});
    }
    return shown;
}

std::vector<QRectF> compassBoxes(const QPointF& centre, double radius, const QFontMetricsF& bold) {
    // Clear of the horizon's line and of Mars or the Sun standing on it.
    constexpr double GAP = 8;
    std::vector<QRectF> boxes;
    const char* const letters[] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        const QSizeF size(bold.horizontalAdvance(QString::fromLatin1(letters[i])) + 2,
                          bold.height());
        const double half = i % 2 == 0 ? size.height() / 2 : size.width() / 2;
        const QPointF outward = onDome(Horizontal{0, 90.0 * i}, QPointF(), 1);
        const QPointF at = centre + outward * (radius + GAP + half);
        boxes.emplace_back(at - QPointF(size.width() / 2, size.height() / 2), size);
    }
    return boxes;
}

SkyDome::SkyDome(QWidget* parent) : QWidget(parent) {
    setMinimumSize(360, 360);
    setFocusPolicy(Qt::StrongFocus); // for a screen reader to read it from the keyboard
    givePictureKeys(*this);
    setAccessibleName(QStringLiteral("The sky seen from the place"));
}

void SkyDome::setSky(const SkyTonight& sky) {
    samples_ = sky.pass.samples;
    const auto top = std::max_element(samples_.begin(), samples_.end(), [](auto& a, auto& b) {
        return a.mars.altitude < b.mars.altitude;
    });
    highest_ = sky.pass.transit ? sky.pass.transit->utJd : top != samples_.end() ? top->utJd : 0;
    marsNow_ = sky.marsAt;
    chart_ = sky.chart;
    const SkyLight light = skyLightOf(chart_.sun.altitude);
    QString name = QStringLiteral("The sky seen from the place, ") +
                   (light == SkyLight::Night
                        ? QStringLiteral("at night")
                        : QStringLiteral("in ") + QString::fromLatin1(skyLightWords(light)));
    if (light == SkyLight::Day) {
        const std::string_view toward = compassWord(chart_.sun.azimuth, 16);
        name += QStringLiteral(", the Sun %1° above the horizon in the %2")
                    .arg(qRound(refracted(chart_.sun.altitude)))
                    .arg(QString::fromLatin1(toward.data(), static_cast<qsizetype>(toward.size())));
    }
    setAccessibleName(name);
    update();
}

void SkyDome::paintLines(QPainter& painter, const QPointF& centre, double radius) const {
    // The part of a line above the horizon: an end below it is moved to where the line meets it.
    const auto visible = [&](const Horizontal& a, const Horizontal& b) -> std::optional<QLineF> {
        if (!showsAbove(a, b)) {
            return std::nullopt;
        }
        QLineF line(onDome(a, centre, radius), onDome(b, centre, radius));
        const auto onHorizon = [&](double t) {
            const QPointF p = line.pointAt(t) - centre;
            return centre + p * (radius / std::hypot(p.x(), p.y()));
        };
        if (a.altitude < 0) {
            line.setP1(onHorizon(a.altitude / (a.altitude - b.altitude)));
        } else if (b.altitude < 0) {
            line.setP2(onHorizon(a.altitude / (a.altitude - b.altitude)));
        }
        return line;
    };
    QList<QLineF> lines;
    for (const auto& [a, b] : chart_.figures) {
        if (const auto line = visible(a, b)) {
            lines.push_back(*line);
        }
    }
    // By day the eye sees no stars to join: the figures fade in with the twilight, and the
    // ecliptic, the Sun's own path, stays faint.
    const double darkness = darknessOf(chart_.sun.altitude);
    if (darkness > 0) {
        painter.setPen(QPen(QColor(60, 90, 150, qRound(255 * darkness)), 1));
        painter.drawLines(lines);
    }
    // The ecliptic in runs above the horizon, so that its dashes go on along each.
    QColor ecliptic = ECLIPTIC;
    ecliptic.setAlphaF(static_cast<float>(std::max(darkness, 0.4)));
    painter.setPen(QPen(ecliptic, 1, Qt::DashLine));
    QPolygonF run;
    for (std::size_t i = 0; i < chart_.ecliptic.size(); ++i) {
        const Horizontal& a = chart_.ecliptic[i];
        const Horizontal& b = chart_.ecliptic[(i + 1) % chart_.ecliptic.size()];
        const auto line = visible(a, b);
        if (line && run.isEmpty()) {
            run << line->p1();
        }
        if (line) {
            run << line->p2();
        }
        if (!line || b.altitude < 0) {
            painter.drawPolyline(run);
            run.clear();
        }
    }
    painter.drawPolyline(run);
}

void SkyDome::paintStars(QPainter& painter, const QPointF& centre, double radius) {
    const Palette colours = paletteOf(skyLightOf(chart_.sun.altitude));
    for (const SkyChart::Star& star : chart_.stars) {
        if (star.magnitude <= colours.faintest) {
            stars_.draw(painter, onDome(star.at, centre, radius), star.magnitude);
        }
    }
    // The star the words name is shown however lit the sky, for Mars to be found by it.
    for (const SkyChart::Name& name : chart_.names) {
        if (name.always && name.magnitude > colours.faintest && name.magnitude > -20) {
            stars_.draw(painter, onDome(name.at, centre, radius), name.magnitude);
        }
    }
    if (chart_.moon) {
        const QPointF at = onDome(*chart_.moon, centre, radius);
        drawMoon(painter, at, onDome(chart_.moonTowardsSun, centre, radius) - at, chart_.moonLit,
                 MOON_MARK, colours.sky);
    }
    if (skyLightOf(chart_.sun.altitude) == SkyLight::Day) {
        painter.setPen(QPen(QColor(250, 200, 80), 1.5));
        painter.setBrush(QColor(255, 246, 200));
        painter.drawEllipse(onTrack(chart_.sun, centre, radius), SUN_MARK, SUN_MARK);
    }
}

void SkyDome::paintLabels(QPainter& painter, const QPointF& centre, double radius,
                          const std::vector<QRectF>& taken, const std::vector<QLineF>& track) {
    const Palette colours = paletteOf(skyLightOf(chart_.sun.altitude));
    const QFont hourFont = painter.font();
    QFont nameFont = hourFont;
    nameFont.setPointSizeF(hourFont.pointSizeF() * 0.9);
    const QFontMetricsF hourMetrics(hourFont), nameMetrics(nameFont);
    const auto inside = [&](const LabelBox& box) {
        return insideAndClear(rectOf(box), centre, radius, track);
    };
    struct Label {
        QString text;
        bool name;
    };
    std::vector<Label> labels;
    std::vector<std::vector<LabelBox>> candidates;
    const auto add = [&](const QString& text, bool name, const QPointF& p, double gap, int rings) {
        const QFontMetricsF& metrics = name ? nameMetrics : hourMetrics;
        const QSizeF size(metrics.horizontalAdvance(text) + 2, metrics.height());
        candidates.emplace_back();
        for (int ring = 0; ring < rings; ++ring) {
            const std::vector<LabelBox> boxes = boxesAround(p, size, gap + 9 * ring);
            candidates.back().insert(candidates.back().end(), boxes.begin(), boxes.end());
        }
        labels.push_back({text, name});
    };
    // In order of priority, after Mars (whose mark is taken already): what the words refer to,
    // the hours around Mars's highest, then the star they name, the Sun and the Moon, these with
    // places further out should the nearest be full (as under Mars itself); then the other
    // hours, then the other names (a star the sky hides goes unnamed).
    constexpr double AROUND_HIGHEST = 1.5 / 24;
    const std::vector<Hour> marks = hours(centre, radius);
    for (const bool first : {true, false}) {
        for (const Hour& hour : marks) {
            if ((std::abs(hour.utJd - highest_) <= AROUND_HIGHEST) == first) {
                add(hour.text, false, hour.at, 4, first ? 3 : 1);
            }
        }
        for (const SkyChart::Name& n : chart_.names) {
            if (n.always == first && (first || n.magnitude <= colours.faintest)) {
                add(QString::fromStdString(n.text), true, onDome(n.at, centre, radius),
                    MOON_MARK + 3, first ? 4 : 1);
            }
        }
    }
    std::vector<LabelBox> boxes = boxesOf(taken);
    // A space to the next label, so that two never read as one.
    const std::vector<std::optional<QRectF>> placed = placedRects(candidates, boxes, inside, 4, 1);
    labelsShown_.clear();
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i]) {
            painter.setFont(labels[i].name ? nameFont : hourFont);
            painter.setPen(labels[i].name ? colours.names : colours.text);
            painter.drawText(*placed[i], Qt::AlignCenter, labels[i].text);
            labelsShown_ << labels[i].text;
        }
    }
    painter.setFont(hourFont);
}

void SkyDome::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), paletteOf(skyLightOf(chart_.sun.altitude)).sky);
    const double radius = std::min(width(), height()) / 2.0 - 28;
    const QPointF centre(width() / 2.0, height() / 2.0);
    std::vector<QRectF> taken = paintFrame(painter, centre, radius); // where text is, or a body
    paintLines(painter, centre, radius);
    const std::vector<QLineF> track = paintTrack(painter, centre, radius);
    paintStars(painter, centre, radius);
    // No text goes over Mars, the Moon, the Sun or other text.
    if (marsNow_.altitude >= 0) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(230, 70, 40));
        painter.drawEllipse(onTrack(marsNow_, centre, radius), MARS_MARK, MARS_MARK);
        taken.push_back(around(onTrack(marsNow_, centre, radius), MARS_MARK));
    }
    if (chart_.moon) {
        taken.push_back(around(onDome(*chart_.moon, centre, radius), MOON_MARK));
    }
    if (skyLightOf(chart_.sun.altitude) == SkyLight::Day) {
        taken.push_back(around(onTrack(chart_.sun, centre, radius), SUN_MARK));
    }
    paintLabels(painter, centre, radius, taken, track);
    drawDomeKey(painter, rect(), painter.font(), paletteOf(skyLightOf(chart_.sun.altitude)).text);
    if (focusFrame_->shown()) {
        drawFocusFrame(painter, *this, 0);
    }
}

std::vector<QRectF> SkyDome::paintFrame(QPainter& painter, const QPointF& centre,
                                        double radius) const {
    const Palette colours = paletteOf(skyLightOf(chart_.sun.altitude));
    painter.setPen(QPen(colours.rings, 1));
    for (const double altitude : {30.0, 60.0}) {
        const double r = (90 - altitude) / 90 * radius;
        painter.drawEllipse(centre, r, r);
    }
    painter.setPen(QPen(colours.horizon, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(colours.text);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    std::vector<QRectF> boxes = compassBoxes(centre, radius, QFontMetricsF(font));
    const char* const letters[] = {"N", "E", "S", "W"};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        painter.drawText(boxes[i], Qt::AlignCenter, QString::fromLatin1(letters[i]));
    }
    font.setBold(false);
    painter.setFont(font);
    return boxes;
}

std::vector<QLineF> SkyDome::paintTrack(QPainter& painter, const QPointF& centre,
                                        double radius) const {
    // The track while Mars is up: plainly bright in a dark sky, dim in twilight and day.
    std::vector<QLineF> track;
    for (std::size_t i = 0; i + 1 < samples_.size(); ++i) {
        const SkySample& a = samples_[i];
        const SkySample& b = samples_[i + 1];
        if (a.mars.altitude < 0 || b.mars.altitude < 0) {
            continue;
        }
        const bool dark = darkSky(skyLightOf(a.sunAltitude)) && darkSky(skyLightOf(b.sunAltitude));
        painter.setPen(dark ? QPen(TRACK_DARK, 3) : QPen(TRACK_DIM, 2));
        track.emplace_back(onTrack(a.mars, centre, radius), onTrack(b.mars, centre, radius));
        painter.drawLine(track.back());
    }
    // A mark across the track at each whole local hour, not a dot a star could be taken for;
    // its number is written beside it with the other labels.
    constexpr double HALF_MARK = 4.5;
    painter.setPen(QPen(paletteOf(skyLightOf(chart_.sun.altitude)).text, 1.8));
    for (const Hour& hour : hours(centre, radius)) {
        const QPointF across(-hour.along.y() * HALF_MARK, hour.along.x() * HALF_MARK);
        painter.drawLine(hour.at - across, hour.at + across);
    }
    return track;
}

void SkyDome::contextMenuEvent(QContextMenuEvent* e) {
    showPictureMenu(*this, *e);
}

} // namespace orvanta
