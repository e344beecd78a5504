#pragma once

// Mars as a small telescope shows it: the disk with north up, east on the left as the naked eye
// sees the sky or on the right as a star diagonal mirrors it; the surface from the global map
// turned to the central meridian and tilt of the instant, dark where the Sun does not reach.

#include "ephemeris/mars_disk.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace orvanta {

class MarsDiskView : public QWidget {
  public:
    explicit MarsDiskView(QWidget* parent);
    void setDisk(const MarsDisk& disk);
    void setMirrored(bool mirrored);
    // Where a point of the disk (x towards celestial west, y north, in radii) is drawn.
    QPointF pointOf(double x, double y) const;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    double radius() const;
    void project(qreal ratio);
    std::optional<MarsDisk> disk_;
    bool mirrored_ = false;
    // The projected surface, made again only when the disk has turned or moved noticeably.
    QImage surface_;
    MarsDisk projected_{};
    bool projectedMirrored_ = false;
};

} // namespace orvanta
