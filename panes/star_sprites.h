#pragma once

// The stars of a chart, each a small picture made once for its step of magnitude: hundreds of
// round antialiased discs would cost a paint several milliseconds. Shared by every picture of the
// sky, so that a star looks the same in each.

#include <QImage>
#include <QPointF>
#include <vector>

class QPainter;

namespace orvanta {

class StarSprites {
  public:
    // The faintest star of the picture, drawn smallest; each magnitude brighter a little larger.
    explicit StarSprites(double faintest = 4.5) : faintest_(faintest) {}
    // A star of `magnitude` centred on `at`, at the painter's pixel ratio.
    void draw(QPainter& painter, const QPointF& at, double magnitude);

  private:
    std::vector<QImage> sprites_; // at the ratio of the last paint
    qreal ratio_ = 0;
    double faintest_;
};

} // namespace orvanta
