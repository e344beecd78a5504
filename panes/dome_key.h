#pragma once

// What the sky dome's marks mean, in the two upper corners the horizon's circle leaves free: the
// track's two colours on the left, the ecliptic's dashes and the rings' heights on the right.

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

namespace orvanta {

// The track where the sky is dark, and where it is not; the ecliptic.
inline const QColor TRACK_DARK(255, 190, 140);
inline const QColor TRACK_DIM(120, 110, 120);
inline const QColor ECLIPTIC(150, 130, 60);

// The key within `area` (the dome's widget), its words in `text` and a smaller `font`.
void drawDomeKey(QPainter& painter, const QRectF& area, const QFont& font, const QColor& text);

} // namespace orvanta
