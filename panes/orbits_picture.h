#pragma once

// The orbits of Earth and Mars seen from above, to scale, with the line between the two at each
// approach and its year, the perihelion of Mars, and where both are now.

#include "panes/approaches_picture.h"

#include <utility>
#include <vector>

namespace orvanta {

class OrbitsPicture : public ApproachesPicture {
  public:
    using ApproachesPicture::ApproachesPicture;

    QPointF placeOf(int index) const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    double scale() const;
    QPointF at(const Point& p) const;
    void paintOrbits(QPainter& painter) const;
    void paintApproaches(QPainter& painter) const;
    QPointF perihelionCentre() const;
    QString yearOf(std::size_t index) const;
    // The years that find room, each with the centre it is drawn at.
    std::vector<std::pair<std::size_t, QPointF>> yearPlaces() const;
};

} // namespace orvanta
