#include "display/number_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/julian_date.h"
#include "tools/cli/arguments.h"
#include "tools/cli/place_argument.h"
#include "tools/state/state_tool.h"

#include <cstdint>

namespace orvanta {

namespace {

double parseNumber(std::string_view option, std::string_view text) {
    const std::optional<double> value = wholeNumber<double>(text);
    if (!value) {
        throw BadArgument{std::string(option) + " " + quoteArgument(text) + " is not a number"};
    }
    return *value;
}

double parseJulianDate(std::string_view text) {
    const double jd = parseNumber("--jd", text);
    const double first = julianDateOfYear(FIRST_YEAR), end = julianDateOfYear(LAST_YEAR + 1);
    if (!(jd >= first && jd < end)) {
        throw BadArgument{"--jd " + quoteArgument(text) + " lies outside the years " + yearsText() +
                          " (Julian dates " + formatFixed(first, 1) + " to " + formatFixed(end, 1) +
                          ")"};
    }
    return jd;
}

// "2003", "next", or a year from the first taken to 5999 whose closest approach is counted to.
CountdownChoice parseTarget(std::string_view text) {
    if (text == "2003") {
        return {};
    }
    if (text == "next") {
        return {CountdownTarget::Next};
    }
    const int year = wholeNumber<int>(text).value_or(0);
    if (text.size() != 4 || year < FIRST_YEAR || year > 5999) {
        throw BadArgument{"--target " + quoteArgument(text) +
                          " is not 2003, next or a year of four digits, 0" +
                          std::to_string(FIRST_YEAR) + " to 5999"};
    }
    const std::vector<ClosestApproach> in =
        findClosestApproaches(julianDateOfYear(year), julianDateOfYear(year + 1));
    if (in.empty()) {
        throw BadArgument{"--target " + quoteArgument(text) +
                          ": Mars comes closest to Earth in no day of that year"};
    }
    return {CountdownTarget::Chosen, in.front().julianDate};
}

// FROM and TO of --approaches or --ics: in order, at most 1000 years apart, up to 6000-01-01.
std::pair<UtcClockReading, UtcClockReading>
parseSpan(const std::string& option, std::string_view fromText, std::string_view toText) {
    const UtcClockReading from = parseUtcArgument(option, fromText);
    const UtcClockReading to = parseUtcArgument(option, toText);
    const double toJd = julianDateValue(julianDateOfReading(to));
    if (toJd <= julianDateValue(julianDateOfReading(from))) {
        throw BadArgument{option + ": FROM must lie before TO"};
    }
    UtcClockReading limit = from; // the same date and time 1000 years on
    limit.year = static_cast<std::uint16_t>(limit.year + 1000);
    if (toJd > julianDateValue(julianDateOfReading(limit))) {
        throw BadArgument{option + ": FROM and TO lie more than 1000 years apart"};
    }
    if (toJd > julianDateOfYear(6000)) {
        throw BadArgument{option + ": closest approaches are found only up to 6000-01-01 "
                                   "(4000 years from 2000)"};
    }
    return {from, to};
}

// FROM and TO of --nights: in order, at most 1000 days apart.
std::pair<UtcClockReading, UtcClockReading> parseNights(std::string_view fromText,
                                                        std::string_view toText) {
    const UtcClockReading from = parseUtcArgument("--nights", fromText);
    const UtcClockReading to = parseUtcArgument("--nights", toText);
    const double days =
        julianDateValue(julianDateOfReading(to)) - julianDateValue(julianDateOfReading(from));
    if (!(days > 0 && days <= 1000)) {
        throw BadArgument{"--nights: FROM must lie before TO, at most 1000 days"};
    }
    return {from, to};
}

// What may not be asked together.
void checkCombination(const StateRequest& request) {
    const struct {
        bool refused;
        const char* message;
    } rules[] = {
        {request.julianDate && !request.readings.empty(), "--jd and --utc cannot be combined"},
        {request.factor && !request.julianDate, "--factor needs --jd"},
        {request.lines && request.julianDate, "--lines and --jd cannot be combined"},
        {request.lines && request.readings.size() > 1, "--lines takes at most one --utc"},
        {request.place && !request.sky && !request.nights && !request.faces,
         "--place needs --sky, --faces or --nights"},
        {request.nights && (request.sky || request.faces || request.julianDate || request.lines ||
                            request.target || request.approaches || !request.readings.empty()),
         "--nights goes with --place only"},
        {request.sky && request.faces, "--sky and --faces cannot be combined"},
        {(request.sky || request.faces) && (request.julianDate || request.lines || request.target ||
                                            request.approaches || request.readings.size() > 1),
         request.faces ? "--faces goes with one --utc and --place only"
                       : "--sky goes with one --utc and --place only"},
        {request.approaches &&
             (request.julianDate || request.lines || request.target || !request.readings.empty()),
         "--approaches and --ics go alone"},
        {request.target && request.julianDate, "--target and --jd cannot be combined"},
        {request.withOppositions && !request.calendar, "--with-oppositions needs --ics"},
    };
    for (const auto& rule : rules) {
        if (rule.refused) {
            throw BadArgument{rule.message};
        }
    }
}

} // namespace

StateRequest parseStateArguments(const std::vector<std::string>& args) {
    StateRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) {
                throw BadArgument{option + " needs a value"};
            }
            return args[++i];
        };
        const auto once = [&](bool given) {
            if (given) {
                throw BadArgument{option + " may be given only once"};
            }
        };
        if (option == "--utc") {
            request.readings.push_back(parseUtcArgument(option, value()));
        } else if (option == "--jd") {
            once(request.julianDate.has_value());
            request.julianDate = parseJulianDate(value());
        } else if (option == "--lines") {
            request.lines = true;
        } else if (option == "--target") {
            once(request.target.has_value());
            request.target = parseTarget(value());
        } else if (option == "--approaches" || option == "--ics") {
            if (request.approaches) {
                throw BadArgument{"--approaches or --ics may be given only once"};
            }
            request.calendar = option == "--ics";
            const std::string_view from = value();
            request.approaches = parseSpan(option, from, value());
        } else if (option == "--nights") {
            once(request.nights.has_value());
            const std::string_view from = value();
            request.nights = parseNights(from, value());
        } else if (option == "--with-oppositions") {
            once(request.withOppositions);
            request.withOppositions = true;
        } else if (option == "--sky") {
            request.sky = true;
        } else if (option == "--faces") {
            request.faces = true;
        } else if (option == "--place") {
            once(request.place.has_value());
            request.place = parsePlaceArgument(option, value()).place;
        } else if (option == "--factor") {
            once(request.factor.has_value());
            request.factor = parseNumber(option, value());
        } else {
            throw BadArgument{"unknown option " + quoteArgument(option) + " (see --help)"};
        }
    }
    checkCombination(request);
    return request;
}

} // namespace orvanta
