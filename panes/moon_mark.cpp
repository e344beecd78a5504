#include "panes/moon_mark.h"

#include "ephemeris/constants.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace orvanta {

void drawMoon(QPainter& painter, const QPointF& at, const QPointF& towardsSun, double lit,
              double radius, const QColor& sky) {
    constexpr int STEPS = 24;
    const double length = std::hypot(towardsSun.x(), towardsSun.y());
    const QPointF x = length > 0 ? towardsSun / length : QPointF(1, 0); // to the Sun
    const QPointF y(-x.y(), x.x());
    // The limb on the Sun's side from one horn to the other, then back along the terminator,
    // which lies at (1 - 2 lit) of the half-width: on the far limb when full, the near one when
    // new.
    const double terminator = 1 - 2 * std::clamp(lit, 0.0, 1.0);
    QPolygonF shape;
    for (int i = 0; i <= STEPS; ++i) {
        const double theta = PI * i / STEPS - PI / 2;
        shape << at + radius * (x * std::cos(theta) + y * std::sin(theta));
    }
    for (int i = STEPS; i >= 0; --i) {
        const double theta = PI * i / STEPS - PI / 2;
        shape << at + radius * (x * (terminator * std::cos(theta)) + y * std::sin(theta));
    }
    // The unlit part and the limb a share of the way from the sky to the Moon's own colour, so
    // that they show on a night sky and a day sky alike.
    const QColor moon(235, 232, 210);
    const auto towardsMoon = [&](double share) {
        return QColor::fromRgbF(
            static_cast<float>(sky.redF() + share * (moon.redF() - sky.redF())),
            static_cast<float>(sky.greenF() + share * (moon.greenF() - sky.greenF())),
            static_cast<float>(sky.blueF() + share * (moon.blueF() - sky.blueF())));
    };
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(towardsMoon(0.2));
    painter.drawEllipse(at, radius, radius);
    painter.setBrush(moon);
    painter.drawPolygon(shape);
    painter.setPen(QPen(towardsMoon(0.5), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, radius, radius);
    painter.restore();
}

} // namespace orvanta
