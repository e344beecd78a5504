#pragma once

// What the command-line tools share: reading a UTC instant, and quoting an argument in a message.

#include "ephemeris/utc_clock.h"

#include <string>
#include <string_view>

namespace orvanta {

// A bad argument, with the one line that says what is wrong with it.
struct BadArgument {
    std::string message;
};

// The argument as the user typed it, between quotes, with every byte that could break a one-line
// message or reach the terminal as a control sequence (any control byte, and every byte beyond
// ASCII) written as \xNN; cut after 60 bytes, with its length said.
std::string quoteArgument(std::string_view text);

// A UTC instant of the form YYYY-MM-DDTHH:MM:SS, years 0001 to 9999; throws BadArgument naming
// `option` otherwise.
UtcClockReading parseUtcArgument(std::string_view option, std::string_view text);

} // namespace orvanta
