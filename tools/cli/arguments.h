#pragma once

// What the command-line tools share: reading a UTC instant, and quoting an argument in a message.
// Numbers are read by wholeNumber (rules/whole_text.h), a place by parsePlaceArgument
// (place_argument.h).

#include "ephemeris/julian_date.h"
#include "ephemeris/sky.h"
#include "ephemeris/utc_clock.h"
#include "rules/whole_text.h"

#include <string>
#include <string_view>

namespace orvanta {

// A bad argument, with the one line that says what is wrong with it.
struct BadArgument {
    std::string message;
};

// The argument as the user typed it, between quotes, made visible and cut as echoText does it (a
// quote in it written as \x27).
std::string quoteArgument(std::string_view text);

// "0100 to 9999": the years every instant taken lies in (FIRST_YEAR to LAST_YEAR), as messages
// and help texts say them.
std::string yearsText();

// A UTC instant of the form YYYY-MM-DDTHH:MM:SS, in the years yearsText says; throws BadArgument
// naming `option` otherwise.
UtcClockReading parseUtcArgument(std::string_view option, std::string_view text);

} // namespace orvanta
