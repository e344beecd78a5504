#include "panes/mars_map.h"

#include "ephemeris/angles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvanta {

namespace {

// The global map and its halvings down to 64 pixels across, smoothed: a small disk samples the one
// whose pixels are about its own, so that it shows the broad markings and not a scatter of
// points picked from the full map.
const std::vector<QImage>& maps() {
    static const std::vector<QImage> levels = [] {
        std::vector<QImage> made{QImage(QStringLiteral(":/pictures/mars_map.png"))
                                     .convertToFormat(QImage::Format_RGB32)};
        while (made.back().width() > 64) {
            made.push_back(made.back().scaled(made.back().size() / 2, Qt::IgnoreAspectRatio,
                                              Qt::SmoothTransformation));
        }
        return made;
    }();
    return levels;
}

} // namespace

const QImage& marsMapFor(double radius) {
    const std::vector<QImage>& levels = maps();
    std::size_t level = 0;
    while (level + 1 < levels.size() && levels[level + 1].width() >= 4 * PI * radius) {
        ++level;
    }
    return levels[level];
}

// The map runs from 180° east (west longitude 180°) at its left edge eastwards.
QRgb marsMapColour(const QImage& m, double latitude, double westLongitude) {
    const double fx = wrap360(540.0 - westLongitude) / 360.0 * m.width() - 0.5;
    const double fy = std::clamp((90 - latitude) / 180 * m.height() - 0.5, 0.0, m.height() - 1.0);
    const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(fy);
    const double ax = fx - x0, ay = fy - y0;
    const int y1 = std::min(y0 + 1, m.height() - 1);
    const int xa = (x0 + m.width()) % m.width(), xb = (x0 + 1) % m.width();
    const auto* top = reinterpret_cast<const QRgb*>(m.constScanLine(y0));
    const auto* bottom = reinterpret_cast<const QRgb*>(m.constScanLine(y1));
    const auto mix = [&](int (*channel)(QRgb)) {
        return (channel(top[xa]) * (1 - ax) + channel(top[xb]) * ax) * (1 - ay) +
               (channel(bottom[xa]) * (1 - ax) + channel(bottom[xb]) * ax) * ay;
    };
    return qRgb(static_cast<int>(mix(qRed)), static_cast<int>(mix(qGreen)),
                static_cast<int>(mix(qBlue)));
}

} // namespace orvanta
