#pragma once

// Where Mars stands against the Sun around a closest approach, as seen from the centre of Earth:
// the opposition, when the two are 180° apart in longitude, and the elongation at any instant.
// The opposition and the closest approach are different instants, up to about ten days apart:
// Earth's and Mars's orbits are not circles in one plane.

#include "ephemeris/closest_approach.h"

#include <optional>
#include <vector>

namespace orvanta {

// The angle between Mars and the Sun, from their apparent geocentric places, in degrees.
double elongationOfMars(double utJd);

// The opposition within 40 days of `utJd`: the UT instant at which the geocentric apparent
// ecliptic longitudes of date of Mars and the Sun differ by 180°, to about a second. Empty when
// none lies within 40 days (Mars is then near conjunction) or `utJd` is not finite.
std::optional<double> oppositionNear(double utJd);

// Where Mars seems to stand still among the stars: its geocentric apparent ecliptic longitude of
// date stops changing, before its westward (retrograde) motion begins, or after it ends (direct).
struct StationaryPoint {
    double utJd;
    bool retrograde;  // the westward motion begins here; else it ends
    double longitude; // of Mars then, degrees, 0 to 360
};

// The stationary points either side of an opposition (as oppositionNear finds it), each to about a
// second, in time order: where the westward motion begins, then where it ends. Empty without one.
std::vector<StationaryPoint> stationaryPointsAround(std::optional<double> opposition);

// The closest approaches that lie in [from, to], the oppositions and the stationary points that
// do, each in time order. One whose approach lies just beyond an end is found too.
struct Apparitions {
    std::vector<ClosestApproach> approaches;
    std::vector<double> oppositions;
    std::vector<StationaryPoint> stationaryPoints;
};
Apparitions apparitionsBetween(double fromUtJd, double toUtJd);

} // namespace orvanta
