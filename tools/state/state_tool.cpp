#include "tools/state/state_tool.h"

#include "display/info_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/opposition.h"
#include "ephemeris/place.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/utc_clock.h"
#include "tools/cli/arguments.h"
#include "tools/state/sky_report.h"

#include <algorithm>
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
    "       orvanta-state --ics FROM TO > approaches.ics\n"
    "       orvanta-state --sky [--utc T] [--place LAT,LON[,HEIGHT]]\n"
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
    "               approach of 2003), next (the next closest approach, until a day\n"
    "               after it), or a year such as 2035 (its closest approach, found from\n"
    "               the series), as the widget's tray menu and Approaches window choose\n"
    "  --approaches FROM TO\n"
    "               every closest approach of Earth and Mars and every opposition of\n"
    "               Mars between two UTC instants (at most 1000 years apart, up to\n"
    "               6000-01-01), in time order, one a line, the fields separated by one\n"
    "               space. A closest approach: the UTC instant to the second, its Julian\n"
    "               date (UT), the distance in au and in km, the apparent diameter of\n"
    "               Mars in arcseconds, its magnitude, and its elongation (the angle\n"
    "               between Mars and the Sun seen from Earth) in degrees:\n"
    "    2003-08-27T09:51:14 2452878.910574 0.372719259 55758007 25.11 -2.88 173.2\n"
    "               An opposition, when Mars and the Sun are 180 degrees apart in\n"
    "               geocentric apparent ecliptic longitude of date (up to about ten days\n"
    "               from the closest approach): the word opposition and the UTC instant\n"
    "               to the minute:\n"
    "    opposition 2003-08-28T17:59\n"
    "               The series run on dynamical time (TT); the instants are told by the\n"
    "               clock (UT), TT - UT earlier: leap seconds from 1972, before that the\n"
    "               Delta T of Espenak and Meeus\n"
    "  --ics FROM TO\n"
    "               the same approaches as an iCalendar file (RFC 5545): one event at\n"
    "               each instant, with the distance, the apparent diameter and the\n"
    "               magnitude. Calendar programs import it (File > Import, or open the\n"
    "               file); an event keeps its UID from run to run, so importing a new\n"
    "               file updates the events already there instead of doubling them\n"
    "  --sky        Mars in the sky of a place: its refracted altitude and azimuth\n"
    "               (degrees, from north through east) and constellation at T, the\n"
    "               Sun's altitude; tonight's rise, transit and set (UTC), of the pass\n"
    "               Mars is on at T or else of the next ('none' where it neither rises\n"
    "               nor sets within two days: then the next transit alone), and the\n"
    "               first stretch of that pass with a dark sky (the Sun below -12) and\n"
    "               Mars above 10 ('best FROM TO', to ten minutes, or 'best none'); the\n"
    "               named star nearest to Mars ('near NAME DEGREES DIRECTION': the name\n"
    "               may have a space, the direction is one of the eight compass words,\n"
    "               from the star to Mars, north towards the celestial pole and east\n"
    "               towards increasing right ascension); the degrees between the Moon\n"
    "               and Mars seen from the place when they are within 10 ('moon'); and\n"
    "               Mars's disk at T: 'disk diameter D phase K tilt B cm L pole P',\n"
    "               the apparent diameter (arcseconds), the illuminated fraction, the\n"
    "               latitude of the point facing Earth (degrees, north positive), the\n"
    "               central meridian (degrees west longitude, light time included) and\n"
    "               the position angle of the north pole (degrees from north through\n"
    "               east); the orientation of Mars is the IAU 2015 model\n"
    "  --place P    LAT,LON[,HEIGHT] in degrees north and east and metres; without it,\n"
    "               the city of the time zone (TZ, or /etc/localtime) in the tz database\n"
    "  --help       show this text\n";

// The calendar the tool reads and writes: 0001-01-01T00:00:00 up to 10000-01-01T00:00:00 (UT).
constexpr double FIRST_JULIAN_DATE = 1721425.5;
constexpr double END_JULIAN_DATE = 5373484.5;

double parseNumber(std::string_view option, std::string_view text) {
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
        throw BadArgument{std::string(option) + " " + quoteArgument(text) + " is not a number"};
    }
    return value;
}

// "2003", "next", or a year from 1 to 5999 whose closest approach is counted to.
CountdownChoice parseTarget(std::string_view text) {
    if (text == "2003") {
        return {};
    }
    if (text == "next") {
        return {CountdownTarget::Next};
    }
    int year = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, year);
    if (text.size() != 4 || error != std::errc() || stop != end || year < 1 || year > 5999) {
        throw BadArgument{"--target " + quoteArgument(text) +
                          " is not 2003, next or a year of four digits, 0001 to 5999"};
    }
    const std::vector<ClosestApproach> in =
        findClosestApproaches(julianDateValue(julianDateFromCalendar(year, 1, 1, 0.0)),
                              julianDateValue(julianDateFromCalendar(year + 1, 1, 1, 0.0)));
    if (in.empty()) {
        throw BadArgument{"--target " + quoteArgument(text) +
                          ": Mars comes closest to Earth in no day of that year"};
    }
    return {CountdownTarget::Chosen, in.front().julianDate};
}

} // namespace

