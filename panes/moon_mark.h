#pragma once

// The Moon as a small disk in its phase: lit on the side towards the Sun, its terminator the half
// ellipse that leaves the lit share of the disk as seen.

#include <QColor>
#include <QPointF>

class QPainter;

namespace orvanta {

// The Moon of `radius` at `at`, lit on the side `towardsSun` points to (any length but nought),
// `lit` of it (0 new, 1 full); the unlit part a shade between `sky` and the Moon, so that a thin
// crescent still shows a round Moon.
void drawMoon(QPainter& painter, const QPointF& at, const QPointF& towardsSun, double lit,
              double radius, const QColor& sky);

} // namespace orvanta
