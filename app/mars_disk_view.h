#pragma once

// Mars as a small telescope shows it: the disk with north up, east on the left as the naked eye
// sees the sky or on the right as a star diagonal mirrors it; the surface from the global map
// turned to the central meridian and tilt of the instant, dark where the Sun does not reach.

#include "ephemeris/mars_disk.h"

#include <QImage>
#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;

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

// The disk now and at tonight's upper transit, each with its figures, and the mirror choice, kept
// in the settings.
class MarsDiskPanel : public QWidget {
  public:
    explicit MarsDiskPanel(QWidget* parent);
    void setInstants(double now, std::optional<double> transit);
    MarsDiskView* view(int which) const { return views_[which]; }
    QCheckBox* mirror() const { return mirror_; }

  private:
    MarsDiskView* views_[2];
    QLabel* captions_[2];
    QCheckBox* mirror_;
    std::optional<double> transit_;
};

// The disk in words, for screen readers: size, phase, tilt, central meridian, and the named
// features that face us.
QString diskWords(const MarsDisk& disk);

} // namespace orvanta
