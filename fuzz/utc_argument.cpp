// A UTC instant typed as YYYY-MM-DDTHH:MM:SS: a reading that is a real second of the calendar and
// reads back as the very text, or one printable line that names the option.

#include "ephemeris/julian_date.h"
#include "fuzz/fuzz_input.h"
#include "tools/cli/arguments.h"

#include <cstdio>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    UtcClockReading r{};
    try {
        r = parseUtcArgument("--utc", text);
    } catch (const BadArgument& bad) {
        fuzz::check(fuzz::isOneLine(bad.message) && bad.message.rfind("--utc '", 0) == 0,
                    "the message is one printable line naming the option", bad.message);
        return 0;
    }
    char back[32];
    std::snprintf(back, sizeof back, "%04d-%02d-%02dT%02d:%02d:%02d", r.year, r.month, r.day,
                  r.hour, r.minute, r.second);
    fuzz::check(text == back, "the reading writes back as the text", back);
    // A day the month does not have would come back from the Julian date as another day.
    const UtcClockReading again = calendarOfJulianDate(julianDateValue(julianDateOfReading(r)));
    fuzz::check(again.year == r.year && again.month == r.month && again.day == r.day &&
                    again.hour == r.hour && again.minute == r.minute && again.second == r.second,
                "the reading is a second of the calendar", back);
    return 0;
}
