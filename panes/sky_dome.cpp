#include "panes/sky_dome.h"

#include "display/number_text.h"
#include "ephemeris/night.h"
#include "panes/label_box.h"
#include "panes/texts.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double MARS_MARK = 7.0;
constexpr double MOON_MARK = 6.0;

// Where a place in the sky falls on the dome: the zenith at the centre, the horizon at `radius`,
// below it further out (where lines are cut off at the horizon).
QPointF onDome(const Horizontal& h, const QPointF& centre, double radius) {
    const double r = (90 - h.altitude) / 90 * radius;
    const double a = h.azimuth * 3.14159265358979323846 / 180;
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

} // namespace

SkyDome::SkyDome(QWidget* parent) : QWidget(parent) {
    setMinimumSize(360, 360);
    setAccessibleName(QStringLiteral("The sky seen from the place"));
}

void SkyDome::setSky(std::vector<SkySample> samples, std::optional<Horizontal> marsNow) {
    samples_ = std::move(samples);
    marsNow_ = marsNow;
    update();
}

void SkyDome::setChart(SkyChart chart) {
    chart_ = std::move(chart);
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
    painter.setPen(QPen(QColor(60, 90, 150), 1));
    painter.drawLines(lines);
    // The ecliptic in runs above the horizon, so that its dashes go on along each.
    painter.setPen(QPen(QColor(150, 130, 60), 1, Qt::DashLine));
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
    for (const SkyChart::Star& star : chart_.stars) {
        stars_.draw(painter, onDome(star.at, centre, radius), star.magnitude);
    }
    if (chart_.moon) {
        painter.setPen(QPen(QColor(8, 10, 28), 1));
        painter.setBrush(QColor(235, 232, 210));
        painter.drawEllipse(onDome(*chart_.moon, centre, radius), MOON_MARK, MOON_MARK);
    }
}

void SkyDome::paintNames(QPainter& painter, const QPointF& centre, double radius,
                         const std::vector<QRectF>& taken, const std::vector<QLineF>& track) const {
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    painter.setFont(font);
    painter.setPen(QColor(170, 195, 240));
    const QFontMetricsF metrics(font);
    // Inside the horizon, and clear of the track.
    const auto inside = [&](const LabelBox& box) {
        const QRectF r = rectOf(box);
        for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            if (std::hypot(corner.x() - centre.x(), corner.y() - centre.y()) > radius) {
                return false;
            }
        }
        return std::none_of(track.begin(), track.end(), [&](const QLineF& line) {
            return crosses(line, r.adjusted(-2, -2, 2, 2));
        });
    };
    std::vector<std::vector<LabelBox>> candidates;
    for (const SkyChart::Name& name : chart_.names) {
        const QPointF p = onDome(name.at, centre, radius);
        const QSizeF size(metrics.horizontalAdvance(QString::fromStdString(name.text)) + 2,
                          metrics.height());
        candidates.push_back(boxesAround(p, size, MOON_MARK + 3));
    }
    std::vector<LabelBox> boxes = boxesOf(taken);
    // A space to the next name, so that two never read as one.
    const std::vector<std::optional<QRectF>> placed = placedRects(candidates, boxes, inside, 4, 1);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i]) {
            painter.drawText(*placed[i], Qt::AlignCenter,
                             QString::fromStdString(chart_.names[i].text));
        }
    }
}

void SkyDome::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(8, 10, 28));
    const double radius = std::min(width(), height()) / 2.0 - 28;
    const QPointF centre(width() / 2.0, height() / 2.0);
    std::vector<QRectF> taken = paintFrame(painter, centre, radius); // where text is, or Mars
    paintLines(painter, centre, radius);
    const std::vector<QLineF> track = paintTrack(painter, centre, radius);
    paintStars(painter, centre, radius);
    // No text goes over Mars, the Moon or other text: neither an hour along the track nor a
    // star's name.
    const auto around = [](const QPointF& p, double r) {
        return QRectF(p - QPointF(r + 2, r + 2), QSizeF(2 * r + 4, 2 * r + 4));
    };
    if (marsNow_ && marsNow_->altitude >= 0) {
        taken.push_back(around(onTrack(*marsNow_, centre, radius), MARS_MARK));
    }
    if (chart_.moon) {
        taken.push_back(around(onDome(*chart_.moon, centre, radius), MOON_MARK));
    }
    paintHours(painter, centre, radius, taken);
    if (marsNow_ && marsNow_->altitude >= 0) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(230, 70, 40));
        painter.drawEllipse(onTrack(*marsNow_, centre, radius), MARS_MARK, MARS_MARK);
    }
    paintNames(painter, centre, radius, taken, track);
}

std::vector<QRectF> SkyDome::paintFrame(QPainter& painter, const QPointF& centre,
                                        double radius) const {
    painter.setPen(QPen(QColor(70, 80, 120), 1));
    for (const double altitude : {30.0, 60.0}) {
        const double r = (90 - altitude) / 90 * radius;
        painter.drawEllipse(centre, r, r);
    }
    painter.setPen(QPen(QColor(150, 160, 200), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QColor(220, 225, 240));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const struct {
        const char* text;
        double azimuth;
    } cardinal[] = {{"N", 0}, {"E", 90}, {"S", 180}, {"W", 270}};
    std::vector<QRectF> taken;
    for (const auto& c : cardinal) {
        const QPointF p = onTrack(Horizontal{-14.0 * 90 / radius, c.azimuth}, centre, radius);
        taken.emplace_back();
        painter.drawText(QRectF(p - QPointF(12, 10), QSizeF(24, 20)), Qt::AlignCenter,
                         QString::fromLatin1(c.text), &taken.back());
    }
    font.setBold(false);
    painter.setFont(font);
    return taken;
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
        const bool dark = a.sunAltitude < DARK_SUN && b.sunAltitude < DARK_SUN;
        painter.setPen(dark ? QPen(QColor(255, 190, 140), 3) : QPen(QColor(120, 110, 120), 2));
        track.emplace_back(onTrack(a.mars, centre, radius), onTrack(b.mars, centre, radius));
        painter.drawLine(track.back());
    }
    return track;
}

void SkyDome::paintHours(QPainter& painter, const QPointF& centre, double radius,
                         std::vector<QRectF>& taken) const {
    // The local hours along the track.
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QColor(220, 225, 240));
    for (const SkySample& s : samples_) {
        if (s.mars.altitude >= 0 && localMinuteText(s.utJd, "%M") == QLatin1String("00")) {
            const QPointF p = onTrack(s.mars, centre, radius);
            painter.setBrush(QColor(220, 225, 240));
            painter.drawEllipse(p, 2.5, 2.5);
            const QString hour = localMinuteText(s.utJd, "%H");
            const QRectF box = metrics.boundingRect(hour).translated(p + QPointF(5, -5));
            if (std::none_of(taken.begin(), taken.end(),
                             [&](const QRectF& t) { return t.intersects(box); })) {
                painter.drawText(p + QPointF(5, -5), hour);
                taken.push_back(box);
            }
        }
    }
}

} // namespace orvanta