StateRequest parseStateArguments(const std::vector<std::string>& args) {
    StateRequest request;
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
            if (request.target) {
                throw BadArgument{"--target may be given only once"};
            }
            request.target = parseTarget(value());
        } else if (option == "--approaches" || option == "--ics") {
            if (request.approaches) {
                throw BadArgument{"--approaches or --ics may be given only once"};
            }
            request.calendar = option == "--ics";
            const UtcClockReading from = parseUtcArgument(option, value());
            const UtcClockReading to = parseUtcArgument(option, value());
            const double toJd = julianDateValue(julianDateOfReading(to));
            if (toJd <= julianDateValue(julianDateOfReading(from))) {
                throw BadArgument{option + ": FROM must lie before TO"};
            }
            UtcClockReading limit = from; // the same date and time 1000 years on
            limit.year = static_cast<std::uint16_t>(limit.year + 1000);
            if (toJd > julianDateValue(julianDateOfReading(limit))) {
                throw BadArgument{option + ": FROM and TO lie more than 1000 years apart"};
            }
            if (toJd > julianDateValue(julianDateFromCalendar(6000, 1, 1, 0.0))) {
                throw BadArgument{option + ": closest approaches are found only up to 6000-01-01 "
                                           "(4000 years from 2000)"};
            }
            request.approaches.emplace(from, to);
        } else if (option == "--sky") {
            request.sky = true;
        } else if (option == "--place") {
            if (request.place) {
                throw BadArgument{"--place may be given only once"};
            }
            const std::string_view text = value();
            std::string why;
            request.place = parsePlace(text, why);
            if (!request.place) {
                throw BadArgument{"--place " + quoteArgument(text) + " " + why};
            }
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
    if (request.place && !request.sky) {
        throw BadArgument{"--place needs --sky"};
    }
    if (request.sky && (request.julianDate || request.lines || request.target ||
                        request.approaches || request.readings.size() > 1)) {
        throw BadArgument{"--sky goes with one --utc and --place only"};
    }
    if (request.approaches &&
        (request.julianDate || request.lines || request.target || !request.readings.empty())) {
        throw BadArgument{"--approaches and --ics go alone"};
    }
    if (request.target && request.julianDate) {
        throw BadArgument{"--target and --jd cannot be combined"};
    }
    return request;
}

