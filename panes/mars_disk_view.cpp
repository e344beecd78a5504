#include "panes/mars_disk_view.h"

#include "display/disk_words.h"
#include "ephemeris/angles.h"
#include "panes/mars_map.h"
#include "panes/picture_menu.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace orvanta {

namespace {

// The disk is drawn again once it has turned or moved this far (degrees), or changed its size by
// a pixel.
constexpr double TURN = 0.5;
// The largest apparent diameter of Mars, in arcseconds, at its closest approaches (25.1″ in
// 2003): it fills the view. The scale bar's length.
constexpr double LARGEST_DIAMETER = 25;
constexpr double SCALE_BAR = 5;

QAccessibleInterface* accessibleDisk(const QString&, QObject* object) {
    if (auto* view = dynamic_cast<MarsDiskView*>(object)) {
        return new QAccessibleWidget(view, QAccessible::Graphic);
    }
    return nullptr;
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
    setMinimumSize(140, 140);
    setAccessibleName(QStringLiteral("Mars in a telescope"));
}

void MarsDiskView::setDisk(const MarsDisk& disk) {
    disk_ = disk;
    setAccessibleDescription(QString::fromStdString(diskWords(disk)));
    update();
}

void MarsDiskView::setOrientation(DiskOrientation orientation) {
    orientation_ = orientation;
    update();
}

double MarsDiskView::frameRadius() const {
    return std::min(width(), height()) / 2.0 - 16;
}

double MarsDiskView::pixelsPerArcsecond() const {
    return 2 * frameRadius() / LARGEST_DIAMETER;
}

double MarsDiskView::radius() const {
    return disk_ ? disk_->diameter / 2 * pixelsPerArcsecond() : 0;
}

QPointF MarsDiskView::placed(double x, double y, double r) const {
    const double right = orientation_ == DiskOrientation::NorthUp ? x : -x;
    const double up = orientation_ == DiskOrientation::SouthUp ? -y : y;
    return QPointF(width() / 2.0 + right * r, height() / 2.0 - up * r);
}

QPointF MarsDiskView::pointOf(double x, double y) const {
    return placed(x, y, radius());
}

QSize MarsDiskView::surfaceSize(qreal ratio) const {
    const int side = static_cast<int>(std::ceil(2 * radius() * ratio)) + 2;
    const auto matching = [side](int across) { return side + (across - side) % 2; };
    return {matching(qRound(width() * ratio)), matching(qRound(height() * ratio))};
}

void MarsDiskView::project(qreal ratio) {
    const DiskGeometry geometry(*disk_);
    const double r = radius() * ratio;
    const QImage& map = marsMapFor(r);
    // A small disk is sampled 3 x 3 times a pixel, each sample's colour in whole numbers, so
    // that the sum is the same whichever way the disk is turned.
    const int n = r < 32 ? 3 : 1;
    const double sx = orientation_ == DiskOrientation::NorthUp ? 1 : -1;
    const double sy = orientation_ == DiskOrientation::SouthUp ? -1 : 1;
    const QSize size = surfaceSize(ratio);
    surface_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    surface_.setDevicePixelRatio(ratio);
    const double cx = size.width() / 2.0, cy = size.height() / 2.0;
    for (int py = 0; py < size.height(); ++py) {
        auto* row = reinterpret_cast<QRgb*>(surface_.scanLine(py));
        for (int px = 0; px < size.width(); ++px) {
            int red = 0, green = 0, blue = 0, alpha = 0;
            for (int i = 0; i < n * n; ++i) {
                const int column = i % n, row = i / n; // of the pixel's n x n samples
                const double x = (px + (column + 0.5) / n - cx) / r;
                const double y = (cy - py - (row + 0.5) / n) / r;
                const double distance = std::hypot(x, y);
                // The limb smoothed over one sample.
                const double cover = std::clamp((1 - distance) * r * n + 0.5, 0.0, 1.0);
                if (cover <= 0) {
                    continue;
                }
                const DiskGeometry::Surface s = geometry.surfaceAt(sx * x, std::min(sy * y, 1.0));
                // A soft terminator, and the limb a little darker than the middle.
                const double day = std::clamp((s.sunlight + 0.03) / 0.09, 0.0, 1.0);
                const double light =
                    day * day * (3 - 2 * day) *
                    (0.8 + 0.2 * std::sqrt(std::max(0.0, 1 - distance * distance))) * cover;
                const QRgb c = marsMapColour(map, s.latitude, s.westLongitude);
                red += static_cast<int>(qRed(c) * light);
                green += static_cast<int>(qGreen(c) * light);
                blue += static_cast<int>(qBlue(c) * light);
                alpha += static_cast<int>(255 * cover);
            }
            const int samples = n * n;
            row[px] = qRgba(red / samples, green / samples, blue / samples, alpha / samples);
        }
    }
    projected_ = *disk_;
    projectedOrientation_ = orientation_;
}

// A bar of a few arcseconds in the lower left corner, at the scale every disk is drawn to.
void MarsDiskView::paintScale(QPainter& painter) const {
    const double length = SCALE_BAR * pixelsPerArcsecond();
    const QPointF start(8, height() - 8.5);
    painter.setPen(QPen(QColor(200, 205, 225), 1));
    painter.drawLine(start, start + QPointF(length, 0));
    for (const double x : {0.0, length}) {
        painter.drawLine(start + QPointF(x, -3), start + QPointF(x, 0));
    }
    painter.drawText(QRectF(start.x(), start.y() - 20, length + 30, 16),
                     Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("%1″").arg(static_cast<int>(SCALE_BAR)));
}

void MarsDiskView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(8, 10, 28));
    if (!disk_ || frameRadius() < 8) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (surface_.isNull() || surface_.size() != surfaceSize(ratio) ||
        surface_.devicePixelRatio() != ratio || projectedOrientation_ != orientation_ ||
        turned(projected_, *disk_)) {
        project(ratio);
    }
    const QPointF centre(width() / 2.0, height() / 2.0);
    // The unlit part stays black, as in the eyepiece; a faint rim shows the whole disk.
    painter.setPen(QPen(QColor(60, 62, 80), 1));
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, radius(), radius());
    painter.drawImage(centre - QPointF(surface_.width(), surface_.height()) / (2 * ratio),
                      surface_);
    painter.setPen(QColor(200, 205, 225));
    const struct {
        const char* text;
        double x, y;
    } marks[] = {{"N", 0, 1}, {"S", 0, -1}, {"E", -1, 0}, {"W", 1, 0}};
    // Around the largest disk, wherever this one's limb is.
    for (const auto& m : marks) {
        const QPointF p = placed(m.x, m.y, frameRadius() + 9);
        painter.drawText(QRectF(p - QPointF(8, 8), QSizeF(16, 16)), Qt::AlignCenter,
                         QString::fromLatin1(m.text));
    }
    paintScale(painter);
}

void MarsDiskView::contextMenuEvent(QContextMenuEvent* e) {
    showPictureMenu(*this, *e);
}

} // namespace orvanta
