#pragma once

// Mars tonight at one instant from one place: everything the window and orvanta-state --sky tell
// of it, computed once, for the words, the dome, the disks and the report to render. Pure, as
// sky.h.

#include "ephemeris/mars_disk.h"
#include "ephemeris/night.h"
#include "ephemeris/sky_chart.h"
#include "ephemeris/stars.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

constexpr double NEAR_WITHIN = 10.0;          // degrees: a star further off is not "near"
constexpr double TOO_CLOSE_TO_THE_SUN = 15.0; // degrees: lost in the Sun's glare

// The star Mars is found by, of those the dome draws: the nearest one where it lies within 10°,
// else the brightest within 20°, else none. `places` are the apparent places of stars(), in its
// order.
NearStar starToName(const Equatorial& mars, const std::vector<Equatorial>& places);

// Whether a telescope is shown Mars: above the horizon, in a sky that is not day.
bool telescopeSees(double marsAltitude, double sunAltitude);

struct SkyTonight {
    double utJd;
    Place place;
    Equatorial mars;   // apparent, geocentric
    Horizontal marsAt; // true altitude
    Horizontal sunAt;  // true altitude: how lit the sky is, for the words and the dome alike
    std::string constellation;
    double magnitude;
    double elongation; // degrees from the Sun
    NearStar near;     // by starToName
    double moon;       // degrees from Mars, seen from the place
    Tonight pass;
    MarsDisk disk;
    bool diskSeen; // by telescopeSees, now
    // The disk at tonight's upper transit, where Mars is then up in a sky that is not day.
    std::optional<MarsDisk> highest;
    SkyChart chart;
    // What a night keeps: found once, when the pass is.
    double passFoundAt;
    ChartPlaces places;
};

// The record at `utJd`. The pass, the stars' places and the disk at the highest are taken from
// `earlier` (a record of minutes before) while they still hold: within the hour, before its pass
// is over, from the same place; else found anew.
SkyTonight skyTonight(double utJd, const Place& where, const SkyTonight* earlier = nullptr);

} // namespace orvanta
