#pragma once

// Which face of Mars turns to a place through its night, and when: the instants each named
// feature (marsFeatures) stands on the central meridian while Mars is above the horizon. Mars
// turns once in 24 h 37 min, so a face comes back some 40 minutes later each night. The central
// meridian is the disk's own (mars_disk.h), light time included. Pure, as sky.h.

#include "ephemeris/mars_disk.h"
#include "ephemeris/night.h"

#include <vector>

namespace orvanta {

struct FaceCrossing {
    const MarsFeature* feature; // one of marsFeatures()
    double utJd;                // the feature on the central meridian
    double altitude;            // Mars's refracted altitude then, degrees, above 0
    double sunAltitude;         // the Sun's true altitude then, degrees
    SkyLight light;             // skyLightOf(sunAltitude)
};

// Every crossing of the central meridian by every named feature during the night's pass (from
// its rise, or its first sample where Mars is up already, to its end) while Mars is up, in time
// order. None for a night Mars never rises.
std::vector<FaceCrossing> faceCrossings(const Tonight& night, const Place& where);

// The UT instants from `fromUtJd` to `toUtJd` the central meridian passes the west longitude
// `westLongitude` (degrees), in order: the sub-Earth point sweeps each longitude once a turn.
std::vector<double> meridianCrossings(double westLongitude, double fromUtJd, double toUtJd);

} // namespace orvanta
