#pragma once

// The closest approaches as an iCalendar file (RFC 5545), one event each.

#include "ephemeris/closest_approach.h"
#include "ephemeris/utc_clock.h"

#include <string>
#include <vector>

namespace orvanta {

// Each event keeps its UID from run to run, so that a calendar updates it in place; `madeAt` is
// the file's stamp.
void appendCalendar(std::string& out, const std::vector<ClosestApproach>& approaches,
                    const UtcClockReading& madeAt);

} // namespace orvanta
