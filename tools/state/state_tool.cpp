#include "tools/state/state_tool.h"

#include "display/info_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "tools/cli/arguments.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <optional>
#include <string_view>

namespace orvanta {

namespace {

constexpr const char* USAGE =
    "usage: orvanta-state [--utc YYYY-MM-DDTHH:MM:SS]...\n"
    "       orvanta-state --lines [--utc YYYY-MM-DDTHH:MM:SS]\n"
    "       orvanta-state --jd JULIAN_DATE [--factor F]\n"
    "       orvanta-state --approaches FROM TO\n"
    "\n"
    "Prints the encounter state of Earth and Mars as 'name value' lines.\n"
    "\n"
    "  --utc T      the UTC clock reading T instead of the current time; may be repeated,\n"
    "               one block per reading, blocks separated by an empty line\n"
    "  --jd JD      print the heliocentric positions 'earth X Y Z' and 'mars X Y Z' (AU)\n"
    "               at Julian date JD\n"
    "  --factor F   precision factor for --jd (default 1.0): a factor strictly between\n"
    "               0 and 1 keeps only the leading part of every series\n"
    "  --lines      after the state, an empty line and the info pane's texts as shown,\n"
    "               the time lines in the local time zone (TZ)\n"
    "  --target W   what the countdown counts to: 2003 (the default: the closest\n"
    "               approach of 2003) or next (the next closest approach, until a day\n"
    "               after it), as the widget's tray menu chooses\n"
    "  --approaches FROM TO\n"
    "               every closest approach of Earth and Mars between two UTC instants\n"
    "               (at most 1000 years apart, up to 6000-01-01), one a line: the UTC\n"
    "               instant to the second, its Julian date (UT), the distance in au and\n"
    "               in km. The series run on dynamical time (TT); the instants are told\n"
    "               by the clock (UT), TT - UT earlier: leap seconds from 1972, before\n"
    "               that the Delta T of Espenak and Meeus\n"
    "  --help       show this text\n";

// The calendar the tool reads and writes: 0001-01-01T00:00:00 up to 10000-01-01T00:00:00 (UT).
constexpr double FIRST_JULIAN_DATE = 1721425.5;
constexpr double END_JULIAN_DATE = 5373484.5;

struct Request {
    std::vector<UtcClockReading> readings;
    std::optional<double> julianDate;
    std::optional<double> factor;
    bool lines = false;
    std::optional<bool> toNextApproach;
    std::optional<std::pair<UtcClockReading, UtcClockReading>> approaches;
};

double parseNumber(std::string_view option, std::string_view text) {
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        throw BadArgument{std::string(option) + " " + quoteArgument(text) + " is not a number"};
    }
    return value;
}

Request parseArguments(const std::vector<std::string>& args) {
    Request request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) {
                throw BadArgument{option + " needs a value"};
            }
            return args[++i];
        };
        if (option == "--utc") {
            request.readings.push_back(parseUtcArgument(option, value()));
        } else if (option == "--jd") {
            if (request.julianDate) {
                throw BadArgument{"--jd may be given only once"};
            }
            const std::string_view text = value();
            request.julianDate = parseNumber(option, text);
            if (*request.julianDate < FIRST_JULIAN_DATE || *request.julianDate >= END_JULIAN_DATE) {
                throw BadArgument{"--jd " + quoteArgument(text) +
                                  " lies outside the years 0001 to 9999 (Julian dates 1721425.5 to "
                                  "5373484.5)"};
            }
        } else if (option == "--lines") {
            request.lines = true;
        } else if (option == "--target") {
            const std::string_view target = value();
            if (request.toNextApproach || (target != "next" && target != "2003")) {
                throw BadArgument{"--target takes 'next' or '2003', once"};
            }
            request.toNextApproach = target == "next";
        } else if (option == "--approaches") {
            if (request.approaches) {
                throw BadArgument{"--approaches may be given only once"};
            }
            const UtcClockReading from = parseUtcArgument(option, value());
            const UtcClockReading to = parseUtcArgument(option, value());
            const double toJd = julianDateValue(julianDateOfReading(to));
            if (toJd < julianDateValue(julianDateOfReading(from))) {
                throw BadArgument{"--approaches: FROM lies after TO"};
            }
            UtcClockReading limit = from; // the same date and time 1000 years on
            limit.year = static_cast<std::uint16_t>(limit.year + 1000);
            if (toJd > julianDateValue(julianDateOfReading(limit))) {
                throw BadArgument{"--approaches: FROM and TO lie more than 1000 years apart"};
            }
            if (toJd > LAST_SEARCHED_JD) {
                throw BadArgument{"--approaches: closest approaches are found only up to "
                                  "6000-01-01 (4000 years from 2000)"};
            }
            request.approaches.emplace(from, to);
        } else if (option == "--factor") {
            if (request.factor) {
                throw BadArgument{"--factor may be given only once"};
            }
            request.factor = parseNumber(option, value());
        } else {
            throw BadArgument{"unknown option " + quoteArgument(option) + " (see --help)"};
        }
    }
    if (request.julianDate && !request.readings.empty()) {
        throw BadArgument{"--jd and --utc cannot be combined"};
    }
    if (request.factor && !request.julianDate) {
        throw BadArgument{"--factor needs --jd"};
    }
    if (request.lines && request.julianDate) {
        throw BadArgument{"--lines and --jd cannot be combined"};
    }
    if (request.lines && request.readings.size() > 1) {
        throw BadArgument{"--lines takes at most one --utc"};
    }
    if (request.approaches && (request.julianDate || request.lines || request.toNextApproach ||
                               !request.readings.empty())) {
        throw BadArgument{"--approaches goes alone"};
    }
    if (request.toNextApproach && request.julianDate) {
        throw BadArgument{"--target and --jd cannot be combined"};
    }
    return request;
}

