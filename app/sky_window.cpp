#include "app/sky_window.h"

#include "app/mars_disk_view.h"
#include "app/settings.h"
#include "display/number_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/moon.h"
#include "ephemeris/place.h"
#include "ephemeris/time_scales.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double DARK_SUN = -12.0; // the Sun this far below the horizon: a dark sky
constexpr double WELL_UP = 10.0;   // Mars this high: clear of the haze at the horizon
constexpr double STEP = 10.0 / 1440;

QString localTime(double utJd, const char* format = "%H:%M") {
    return QString::fromLatin1(formatLocalMinute(utJd, format).text);
}

QString direction(double azimuth) {
    static const char* const NAMES[16] = {
        "north", "north-north-east", "north-east", "east-north-east",
        "east",  "east-south-east",  "south-east", "south-south-east",
        "south", "south-south-west", "south-west", "west-south-west",
        "west",  "west-north-west",  "north-west", "north-north-west"};
    return QString::fromLatin1(NAMES[static_cast<int>(std::floor(azimuth / 22.5 + 0.5)) % 16]);
}

QString degrees(double value) {
    return QString::number(qRound(value)) + QChar(0x00B0);
}

constexpr double NAMED_WITHIN = 30.0; // the stars named in the dome: this near Mars
constexpr int MOST_NAMES = 6;
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

// The stars' sizes and shades, in steps of a quarter magnitude from the brightest.
constexpr double BRIGHTEST_STEP = -1.5;
constexpr double MAGNITUDE_STEP = 0.25;
constexpr int STAR_STEPS = 24;

double starRadius(double magnitude) {
    return std::clamp(1.0 + (4.5 - magnitude) * 0.6, 1.0, 4.5);
}