namespace {

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
    for (int b = 0; b < INFO_BOX_COUNT; ++b) {
        const InfoBox& box = INFO_BOXES[b];
        out += titleAsShown(infoBoxTitle(b));
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

// "2003-08-27T09:51:14 2452878.910574 0.372719259 55758007 25.11 -2.88 173.2"
void appendApproach(std::string& out, const ClosestApproach& approach) {
    out += isoInstant(calendarOfJulianDate(approach.julianDate));
    const EncounterState at = encounterAt(ttOfUt(approach.julianDate));
    char number[64];
    for (const auto& [value, decimals] :
         {std::pair{approach.julianDate, 6}, std::pair{approach.distanceAu, 9},
          std::pair{approach.distanceAu * KM_PER_AU, 0}, std::pair{at.apparentDiameterArcsec, 2},
          std::pair{at.magnitude, 2}, std::pair{elongationOfMars(approach.julianDate), 1}}) {
        formatFixed(number, sizeof number, value, decimals);
        out += ' ';
        out += number;
    }
    out += '\n';
}

// The closest approaches in [from, to] and the oppositions of their apparitions that lie in it
// too, in time order; an opposition whose approach lies just outside the span is found from it.
void appendApproachesAndOppositions(std::string& out, double from, double to) {
    constexpr double OPPOSITION_REACH_DAYS = 40.0;
    std::vector<std::pair<double, std::string>> lines;
    for (const ClosestApproach& approach :
         findClosestApproaches(from - OPPOSITION_REACH_DAYS,
                               std::min(to + OPPOSITION_REACH_DAYS, LAST_SEARCHED_JD))) {
        if (approach.julianDate >= from && approach.julianDate <= to) {
            std::string line;
            appendApproach(line, approach);
            lines.emplace_back(approach.julianDate, line);
        }
        const std::optional<double> opposition = oppositionNear(approach.julianDate);
        if (opposition && *opposition >= from && *opposition <= to) {
            // "2003-08-28T17:59", to the nearest minute
            std::string instant = isoInstant(calendarOfJulianDate(*opposition + 30.0 / 86400));
            instant.resize(instant.size() - 3);
            lines.emplace_back(*opposition, "opposition " + instant + '\n');
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& line : lines) {
        out += line.second;
    }
}

} // namespace

// A content line of an iCalendar file: folded at 75 octets, each piece after the first on a line
// that begins with a space, every line ended by CRLF.
void appendContentLine(std::string& out, std::string_view line) {
    constexpr std::size_t LIMIT = 75;
    std::size_t width = LIMIT;
    while (line.size() > width) {
        out.append(line.substr(0, width)).append("\r\n ");
        line.remove_prefix(width);
        width = LIMIT - 1;
    }
    out.append(line).append("\r\n");
}

std::string fixed(double value, int decimals) {
    char number[64];
    formatFixed(number, sizeof number, value, decimals);
    return number;
}

// The approaches as calendar events: one VEVENT each, its UID made from its instant alone, so
// that the same approach keeps its UID from run to run and a calendar updates it in place.
// "20030827T095114Z"
std::string calendarInstant(const UtcClockReading& at) {
    std::string stamp = isoInstant(at);
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    return stamp + 'Z';
}

void appendCalendar(std::string& out, const std::vector<ClosestApproach>& approaches,
                    const UtcClockReading& madeAt) {
    appendContentLine(out, "BEGIN:VCALENDAR");
    appendContentLine(out, "VERSION:2.0");
    appendContentLine(out, "PRODID:-//Orvanta//Closest approaches of Mars//EN");
    appendContentLine(out, "CALSCALE:GREGORIAN");
    for (const ClosestApproach& approach : approaches) {
        const std::string stamp = calendarInstant(calendarOfJulianDate(approach.julianDate));
        const EncounterState at = encounterAt(ttOfUt(approach.julianDate));
        // Commas and semicolons are escaped in text values.
        std::string kmEscaped;
        for (const char c : formatWholeThousands(approach.distanceAu * KM_PER_AU)) {
            kmEscaped += c == ',' ? std::string("\\,") : std::string(1, c);
        }
        appendContentLine(out, "BEGIN:VEVENT");
        appendContentLine(out, "UID:" + stamp + "-mars-closest-approach@orvanta");
        appendContentLine(out, "DTSTAMP:" + calendarInstant(madeAt));
        appendContentLine(out, "DTSTART:" + stamp);
        appendContentLine(out, "SUMMARY:Mars closest to Earth: " + kmEscaped + " km");
        appendContentLine(out, "DESCRIPTION:Mars comes closest to Earth\\, " + kmEscaped + " km (" +
                                   fixed(approach.distanceAu, 6) +
                                   " au) away. Its apparent "
                                   "diameter is " +
                                   fixed(at.apparentDiameterArcsec, 2) +
                                   " arcseconds\\, its magnitude " + fixed(at.magnitude, 2) + ".");
        appendContentLine(out, "END:VEVENT");
    }
    appendContentLine(out, "END:VCALENDAR");
}

int runStateTool(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out = USAGE;
            return 0;
        }
    }
    StateRequest request;
    try {
        request = parseStateArguments(args);
    } catch (const BadArgument& bad) {
        err = "orvanta-state: " + bad.message + "\n";
        return 2;
    }

    if (request.sky) {
        const std::optional<Place> place =
            request.place ? request.place : placeOfZone(timeZoneName());
        if (!place) {
            err = "orvanta-state: --sky: no place known from the time zone; give --place LAT,LON\n";
            return 2;
        }
        const UtcClockReading at =
            request.readings.empty() ? systemUtcClock() : request.readings.front();
        if (at.year > 9999) {
            err = "orvanta-state: the system clock reads beyond the year 9999; give --utc\n";
            return 2;
        }
        appendSkyReport(out, at, *place);
        return 0;
    }

    if (request.approaches) {
        const double from = julianDateValue(julianDateOfReading(request.approaches->first));
        const double to = julianDateValue(julianDateOfReading(request.approaches->second));
        if (!request.calendar) {
            appendApproachesAndOppositions(out, from, to);
            return 0;
        }
        // A calendar must hold at least one event.
        const std::vector<ClosestApproach> approaches = findClosestApproaches(from, to);
        if (approaches.empty()) {
            err = "orvanta-state: --ics: no closest approach between FROM and TO\n";
            return 2;
        }
        appendCalendar(out, approaches, systemUtcClock());
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
    const CountdownChoice counted = countdownChoice();
    setCountdownChoice(request.target.value_or(CountdownChoice{}));
    for (std::size_t i = 0; i < request.readings.size(); ++i) {
        if (i > 0) {
            out += '\n';
        }
        appendState(out, request.readings[i]);
        if (nextApproachUnknown()) {
            setCountdownChoice(counted);
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
    setCountdownChoice(counted);
    return 0;
}

} // namespace orvanta