// Shortest round-trip text is not wanted here: %.17g, fixed for scripts that compare output, and
// independent of the process locale.
void appendDouble(std::string& out, double value) {
    char text[32];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 17);
    out.append(text, result.ptr);
}

void appendField(std::string& out, const char* name, double value) {
    out += name;
    out += ' ';
    appendDouble(out, value);
    out += '\n';
}

void appendField(std::string& out, const char* name, std::int32_t value) {
    out += name;
    out += ' ';
    out += std::to_string(value);
    out += '\n';
}

// Runs one refresh with the clock held at `reading`, the way the widget would see that second.
void appendState(std::string& out, const UtcClockReading& reading) {
    const FixedUtcClock clock(reading);
    const double now = julianDateValue(currentJulianDate());
    computeEncounterState();

    const EncounterState& s = encounterState;
    appendField(out, "now", now);
    appendField(out, "earth.x", s.earth.x);
    appendField(out, "earth.y", s.earth.y);
    appendField(out, "earth.z", s.earth.z);
    appendField(out, "mars.x", s.mars.x);
    appendField(out, "mars.y", s.mars.y);
    appendField(out, "mars.z", s.mars.z);
    appendField(out, "distanceAu", s.distanceAu);
    appendField(out, "distanceKm", s.distanceKm);
    appendField(out, "distanceMi", s.distanceMi);
    appendField(out, "apparentDiameterArcsec", s.apparentDiameterArcsec);
    appendField(out, "lightMinutes", s.lightMinutes);
    appendField(out, "magnitude", s.magnitude);
    appendField(out, "daysLeft", s.daysLeft);
    appendField(out, "hoursLeft", s.hoursLeft);
    appendField(out, "minutesLeft", s.minutesLeft);
}

// The fifteen texts of the info pane in drawing order: each box's title as shown, then its lines.
void appendInfoLines(std::string& out, const UtcClockReading& reading) {
    const InfoText text = buildInfoText(encounterState, calendarTimeOf(reading));
    const InfoLine* line = text.lines;
    for (const InfoBox& box : INFO_BOXES) {
        out += titleAsShown(box.title);
        out += '\n';
        for (int i = 0; i < box.lineCount; ++i, ++line) {
            out += line->view();
            out += '\n';
        }
    }
}

void appendPosition(std::string& out, const char* name, const Vec3& p) {
    out += name;
    for (double v : {p.x, p.y, p.z}) {
        out += ' ';
        appendDouble(out, v);
    }
    out += '\n';
}

// The evaluator takes a single-precision factor; out-of-range doubles saturate to infinity (which
// means full precision) instead of converting with undefined behaviour.
float toFactor(double value) {
    constexpr double MAX = std::numeric_limits<float>::max();
    if (value > MAX) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -MAX) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// "2003-08-27T09:51:14"
std::string isoInstant(const UtcClockReading& at) {
    return twoDigits(at.year / 100) + twoDigits(at.year % 100) + '-' + twoDigits(at.month) + '-' +
           twoDigits(at.day) + 'T' + twoDigits(at.hour) + ':' + twoDigits(at.minute) + ':' +
           twoDigits(at.second);
}

// "2003-08-27T09:51:14 2452878.910574 0.372719259 55758007"
void appendApproach(std::string& out, const ClosestApproach& approach) {
    out += isoInstant(calendarOfJulianDate(approach.julianDate));
    char number[64];
    for (const auto& [value, decimals] :
         {std::pair{approach.julianDate, 6}, std::pair{approach.distanceAu, 9},
          std::pair{approach.distanceAu * KM_PER_AU, 0}}) {
        formatFixed(number, sizeof number, value, decimals);
        out += ' ';
        out += number;
    }
    out += '\n';
}

} // namespace

int runStateTool(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out = USAGE;
            return 0;
        }
    }
    Request request;
    try {
        request = parseArguments(args);
    } catch (const BadArgument& bad) {
        err = "orvanta-state: " + bad.message + "\n";
        return 2;
    }

    if (request.approaches) {
        for (const ClosestApproach& approach : findClosestApproaches(
                 julianDateValue(julianDateOfReading(request.approaches->first)),
                 julianDateValue(julianDateOfReading(request.approaches->second)))) {
            appendApproach(out, approach);
        }
        return 0;
    }

    if (request.julianDate) {
        const float factor = toFactor(request.factor.value_or(1.0));
        Vec3 earth{}, mars{};
        evaluateEarth(*request.julianDate, earth, factor);
        evaluateMars(*request.julianDate, mars, factor);
        appendPosition(out, "earth", earth);
        appendPosition(out, "mars", mars);
        return 0;
    }

    if (request.readings.empty()) {
        // One reading for the whole report, so `now` and the state describe the same second.
        request.readings.push_back(systemUtcClock());
        if (request.readings.front().year > 9999) {
            err = "orvanta-state: the system clock reads beyond the year 9999; give --utc\n";
            return 2;
        }
    }
    // As the widget counts; the process-wide choice is put back for whoever calls next.
    const bool countedToNext = countdownToNextApproach();
    setCountdownToNextApproach(request.toNextApproach.value_or(false));
    for (std::size_t i = 0; i < request.readings.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        appendState(out, request.readings[i]);
        if (nextApproachUnknown()) {
            setCountdownToNextApproach(countedToNext);
            out.clear();
            err = "orvanta-state: --target next: no closest approach is known after " +
                  isoInstant(request.readings[i]) + " (they are found up to 6000-01-01)\n";
            return 2;
        }
    }
    if (request.lines) {
        out += '\n';
        appendInfoLines(out, request.readings.front());
    }
    setCountdownToNextApproach(countedToNext);
    return 0;
}

} // namespace orvanta
