#pragma once

// What the Approaches window draws, from the series: the Earth–Mars distance over a span of years
// with every closest approach in it, and the orbits of Earth and Mars seen from above with the
// line between the two at each approach. Pure: every instant is a UT Julian date given by the
// caller.

#include "ephemeris/closest_approach.h"

#include <vector>

namespace orvanta {

struct DistanceSample {
    double utJd;
    double distanceAu;
};

struct DistanceChart {
    double fromJd, toJd;
    std::vector<ClosestApproach> approaches; // every one in [fromJd, toJd], as the search finds it
    // The distance from fromJd to toJd in time order, each approach's own instant and distance
    // among the samples, so that every minimum is drawn at its true depth.
    std::vector<DistanceSample> curve;
};
DistanceChart distanceChart(double fromJd, double toJd);

// Heliocentric, on the ecliptic of J2000 seen from its north pole, in au.
struct Point {
    double x, y;
};
struct OrbitsFromAbove {
    std::vector<Point> earthOrbit, marsOrbit; // one revolution each, closed
    Point marsPerihelion;
    struct Approach {
        Point earth, mars;
    };
    std::vector<Approach> approaches; // in the order given
    Point earthNow, marsNow;
};
OrbitsFromAbove orbitsFromAbove(const std::vector<ClosestApproach>& approaches, double nowJd);

} // namespace orvanta
