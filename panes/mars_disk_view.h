#pragma once

// Mars as a small telescope shows it: the disk north up with east on the left as the naked eye
// sees the sky, mirrored as a star diagonal shows it, or south up; the surface from the global
// map turned to the central meridian and tilt of the instant, dark where the Sun does not reach.
// Every disk is drawn to one scale for a view of a given size, the largest Mars ever shows (25″)
// filling it, so that a far Mars looks as small beside a near one as it does in the eyepiece.

#include "display/disk_words.h"
#include "ephemeris/mars_disk.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace orvanta {

class MarsDiskView : public QWidget {
  public:
    explicit MarsDiskView(QWidget* parent);
    void setDisk(const MarsDisk& disk);
    void setOrientation(DiskOrientation orientation);
    // Where a point of the disk (x towards celestial west, y north, in radii) is drawn.
    QPointF pointOf(double x, double y) const;
    // Pixels to the arcsecond, the same for every disk in a view of this size.
    double pixelsPerArcsecond() const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    // The radius of the largest disk, which the direction marks stand around, and of this one.
    double frameRadius() const;
    double radius() const;
    // Where a point in radii `r` from the centre is drawn, turned as the telescope turns it.
    QPointF placed(double x, double y, double r) const;
    // The projected surface's size in device pixels: its width odd or even as the view's, and
    // its height as the view's, so that it lies on whole pixels in the middle and turns about
    // the view's centre.
    QSize surfaceSize(qreal ratio) const;
    void project(qreal ratio);
    void paintScale(QPainter& painter) const;
    std::optional<MarsDisk> disk_;
    DiskOrientation orientation_ = DiskOrientation::NorthUp;
    // The projected surface, made again only when the disk has turned or moved noticeably.
    QImage surface_;
    MarsDisk projected_{};
    DiskOrientation projectedOrientation_ = DiskOrientation::NorthUp;
};

} // namespace orvanta