// Whether a line enters a rectangle.
bool crosses(const QLineF& line, const QRectF& r) {
    const QLineF edges[] = {{r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()},
                            {r.bottomLeft(), r.topLeft()}};
    return r.contains(line.p1()) || std::any_of(std::begin(edges), std::end(edges), [&](auto& e) {
               return line.intersects(e, nullptr) == QLineF::BoundedIntersection;
           });
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

void SkyDome::paintStars(QPainter& painter, const QPointF& centre, double radius) const {
    // Each star is a small picture made once for its step of magnitude: hundreds of round
    // antialiased discs would cost a paint several milliseconds.
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (sprites_.empty() || spriteRatio_ != ratio) {
        sprites_.clear();
        spriteRatio_ = ratio;
        for (int step = 0; step <= STAR_STEPS; ++step) {
            const double magnitude = BRIGHTEST_STEP + step * MAGNITUDE_STEP;
            const double r = starRadius(magnitude);
            const int side = static_cast<int>(std::ceil(2 * r + 2));
            QImage sprite(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
            sprite.setDevicePixelRatio(ratio);
            sprite.fill(Qt::transparent);
            QPainter p(&sprite);
            p.setRenderHint(QPainter::Antialiasing);
            // A ring of the sky's colour keeps a star apart from the track it stands on.
            p.setPen(QPen(QColor(8, 10, 28), 1));
            const int light =
                static_cast<int>(std::clamp(255 - (magnitude - 1) * 30, 150.0, 255.0));
            p.setBrush(QColor(light, light, std::min(255, light + 10)));
            p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
            sprites_.push_back(sprite);
        }
    }
    for (const SkyChart::Star& star : chart_.stars) {
        const auto step = static_cast<std::size_t>(std::clamp(
            std::lround((star.magnitude - BRIGHTEST_STEP) / MAGNITUDE_STEP), 0L, long{STAR_STEPS}));
        const QImage& sprite = sprites_[step];
        const double half = sprite.width() / ratio / 2;
        painter.drawImage(onDome(star.at, centre, radius) - QPointF(half, half), sprite);
    }
    if (chart_.moon) {
        painter.setPen(QPen(QColor(8, 10, 28), 1));
        painter.setBrush(QColor(235, 232, 210));
        painter.drawEllipse(onDome(*chart_.moon, centre, radius), MOON_MARK, MOON_MARK);
    }
}

void SkyDome::paintNames(QPainter& painter, const QPointF& centre, double radius,
                         std::vector<QRectF> taken, const std::vector<QLineF>& track) const {
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    painter.setFont(font);
    painter.setPen(QColor(170, 195, 240));
    const QFontMetricsF metrics(font);
    const auto inside = [&](const QRectF& r) {
        for (const QPointF& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            if (std::hypot(corner.x() - centre.x(), corner.y() - centre.y()) > radius) {
                return false;
            }
        }
        return true;
    };
    const auto free = [&](const QRectF& place) {
        return inside(place) &&
               std::none_of(taken.begin(), taken.end(),
                            [&](const QRectF& t) { return t.intersects(place); }) &&
               std::none_of(track.begin(), track.end(), [&](const QLineF& line) {
                   return crosses(line, place.adjusted(-2, -2, 2, 2));
               });
    };
    for (const SkyChart::Name& name : chart_.names) {
        const QPointF p = onDome(name.at, centre, radius);
        const QSizeF size(metrics.horizontalAdvance(name.text) + 2, metrics.height());
        // Beside the star on the right, then on the left, below, above, then at its corners: the
        // first free place.
        const double gap = MOON_MARK + 3, w = size.width(), h = size.height();
        const QRectF places[] = {{QPointF(p.x() + gap, p.y() - h / 2), size},
                                 {QPointF(p.x() - gap - w, p.y() - h / 2), size},
                                 {QPointF(p.x() - w / 2, p.y() + gap), size},
                                 {QPointF(p.x() - w / 2, p.y() - gap - h), size},
                                 {QPointF(p.x() + gap, p.y() + gap / 2), size},
                                 {QPointF(p.x() + gap, p.y() - gap / 2 - h), size},
                                 {QPointF(p.x() - gap - w, p.y() + gap / 2), size},
                                 {QPointF(p.x() - gap - w, p.y() - gap / 2 - h), size}};
        for (const QRectF& place : places) {
            if (free(place)) {
                painter.drawText(place, Qt::AlignCenter, name.text);
                // A space to the next name, so that two never read as one.
                taken.push_back(place.adjusted(-4, -1, 4, 1));
                break;
            }
        }
    }
}

void SkyDome::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(8, 10, 28));
    const double radius = std::min(width(), height()) / 2.0 - 28;
    const QPointF centre(width() / 2.0, height() / 2.0);
    // North up and east on the left, as a chart held overhead is seen from below.
    const auto at = [&](const Horizontal& h) {
        const double r = (90 - std::max(h.altitude, 0.0)) / 90 * radius;
        const double a = h.azimuth * 3.14159265358979323846 / 180;
        return centre + QPointF(-r * std::sin(a), -r * std::cos(a));
    };
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
    std::vector<QRectF> taken; // where text is, or Mars or the Moon
    for (const auto& c : cardinal) {
        const QPointF p = at(Horizontal{-14.0 * 90 / radius, c.azimuth});
        taken.emplace_back();
        painter.drawText(QRectF(p - QPointF(12, 10), QSizeF(24, 20)), Qt::AlignCenter,
                         QString::fromLatin1(c.text), &taken.back());
    }
    font.setBold(false);
    painter.setFont(font);
    paintLines(painter, centre, radius);
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
        track.emplace_back(at(a.mars), at(b.mars));
        painter.drawLine(track.back());
    }
    paintStars(painter, centre, radius);
    // No text goes over Mars, the Moon or other text: neither an hour along the track nor a
    // star's name.
    const auto around = [](const QPointF& p, double r) {
        return QRectF(p - QPointF(r + 2, r + 2), QSizeF(2 * r + 4, 2 * r + 4));
    };
    if (marsNow_ && marsNow_->altitude >= 0) {
        taken.push_back(around(at(*marsNow_), MARS_MARK));
    }
    if (chart_.moon) {
        taken.push_back(around(onDome(*chart_.moon, centre, radius), MOON_MARK));
    }
    // The local hours along it.
    const QFontMetricsF metrics(font);
    painter.setPen(QColor(220, 225, 240));
    for (const SkySample& s : samples_) {
        if (s.mars.altitude >= 0 && localTime(s.utJd, "%M") == QLatin1String("00")) {
            const QPointF p = at(s.mars);
            painter.setBrush(QColor(220, 225, 240));
            painter.drawEllipse(p, 2.5, 2.5);
            const QString hour = localTime(s.utJd, "%H");
            const QRectF box = metrics.boundingRect(hour).translated(p + QPointF(5, -5));
            if (std::none_of(taken.begin(), taken.end(),
                             [&](const QRectF& t) { return t.intersects(box); })) {
                painter.drawText(p + QPointF(5, -5), hour);
                taken.push_back(box);
            }
        }
    }
    if (marsNow_ && marsNow_->altitude >= 0) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(230, 70, 40));
        painter.drawEllipse(at(*marsNow_), MARS_MARK, MARS_MARK);
    }
    paintNames(painter, centre, radius, std::move(taken), track);
}

