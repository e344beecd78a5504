#pragma once

// What both pictures of the Approaches window show, as plain data: the span's chart, the orbits,
// now, and which approach is counted to and which is picked.

#include "ephemeris/approach_chart.h"

namespace orvanta {

// `target` and `picked` are indices into chart.approaches, or -1.
struct ApproachesScene {
    DistanceChart chart;
    OrbitsFromAbove orbits;
    double now = 0.0;
    int target = -1;
    int picked = -1;
};

} // namespace orvanta
