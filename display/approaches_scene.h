#pragma once

// What both pictures of the Approaches window show, as plain data: the span's chart, the orbits,
// now, and which approach is counted to and which is picked.

#include "ephemeris/approach_chart.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvanta {

// A span's chart and its scale, found together once, not at every paint and every minute.
struct ApproachesSpan {
    DistanceChart chart;
    double topAu = 0.5; // the chart's scale: the farthest distance, up to the next half au
};
inline ApproachesSpan approachesSpan(double fromJd, double toJd) {
    ApproachesSpan span{distanceChart(fromJd, toJd), 0.5};
    for (const DistanceSample& s : span.chart.curve) {
        span.topAu = std::max(span.topAu, std::ceil(s.distanceAu / 0.5) * 0.5);
    }
    return span;
}

// `target` and `picked` are indices into chart.approaches, or -1.
struct ApproachesScene {
    DistanceChart chart;
    double topAu = 0.5;
    OrbitsFromAbove orbits;
    double now = 0.0;
    int target = -1;
    int picked = -1;
};

} // namespace orvanta