SkyWindow::SkyWindow(std::optional<Place> place)
    : dome_(new SkyDome(this)), disk_(new MarsDiskPanel(this)), placeLabel_(new QLabel(this)),
      facts_(new QLabel(this)), placeEdit_(new QLineEdit(this)) {
    setWindowTitle(QString::fromLatin1(SKY_WINDOW_TITLE));
    facts_->setWordWrap(true);
    facts_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    facts_->setMinimumWidth(300);
    placeLabel_->setWordWrap(true);
    placeEdit_->setPlaceholderText(QStringLiteral("52.52, 13.40 or a city such as Berlin"));
    placeEdit_->setAccessibleName(QStringLiteral("Place"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(dome_, 0, 0, 3, 1);
    layout->addWidget(facts_, 0, 1);
    layout->addWidget(placeLabel_, 1, 1);
    layout->addWidget(placeEdit_, 2, 1);
    layout->addWidget(disk_, 0, 2, 3, 1);
    layout->setColumnStretch(0, 1);
    connect(placeEdit_, &QLineEdit::returnPressed, this, [this] { usePlaceTyped(); });

    if (place) {
        place_ = place;
        placeFrom_ = QStringLiteral("as given");
    } else if (const auto lat = readNumberSetting("sky/latitude", -90, 90),
               lon = readNumberSetting("sky/longitude", -180, 180);
               lat && lon) {
        place_ = Place{*lat, *lon,
                       readNumberSetting("sky/height", LOWEST_HEIGHT, HIGHEST_HEIGHT).value_or(0)};
        placeFrom_ = readSetting("sky/name").value_or(QStringLiteral("as you set it"));
    } else if (const std::string zone = timeZoneName(); placeOfZone(zone)) {
        place_ = placeOfZone(zone);
        placeFrom_ = QStringLiteral("from the time zone ") + QString::fromStdString(zone);
    }
    minute_.callOnTimeout(this, [this] { refresh(); });
    minute_.start(60000);
    resize(1000, 420);
    refresh();
}

void SkyWindow::usePlaceTyped() {
    const std::string typed = placeEdit_->text().trimmed().toStdString();
    std::string why;
    if (const std::optional<Place> place = parsePlace(typed, why)) {
        place_ = place;
        placeFrom_ = QStringLiteral("as you set it");
    } else if (const auto city = placeOfCity(typed)) {
        place_ = city->second;
        placeFrom_ = QString::fromStdString(city->first);
    } else {
        placeLabel_->setText(QStringLiteral("Not a place known here: %1. Type a latitude and "
                                            "longitude, or a time zone's city.")
                                 .arg(placeEdit_->text()));
        return;
    }
    saveSetting("sky/latitude", place_->latitude);
    saveSetting("sky/longitude", place_->longitude);
    saveSetting("sky/height", place_->height);
    saveSetting("sky/name", placeFrom_);
    placeEdit_->clear();
    refresh();
}

void SkyWindow::refresh() {
    if (!place_) {
        placeLabel_->setText(
            QStringLiteral("No place is known from the time zone: type one below."));
        facts_->setText(QString());
        dome_->setSky({}, std::nullopt);
        dome_->setChart({});
        disk_->setInstants(julianDateValue(currentJulianDate()), std::nullopt);
        return;
    }
    const Place& p = *place_;
    placeLabel_->setText(QStringLiteral("Seen from %1° %2, %3° %4 (%5).")
                             .arg(std::fabs(p.latitude), 0, 'f', 2)
                             .arg(p.latitude >= 0 ? 'N' : 'S')
                             .arg(std::fabs(p.longitude), 0, 'f', 2)
                             .arg(p.longitude >= 0 ? 'E' : 'W')
                             .arg(placeFrom_));
    const double now = julianDateValue(currentJulianDate());
    const Equatorial marsPlace = apparentMars(now);
    const Horizontal marsNow = horizontalOf(marsPlace, now, p);
    // The night's track and events are computed anew once an hour, or when the pass is over or
    // the place changed; the minute's refresh only moves Mars.
    if (!night_ || now < night_->computedAt || now > night_->computedAt + 1.0 / 24 ||
        now > night_->passEnd || night_->place.latitude != p.latitude ||
        night_->place.longitude != p.longitude || night_->place.height != p.height) {
        night_ = computeNight(now, marsNow, p);
    }
    QStringList lines = night_->events;
    lines << (marsNow.altitude > 0
                  ? QStringLiteral("Now %1 above the horizon in the %2.")
                        .arg(degrees(refracted(marsNow.altitude)), direction(marsNow.azimuth))
                  : QStringLiteral("Now below the horizon."));
    char magnitude[32];
    formatFixed(magnitude, sizeof magnitude, encounterState.magnitude, 1);
    lines << QStringLiteral("In the constellation %1, at magnitude %2.")
                 .arg(night_->constellation, QString::fromLatin1(magnitude));
    const NearStar near = nearestNamedStar(marsPlace, night_->stars);
    if (near.star) {
        // The direction is Mars's from the star: "Near Regulus (4.0° north-east)".
        lines << QStringLiteral("Near %1 (%2° %3).")
                     .arg(QString::fromStdString(near.star->name),
                          QString::number(near.degrees, 'f', 1),
                          QString::fromLatin1(near.direction.data(),
                                              static_cast<qsizetype>(near.direction.size())));
    }
    if (const double moon = moonFrom(marsPlace, now, p); moon <= MOON_NEAR_MARS) {
        lines << QStringLiteral("The Moon is %1° from Mars.").arg(moon, 0, 'f', 1);
    }
    lines << night_->best;
    facts_->setText(lines.join(QLatin1Char('\n')));
    dome_->setAccessibleDescription(lines.join(QLatin1Char(' ')));
    dome_->setSky(night_->samples, marsNow);
    dome_->setChart(chartAt(now, marsPlace, near));
    disk_->setInstants(now, night_->transit);
}

SkyChart SkyWindow::chartAt(double now, const Equatorial& mars, const NearStar& near) const {
    SkyChart chart;
    const Place& p = night_->place;
    const std::vector<Star>& table = stars();
    const std::vector<Horizontal> seen = horizontalOf(night_->stars, now, p);
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].altitude > 0) {
            chart.stars.push_back({seen[i], table[i].magnitude});
            if (!table[i].name.empty() && separation(night_->stars[i], mars) < NAMED_WITHIN) {
                named.push_back(i);
            }
        }
    }
    const std::vector<Horizontal> ends = horizontalOf(night_->figureEnds, now, p);
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
        chart.figures.emplace_back(ends[i], ends[i + 1]);
    }
    chart.ecliptic = horizontalOf(night_->ecliptic, now, p);
    // The star the text names first, then the Moon, then the brightest (the table's order).
    const auto name = [&](std::size_t i) {
        chart.names.push_back({seen[i], QString::fromStdString(table[i].name)});
    };
    if (const auto first = std::find_if(named.begin(), named.end(),
                                        [&](std::size_t i) { return &table[i] == near.star; });
        first != named.end()) {
        name(*first);
        named.erase(first);
    }
    if (const Horizontal moon = horizontalOf(apparentMoon(now), now, p); moon.altitude > 0) {
        chart.moon = moon;
        chart.names.push_back({moon, QStringLiteral("Moon")});
    }
    for (std::size_t i = 0; i < named.size() && chart.names.size() < MOST_NAMES; ++i) {
        name(named[i]);
    }
    return chart;
}

