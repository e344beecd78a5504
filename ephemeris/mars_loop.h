#pragma once

// Mars's path among the stars around a closest approach: eastward, a stop, two to three months
// westward (its retrograde loop), a second stop and eastward again, day by day, as star charts of
// an apparition print it. Pure, as sky.h.

#include "ephemeris/opposition.h"
#include "ephemeris/sky.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct LoopDay {
    double utJd;      // 0 h UT
    Equatorial place; // apparent, geocentric, of date
    double magnitude;
    std::string constellation; // its IAU name
};

// An instant of the apparition and where Mars is then.
struct LoopMark {
    double utJd;
    Equatorial place;
};

struct MarsLoop {
    ClosestApproach approach;
    LoopMark closest, opposition;
    LoopMark stops[2];    // the westward motion begins at the first and ends at the second
    double longitudes[2]; // of Mars at each stop, degrees on the ecliptic of date
    // Every day from about a month before the first stop to about a month after the second.
    std::vector<LoopDay> days;
};

// The loop around `approach`; empty where the series finds no opposition or no two stationary
// points beside it (near the ends of the searched years).
std::optional<MarsLoop> marsLoopAround(const ClosestApproach& approach);

// The loop of the closest approach in the year (UT), if the year has one.
std::optional<MarsLoop> marsLoopOfYear(int year);

} // namespace orvanta
