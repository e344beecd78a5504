#include "panes/star_sprites.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// The sizes and shades, in steps of a quarter magnitude from the brightest.
constexpr double BRIGHTEST_STEP = -1.5;
constexpr double MAGNITUDE_STEP = 0.25;

double starRadius(double magnitude, double faintest) {
    return std::clamp(1.0 + (faintest - magnitude) * 0.6, 1.0, 4.5);
}

} // namespace

void StarSprites::draw(QPainter& painter, const QPointF& at, double magnitude) {
    const qreal ratio = painter.device()->devicePixelRatioF();
    const int steps = static_cast<int>(std::lround((faintest_ - BRIGHTEST_STEP) / MAGNITUDE_STEP));
    if (sprites_.empty() || ratio_ != ratio) {
        sprites_.clear();
        ratio_ = ratio;
        for (int step = 0; step <= steps; ++step) {
            const double m = BRIGHTEST_STEP + step * MAGNITUDE_STEP;
            const double r = starRadius(m, faintest_);
            const int side = static_cast<int>(std::ceil(2 * r + 2));
            QImage sprite(QSize(side, side) * ratio, QImage::Format_ARGB32_Premultiplied);
            sprite.setDevicePixelRatio(ratio);
            sprite.fill(Qt::transparent);
            QPainter p(&sprite);
            p.setRenderHint(QPainter::Antialiasing);
            // A ring of the sky's colour keeps a star apart from a line it stands on.
            p.setPen(QPen(QColor(8, 10, 28), 1));
            const int light = static_cast<int>(std::clamp(255 - (m - 1) * 30, 150.0, 255.0));
            p.setBrush(QColor(light, light, std::min(255, light + 10)));
            p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
            sprites_.push_back(sprite);
        }
    }
    const auto step = static_cast<std::size_t>(
        std::clamp(std::lround((magnitude - BRIGHTEST_STEP) / MAGNITUDE_STEP), 0L, long{steps}));
    const QImage& sprite = sprites_[step];
    const double half = sprite.width() / ratio / 2;
    painter.drawImage(at - QPointF(half, half), sprite);
}

} // namespace orvanta
