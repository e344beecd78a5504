#pragma once

#include "ephemeris/encounter_state.h"
#include "ephemeris/sky.h"
#include "ephemeris/utc_clock.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvanta {

// What an orvanta-state command line asks for.
struct StateRequest {
    std::vector<UtcClockReading> readings;
    std::optional<double> julianDate;
    std::optional<double> factor;
    bool lines = false;
    std::optional<CountdownChoice> target;
    std::optional<std::pair<UtcClockReading, UtcClockReading>> approaches;
    bool calendar = false;        // the approaches as an iCalendar file
    bool withOppositions = false; // and in it the oppositions and stationary points
    bool sky = false;
    std::optional<std::pair<UtcClockReading, UtcClockReading>> nights;
    bool faces = false; // the night's crossings of the central meridian, at a place as --sky
    std::optional<Place> place;
};

// The request of `args` (without the program name), read and checked but not carried out, apart
// from finding the closest approach of a --target year; throws BadArgument (tools/cli/arguments.h)
// with the one line that says what is wrong. --help is runStateTool's to answer, before this.
StateRequest parseStateArguments(const std::vector<std::string>& args);

// What --help prints: the options and the lines each writes.
extern const char* const STATE_USAGE;

// The orvanta-state command line: `args` without the program name. Writes the report to `out`, or
// one line to `err` on bad input; returns the exit status (0, or 2 for bad input). Nothing is
// written to `out` unless every argument is good.
int runStateTool(const std::vector<std::string>& args, std::string& out, std::string& err);

} // namespace orvanta
