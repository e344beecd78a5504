#pragma once

// The label placement's boxes and Qt's rectangles, one into the other.

#include "display/label_placement.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

namespace orvanta {

inline LabelBox boxOf(const QRectF& r) {
    return {r.left(), r.top(), r.right(), r.bottom()};
}

inline QRectF rectOf(const LabelBox& b) {
    return QRectF(QPointF(b.left, b.top), QPointF(b.right, b.bottom));
}

inline std::vector<LabelBox> boxesOf(const std::vector<QRectF>& rects) {
    std::vector<LabelBox> boxes;
    boxes.reserve(rects.size());
    for (const QRectF& r : rects) {
        boxes.push_back(boxOf(r));
    }
    return boxes;
}

// placeLabels with the chosen candidates as rectangles, nothing where a label finds no room.
inline std::vector<std::optional<QRectF>>
placedRects(const std::vector<std::vector<LabelBox>>& candidates, std::vector<LabelBox>& taken,
            const std::function<bool(const LabelBox&)>& inside, double spaceX, double spaceY) {
    const std::vector<int> chosen = placeLabels(candidates, taken, inside, spaceX, spaceY);
    std::vector<std::optional<QRectF>> placed;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        placed.push_back(chosen[i] < 0 ? std::nullopt
                                       : std::optional<QRectF>(rectOf(
                                             candidates[i][static_cast<std::size_t>(chosen[i])])));
    }
    return placed;
}

// Places for a label of `size` around a point, `gap` from it: on the right, then on the left,
// below, above, then at its corners.
inline std::vector<LabelBox> boxesAround(const QPointF& p, const QSizeF& size, double gap) {
    const double w = size.width(), h = size.height();
    std::vector<LabelBox> boxes;
    for (const QPointF& corner :
         {QPointF(p.x() + gap, p.y() - h / 2), QPointF(p.x() - gap - w, p.y() - h / 2),
          QPointF(p.x() - w / 2, p.y() + gap), QPointF(p.x() - w / 2, p.y() - gap - h),
          QPointF(p.x() + gap, p.y() + gap / 2), QPointF(p.x() + gap, p.y() - gap / 2 - h),
          QPointF(p.x() - gap - w, p.y() + gap / 2),
          QPointF(p.x() - gap - w, p.y() - gap / 2 - h)}) {
        boxes.push_back(boxOf(QRectF(corner, size)));
    }
    return boxes;
}

// Whether a line enters a rectangle.
inline bool crosses(const QLineF& line, const QRectF& r) {
    const QLineF edges[] = {{r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()},
                            {r.bottomLeft(), r.topLeft()}};
    return r.contains(line.p1()) || std::any_of(std::begin(edges), std::end(edges), [&](auto& e) {
               return line.intersects(e, nullptr) == QLineF::BoundedIntersection;
           });
}

} // namespace orvanta
