#pragma once

#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"

namespace orvanta {

// The clock pinned and the encounter state computed for it, for as long as a test holds it.
struct PinnedAt {
    explicit PinnedAt(UtcClockReading at) : clock(at) { computeEncounterState(); }
    FixedUtcClock clock;
};

} // namespace orvanta
