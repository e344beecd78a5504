#include "panes/faces_strip.h"

#include "display/label_rows.h"
#include "ephemeris/night.h"
#include "panes/mars_map.h"
#include "panes/picture_menu.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double NAME_ROW = 14; // a row of feature names above the band
constexpr int NAME_ROWS = 2;
constexpr double BAND = 34;     // the surface, 60° either side of the equator
constexpr double HOUR_ROW = 14; // the hours below it
constexpr double LATITUDE = 60;
constexpr double REACH = 8; // a click this near a mark chooses it

// The central meridian at an instant, between the scene's readings.
double meridianAt(const std::vector<MeridianReading>& read, double utJd) {
    const auto after =
        std::lower_bound(read.begin(), read.end(), utJd,
                         [](const MeridianReading& r, double t) { return r.utJd < t; });
    if (after == read.begin()) {
        return read.front().centralMeridian;
    }
    if (after == read.end()) {
        return read.back().centralMeridian;
    }
    const MeridianReading& a = *(after - 1);
    const double share = (utJd - a.utJd) / (after->utJd - a.utJd);
    return a.centralMeridian + share * (after->centralMeridian - a.centralMeridian);
}

// The Sun's altitude at an instant, between the pass's samples.
double sunAt(const std::vector<SkySample>& samples, double utJd) {
    const auto after = std::lower_bound(samples.begin(), samples.end(), utJd,
                                        [](const SkySample& s, double t) { return s.utJd < t; });
    if (after == samples.begin() || after == samples.end()) {
        return after == samples.end() ? samples.back().sunAltitude : after->sunAltitude;
    }
    const SkySample& a = *(after - 1);
    const double share = (utJd - a.utJd) / (after->utJd - a.utJd);
    return a.sunAltitude + share * (after->sunAltitude - a.sunAltitude);
}

} // namespace

FacesStrip::FacesStrip(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize FacesStrip::sizeHint() const {
    return {290, static_cast<int>(NAME_ROWS * NAME_ROW + BAND + HOUR_ROW)};
}

void FacesStrip::setScene(FacesScene scene) {
    scene_ = std::move(scene);
    surface_ = QImage();
    update();
}

void FacesStrip::setNow(double utJd) {
    if (utJd != now_) {
        now_ = utJd;
        update();
    }
}

QRectF FacesStrip::band() const {
    return {0, NAME_ROWS * NAME_ROW, static_cast<double>(width()), BAND};
}

double FacesStrip::xOf(double utJd) const {
    const double span = scene_.to - scene_.from;
    return span > 0 ? (utJd - scene_.from) / span * width() : 0;
}

void FacesStrip::paintSurface(qreal ratio) {
    const QRectF b = band();
    const int w = std::max(1, static_cast<int>(std::lround(b.width() * ratio)));
    const int h = std::max(1, static_cast<int>(std::lround(b.height() * ratio)));
    surface_ = QImage(w, h, QImage::Format_RGB32);
    // The map with about as many pixels to a degree of longitude as the strip has.
    const double degreesAcross =
        scene_.meridian.back().centralMeridian - scene_.meridian.front().centralMeridian;
    const QImage& map = marsMapFor(w * 360.0 / std::max(degreesAcross, 1.0) / (4 * PI));
    for (int x = 0; x < w; ++x) {
        const double t = scene_.from + (x + 0.5) / w * (scene_.to - scene_.from);
        const double cm = meridianAt(scene_.meridian, t);
        // A lit sky washes the faint markings out, as it does at the eyepiece.
        const double wash = scene_.samples.empty() ? 0 : 1 - darknessOf(sunAt(scene_.samples, t));
        for (int y = 0; y < h; ++y) {
            const double latitude = LATITUDE - (y + 0.5) / h * 2 * LATITUDE;
            const QColor c(marsMapColour(map, latitude, cm));
            const auto mix = [wash](int channel) {
                return static_cast<int>(channel + 0.55 * wash * (215 - channel));
            };
            surface_.setPixel(x, y, qRgb(mix(c.red()), mix(c.green()), mix(c.blue())));
        }
    }
    surface_.setDevicePixelRatio(ratio);
}

void FacesStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (scene_.meridian.empty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Mars does not rise tonight."));
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (surface_.isNull() || surface_.devicePixelRatio() != ratio ||
        surface_.width() != std::lround(band().width() * ratio)) {
        paintSurface(ratio);
    }
    const QRectF b = band();
    painter.drawImage(b.topLeft(), surface_);
    const QColor ink = palette().color(QPalette::WindowText);
    if (now_ >= scene_.from && now_ <= scene_.to) {
        painter.setPen(QPen(QColor(255, 244, 214), 1.5));
        painter.drawLine(QPointF(xOf(now_), b.top()), QPointF(xOf(now_), b.bottom()));
    }
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    const QFontMetricsF metrics(small);
    // The place's hours under the band, every other one where they crowd.
    const double hourWidth = metrics.horizontalAdvance(QStringLiteral("00")) + 6;
    const int every = static_cast<double>(scene_.hours.size()) * hourWidth > width() ? 2 : 1;
    painter.setPen(ink);
    for (const HourMark& h : scene_.hours) {
        const double x = xOf(h.utJd);
        painter.drawLine(QPointF(x, b.bottom()), QPointF(x, b.bottom() + 3));
        if (h.hour % every == 0 && x > hourWidth / 2 && x < width() - hourWidth / 2) {
            painter.drawText(QRectF(x - hourWidth / 2, b.bottom() + 2, hourWidth, HOUR_ROW - 2),
                             Qt::AlignCenter,
                             QStringLiteral("%1").arg(h.hour, 2, 10, QLatin1Char('0')));
        }
    }
    // The crossings: a mark from the band's top up to the name, the names in rows clear of one
    // another, the first of the night first.
    std::vector<double> places;
    double widest = 0;
    for (const FaceCrossing& c : scene_.crossings) {
        places.push_back(xOf(c.utJd));
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(c.feature->name)));
    }
    const std::vector<int> rows = labelRows(places, widest, 4, NAME_ROWS);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const double x = places[i];
        const double top = rows[i] < 0 ? b.top() - 4 : (rows[i] + 1) * NAME_ROW;
        painter.setPen(ink);
        painter.drawLine(QPointF(x, top), QPointF(x, b.top() + BAND / 2));
        if (rows[i] >= 0) {
            const QString name = QString::fromUtf8(scene_.crossings[i].feature->name);
            const double w = metrics.horizontalAdvance(name);
            const double left = std::clamp(x - w / 2, 0.0, width() - w);
            painter.drawText(QRectF(left, rows[i] * NAME_ROW, w + 1, NAME_ROW), Qt::AlignCenter,
                             name);
        }
    }
}

void FacesStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return; // the others open the menu, which picks no instant
    }
    const double x = event->position().x();
    const FaceCrossing* nearest = nullptr;
    for (const FaceCrossing& c : scene_.crossings) {
        if (std::fabs(xOf(c.utJd) - x) <= REACH &&
            (!nearest || std::fabs(xOf(c.utJd) - x) < std::fabs(xOf(nearest->utJd) - x))) {
            nearest = &c;
        }
    }
    if (nearest && chosen_) {
        chosen_(nearest->utJd);
    }
}

void FacesStrip::contextMenuEvent(QContextMenuEvent* e) {
    showPictureMenu(*this, *e);
}

} // namespace orvanta
