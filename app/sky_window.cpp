#include "app/sky_window.h"

#include "app/mars_disk_view.h"
#include "app/settings.h"
#include "display/number_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/place.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace orvanta {

namespace {

constexpr double DARK_SUN = -12.0; // the Sun this far below the horizon: a dark sky
constexpr double WELL_UP = 10.0;   // Mars this high: clear of the haze at the horizon
constexpr double STEP = 10.0 / 1440;

QString localTime(double utJd, const char* format = "%H:%M") {
    return QString::fromLatin1(
        formatLocalTime(calendarTimeOf(calendarOfJulianDate(utJd + 30.0 / 86400)), format).text);
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
    for (const auto& c : cardinal) {
        const QPointF p = at(Horizontal{-14.0 * 90 / radius, c.azimuth});
        painter.drawText(QRectF(p - QPointF(12, 10), QSizeF(24, 20)), Qt::AlignCenter,
                         QString::fromLatin1(c.text));
    }
    font.setBold(false);
    painter.setFont(font);
    // The track while Mars is up: plainly bright in a dark sky, dim in twilight and day.
    for (std::size_t i = 0; i + 1 < samples_.size(); ++i) {
        const SkySample& a = samples_[i];
        const SkySample& b = samples_[i + 1];
        if (a.mars.altitude < 0 || b.mars.altitude < 0) {
            continue;
        }
        const bool dark = a.sunAltitude < DARK_SUN && b.sunAltitude < DARK_SUN;
        painter.setPen(dark ? QPen(QColor(255, 190, 140), 3) : QPen(QColor(120, 110, 120), 2));
        painter.drawLine(at(a.mars), at(b.mars));
    }
    // The local hours along it.
    painter.setPen(QColor(220, 225, 240));
    for (const SkySample& s : samples_) {
        if (s.mars.altitude >= 0 && localTime(s.utJd, "%M") == QLatin1String("00")) {
            const QPointF p = at(s.mars);
            painter.setBrush(QColor(220, 225, 240));
            painter.drawEllipse(p, 2.5, 2.5);
            painter.drawText(p + QPointF(5, -5), localTime(s.utJd, "%H"));
        }
    }
    if (marsNow_ && marsNow_->altitude >= 0) {
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(230, 70, 40));
        painter.drawEllipse(at(*marsNow_), 7, 7);
    }
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
    } else if (const QVariant lat = readSetting("sky/latitude", {}),
               lon = readSetting("sky/longitude", {});
               lat.isValid() && lon.isValid()) {
        place_ = Place{lat.toDouble(), lon.toDouble(), readSetting("sky/height", 0).toDouble()};
        placeFrom_ = readSetting("sky/name", QStringLiteral("as you set it")).toString();
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
    const Horizontal marsNow = horizontalOf(apparentMars(now), now, p);
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
    lines << night_->best;
    facts_->setText(lines.join(QLatin1Char('\n')));
    dome_->setAccessibleDescription(lines.join(QLatin1Char(' ')));
    dome_->setSky(night_->samples, marsNow);
    disk_->setInstants(now, night_->transit);
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
    Night result{now, p, night.set ? night.set->utJd : start + 1.0, {}, {}, {}, {}, {}};
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
