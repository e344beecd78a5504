#include "tools/state/state_tool.h"

#include "display/info_text.h"
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

namespace {

constexpr const char* USAGE =
    "usage: orvanta-state [--utc YYYY-MM-DDTHH:MM:SS]...\n"
    "       orvanta-state --lines [--utc YYYY-MM-DDTHH:MM:SS]\n"
    "       orvanta-state --jd JULIAN_DATE [--factor F]\n"
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
    "  --help       show this text\n";

// The calendar the tool reads and writes: 0001-01-01T00:00:00 up to 10000-01-01T00:00:00 (UT).
constexpr double FIRST_JULIAN_DATE = 1721425.5;
constexpr double END_JULIAN_DATE = 5373484.5;

struct Request {
    std::vector<UtcClockReading> readings;
    std::optional<double> julianDate;
    std::optional<double> factor;
    bool lines = false;
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
    }
    for (std::size_t i = 0; i < request.readings.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        appendState(out, request.readings[i]);
    }
    if (request.lines) {
        out += '\n';
        appendInfoLines(out, request.readings.front());
    }
    return 0;
}
