// orvanta-state's command line, read but not carried out: a request within the tool's calendar,
// or one printable line.

#include "ephemeris/julian_date.h"
#include "fuzz/fuzz_input.h"
#include "tools/cli/arguments.h"
#include "tools/state/state_tool.h"

#include <cmath>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args = fuzz::argumentsOf(data, size);
    StateRequest request;
    try {
        request = parseStateArguments(args);
    } catch (const BadArgument& bad) {
        fuzz::check(fuzz::isOneLine(bad.message), "the message is one printable line", bad.message);
        return 0;
    }
    if (request.julianDate) {
        fuzz::check(*request.julianDate >= julianDateOfYear(FIRST_YEAR) &&
                        *request.julianDate < julianDateOfYear(LAST_YEAR + 1),
                    "--jd lies in the years taken");
        fuzz::check(request.readings.empty() && !request.lines, "--jd goes without --utc, --lines");
    }
    if (request.factor) {
        fuzz::check(request.julianDate.has_value() && std::isfinite(*request.factor),
                    "--factor is a number and comes with --jd");
    }
    for (const UtcClockReading& reading : request.readings) {
        fuzz::check(reading.year >= FIRST_YEAR && reading.year <= LAST_YEAR,
                    "--utc is in the years taken");
    }
    if (request.approaches) {
        const double from = julianDateValue(julianDateOfReading(request.approaches->first));
        const double to = julianDateValue(julianDateOfReading(request.approaches->second));
        fuzz::check(from <= to && to - from <= 1000 * 366.0, "FROM lies before TO, 1000 years");
    }
    if (request.place) {
        fuzz::check(request.sky, "--place comes with --sky");
        fuzz::check(std::isfinite(request.place->height) &&
                        std::fabs(request.place->latitude) <= 90 &&
                        std::fabs(request.place->longitude) <= 180,
                    "the place is on Earth");
    }
    return 0;
}
