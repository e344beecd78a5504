#include "panes/mars_disk_view.h"

#include "display/disk_words.h"
#include "ephemeris/angles.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// The disk is drawn again once it has turned or moved this far (degrees), or changed its size by
// this fraction: about half a pixel at the limb.
constexpr double TURN = 0.5;

QAccessibleInterface* accessibleDisk(const QString&, QObject* object) {
    if (auto* view = dynamic_cast<MarsDiskView*>(object)) {
        return new QAccessibleWidget(view, QAccessible::Graphic);
    }
    return nullptr;
}

const QImage& map() {
    static const QImage image =
        QImage(QStringLiteral(":/pictures/mars_map.png")).convertToFormat(QImage::Format_RGB32);
    return image;
}

// The map's colour at an areocentric latitude and west longitude, between its four nearest
// pixels. The map runs from 180° east (west longitude 180°) at its left edge eastwards.
QRgb mapColour(double latitude, double westLongitude) {
    const QImage& m = map();
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

bool turned(const MarsDisk& a, const MarsDisk& b) {
    const auto apart = [](double x, double y) { return std::fabs(wrap180(x - y)); };
    return apart(a.centralMeridian, b.centralMeridian) > TURN ||
           std::fabs(a.tilt - b.tilt) > TURN || apart(a.poleAngle, b.poleAngle) > TURN ||
           apart(a.brightLimb, b.brightLimb) > TURN ||
           std::fabs(a.phaseAngle - b.phaseAngle) > TURN;
}

} // namespace

MarsDiskView::MarsDiskView(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleDisk);
        return true;
    }();
    (void)installed;
    setMinimumSize(150, 150);
    setAccessibleName(QStringLiteral("Mars in a telescope"));
}

void MarsDiskView::setDisk(const MarsDisk& disk) {
    disk_ = disk;
    setAccessibleDescription(QString::fromStdString(diskWords(disk)));
    update();
}

void MarsDiskView::setMirrored(bool mirrored) {
    mirrored_ = mirrored;
    update();
}

double MarsDiskView::radius() const {
    return std::min(width(), height()) / 2.0 - 16;
}

QPointF MarsDiskView::pointOf(double x, double y) const {
    const double r = radius();
    return QPointF(width() / 2.0 + (mirrored_ ? -x : x) * r, height() / 2.0 - y * r);
}

void MarsDiskView::project(qreal ratio) {
    const DiskGeometry geometry(*disk_);
    const double r = radius() * ratio;
    const int side = static_cast<int>(std::ceil(2 * r)) + 2;
    surface_ = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    surface_.setDevicePixelRatio(ratio);
    const double centre = side / 2.0;
    for (int py = 0; py < side; ++py) {
        auto* row = reinterpret_cast<QRgb*>(surface_.scanLine(py));
        const double y = (centre - py - 0.5) / r;
        for (int px = 0; px < side; ++px) {
            const double screenX = (px + 0.5 - centre) / r;
            const double distance = std::hypot(screenX, y);
            // The limb smoothed over one pixel.
            const double cover = std::clamp((1 - distance) * r + 0.5, 0.0, 1.0);
            if (cover <= 0) {
                row[px] = 0;
                continue;
            }
            const DiskGeometry::Surface s =
                geometry.surfaceAt(mirrored_ ? -screenX : screenX, std::min(y, 1.0));
            // A soft terminator, and the limb a little darker than the middle.
            const double day = std::clamp((s.sunlight + 0.03) / 0.09, 0.0, 1.0);
            const double light = day * day * (3 - 2 * day) *
                                 (0.8 + 0.2 * std::sqrt(std::max(0.0, 1 - distance * distance))) *
                                 cover;
            const QRgb c = mapColour(s.latitude, s.westLongitude);
            const int alpha = static_cast<int>(255 * cover);
            row[px] = qRgba(static_cast<int>(qRed(c) * light), static_cast<int>(qGreen(c) * light),
                            static_cast<int>(qBlue(c) * light), alpha);
        }
    }
    projected_ = *disk_;
    projectedMirrored_ = mirrored_;
}

void MarsDiskView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(8, 10, 28));
    if (!disk_ || radius() < 8) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const int side = static_cast<int>(std::ceil(2 * radius() * ratio)) + 2;
    if (surface_.isNull() || surface_.width() != side || surface_.devicePixelRatio() != ratio ||
        projectedMirrored_ != mirrored_ || turned(projected_, *disk_)) {
        project(ratio);
    }
    const QPointF centre(width() / 2.0, height() / 2.0);
    // The unlit part stays black, as in the eyepiece; a faint rim shows the whole disk.
    painter.setPen(QPen(QColor(60, 62, 80), 1));
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, radius(), radius());
    painter.drawImage(centre - QPointF(side, side) / (2 * ratio), surface_);
    painter.setPen(QColor(200, 205, 225));
    const struct {
        const char* text;
        double x, y;
    } marks[] = {{"N", 0, 1}, {"S", 0, -1}, {"E", -1, 0}, {"W", 1, 0}};
    const double outside = 1 + 9 / radius();
    for (const auto& m : marks) {
        const QPointF p = pointOf(m.x * outside, m.y * outside);
        painter.drawText(QRectF(p - QPointF(8, 8), QSizeF(16, 16)), Qt::AlignCenter,
                         QString::fromLatin1(m.text));
    }
}

} // namespace orvanta
