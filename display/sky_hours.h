#pragma once

// The whole hours of a place's clock along Mars's track. The track's samples lie on a grid of UT,
// so in a zone off the whole hour (Kathmandu's +5:45, Chatham's +12:45) none falls on one: each
// hour is found between two samples from the zone's offset, and placed there by its share of the
// way.

#include "ephemeris/sky.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace orvanta {

struct HourMark {
    std::size_t after; // the sample it follows
    double fraction;   // of the way to the next: 0 on the sample itself, 1 on the track's last
    double utJd;
    int hour; // on the zone's clock, 0 to 23
};

// The zone's offset from UT in seconds, in force from the UT instant on (at a change, the new one).
using ZoneOffset = std::function<int(double utJd)>;

// Every whole local hour from the first sample to the last, in order; an hour the clock reads
// twice, as it goes back, twice.
std::vector<HourMark> localHourMarks(const std::vector<SkySample>& samples,
                                     const ZoneOffset& offsetAt);

} // namespace orvanta
