#pragma once

// The stars to magnitude 6 and the constellation figures (data/stars, embedded by the build),
// where they appear on a date, and the star nearest to Mars with the way from it to Mars.

#include "ephemeris/apparent_place.h"
#include "ephemeris/sky.h"
#include "ephemeris/star_table.h"
#include "ephemeris/time_scales.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The faintest star the sky dome draws and Mars is found by; the loop chart draws them all.
constexpr double DRAWN_FAINTEST = 4.5;

// Brightest first.
const std::vector<Star>& stars();

const std::vector<FigureLine>& figureLines();

// Apparent geocentric places at one UT instant: proper motion, annual aberration, precession and
// nutation. What they share (Earth's velocity) is computed once.
class ApparentSky {
  public:
    explicit ApparentSky(double utJd);
    Equatorial of(double ra, double dec, double motionRa = 0, double motionDec = 0) const;
    Equatorial of(const Star& star) const;

  private:
    Instant at_;
    double years_;
    Vec3 velocity_; // Earth's, on the equator of J2000, in units of the speed of light
};

// The apparent places of all of stars(), in its order.
std::vector<Equatorial> apparentStars(double utJd);

// "north", "north-east", ... "north-west": the nearest of the eight (or, with 16, of the sixteen:
// "north-north-east" too) to an angle from north through east in degrees, any turn; empty for an
// angle that is not a number.
std::string_view compassWord(double angle, int points = 8);

struct NearStar {
    const Star* star;
    double degrees;             // from the star to the body
    std::string_view direction; // of the body from the star
};
// The star the dome draws (to DRAWN_FAINTEST) nearest to `body`; `places` are the apparent places
// of stars(), in its order.
NearStar nearestStar(const Equatorial& body, const std::vector<Equatorial>& places);

} // namespace orvanta
