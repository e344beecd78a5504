#pragma once

// The label placement's boxes and Qt's rectangles, one into the other.

#include "display/label_placement.h"

#include <QRectF>

namespace orvanta {

inline LabelBox boxOf(const QRectF& r) {
    return {r.left(), r.top(), r.right(), r.bottom()};
}

inline QRectF rectOf(const LabelBox& b) {
    return QRectF(QPointF(b.left, b.top), QPointF(b.right, b.bottom));
}

} // namespace orvanta
