#pragma once

// The orbit diagram in words, for those who cannot see it: what it shows, where each planet is and
// whether Mars is coming closer. Pure.

#include "ephemeris/encounter_state.h"

#include <string>

namespace orvanta {

// Heliocentric ecliptic longitude in whole degrees, 0 to 359.
int longitudeDegrees(const Vec3& position);

// `now` and `later` are the encounter a little apart in time, to tell approaching from receding.
std::string describeOrbits(const EncounterState& now, const EncounterState& later);

} // namespace orvanta