SkyWindow::Night SkyWindow::computeNight(double now, const Horizontal& marsNow, const Place& p) {
    // Tonight's pass: the one Mars is on now, or else the next; its events are the first after
    // its start.
    const double grid = std::floor(now / STEP) * STEP;
    const std::vector<SkySample> day = skySamples(grid - 0.5, grid + 1.0, STEP, p);
    double start = now;
    if (marsNow.altitude > 0) {
        start = grid - 0.5;
        for (auto s = day.rbegin(); s != day.rend(); ++s) {
            // Well below the horizon, before the altitude at which it counts as risen.
            if (s->utJd <= now && s->mars.altitude <= -1.0) {
                start = s->utJd;
                break;
            }
        }
    }
    const MarsNight night = marsNight(start, p);
    Night result{now, p, night.set ? night.set->utJd : start + 1.0, {}, {}, {}, {}, {}, {}, {}, {}};
    if (night.transit) {
        result.transit = night.transit->utJd;
    }
    for (const SkySample& s : day) {
        if (s.utJd >= start - STEP && s.utJd <= result.passEnd + STEP) {
            result.samples.push_back(s);
        }
    }
    if (night.alwaysUp) {
        result.events << QStringLiteral("Mars does not set here now: it is above the horizon all "
                                        "day and night.");
    } else if (night.neverUp) {
        result.events << QStringLiteral("Mars does not rise here now.");
    }
    if (night.rise) {
        result.events << QStringLiteral("Rises at %1 in the %2.")
                             .arg(localTime(night.rise->utJd), direction(night.rise->degrees));
    }
    if (night.transit) {
        const Horizontal highest =
            horizontalOf(apparentMars(night.transit->utJd), night.transit->utJd, p);
        result.events << QStringLiteral("Highest at %1, %2 above the horizon in the %3.")
                             .arg(localTime(night.transit->utJd), degrees(night.transit->degrees),
                                  direction(highest.azimuth));
    }
    if (night.set) {
        result.events << QStringLiteral("Sets at %1 in the %2.")
                             .arg(localTime(night.set->utJd), direction(night.set->degrees));
    }
    result.constellation = QString::fromStdString(marsConstellation(now));
    result.stars = apparentStars(now);
    const ApparentSky sky(now);
    for (const FigureLine& line : figureLines()) {
        result.figureEnds.push_back(sky.of(line.ra1, line.dec1));
        result.figureEnds.push_back(sky.of(line.ra2, line.dec2));
    }
    for (int longitude = 0; longitude < 360; longitude += 2) {
        result.ecliptic.push_back(equatorialOfDate(longitude, 0, 1e12, ttOfUt(now)));
    }
    // The first stretch of dark sky with Mars well up.
    double first = 0, last = 0;
    for (const SkySample& s : result.samples) {
        const bool good = s.sunAltitude < DARK_SUN && s.mars.altitude > WELL_UP;
        if (good && first == 0) {
            first = s.utJd;
        }
        if (good) {
            last = s.utJd;
        } else if (first != 0) {
            break;
        }
    }
    result.best = first != 0 ? QStringLiteral("Best seen from %1 to %2 (a dark sky, and Mars above "
                                              "10°).")
                                   .arg(localTime(first), localTime(last))
                             : QStringLiteral("Not well placed tonight: never high in a dark sky.");
    return result;
}

QString SkyWindow::facts() const {
    return facts_->text();
}

} // namespace orvanta
