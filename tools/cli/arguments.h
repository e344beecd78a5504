#pragma once

// What the command-line tools share: reading a UTC instant, and quoting an argument in a message.

#include "ephemeris/julian_date.h"
#include "ephemeris/sky.h"
#include "ephemeris/utc_clock.h"
#include "towns/towns.h"

#include <charconv>
#include <cmath>
#include <optional>
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

// The number that the whole of `text` is, in plain decimal ("12", "-3", "2452878.9"; no "+",
// no spaces, no hexadecimal), finite; empty otherwise. Every number the tools take is read here.
template <typename Number>
std::optional<Number> numberOf(std::string_view text) {
    Number value{};
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(double(value))) {
        return std::nullopt;
    }
    return value;
}

// A latitude and longitude (LAT,LON[,HEIGHT] or any form parsePlace takes) or a town's name;
// throws BadArgument naming `option` and saying what is wrong.
PlaceEntry parsePlaceArgument(std::string_view option, std::string_view text);

// "0100 to 9999": the years every instant taken lies in (FIRST_YEAR to LAST_YEAR), as messages
// and help texts say them.
std::string yearsText();

// A UTC instant of the form YYYY-MM-DDTHH:MM:SS, in the years yearsText says; throws BadArgument
// naming `option` otherwise.
UtcClockReading parseUtcArgument(std::string_view option, std::string_view text);

} // namespace orvanta
