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

// A span's chart and the size and brightness of Mars at each of its approaches, found together
// once (each is a full evaluation of the series), not at every paint and every minute.
struct ApproachesSpan {
    DistanceChart chart;
    std::vector<double> diameters, magnitudes;
    double topAu = 0.5; // the chart's scale: the farthest distance, up to the next half au
};
inline ApproachesSpan approachesSpan(double fromJd, double toJd) {
    ApproachesSpan span{distanceChart(fromJd, toJd), {}, {}, 0.5};
    for (const DistanceSample& s : span.chart.curve) {
        span.topAu = std::max(span.topAu, std::ceil(s.distanceAu / 0.5) * 0.5);
    }
    for (const ClosestApproach& a : span.chart.approaches) {
        const EncounterState at = encounterAt(ttOfUt(a.julianDate));
        span.diameters.push_back(at.apparentDiameterArcsec);
        span.magnitudes.push_back(at.magnitude);
    }
    return span;
}

// `target` and `picked` are indices into chart.approaches, or -1.
struct ApproachesScene {
    DistanceChart chart;
    std::vector<double> diameters, magnitudes; // at each approach
    double topAu = 0.5;
    OrbitsFromAbove orbits;
    double now = 0.0;
    int target = -1;
    int picked = -1;
};

} // namespace orvanta
