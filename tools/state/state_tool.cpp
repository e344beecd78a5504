#include "tools/state/state_tool.h"

#include "display/calendar_file.h"
#include "display/info_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/constants.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/opposition.h"
#include "ephemeris/place.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/utc_clock.h"
#include "tools/cli/arguments.h"
#include "tools/state/nights_report.h"
#include "tools/state/sky_report.h"
#include "towns/towns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <future>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

namespace orvanta {

namespace {

constexpr const char* USAGE =
    "usage: orvanta-state [--utc YYYY-MM-DDTHH:MM:SS]...\n"
    "       orvanta-state --lines [--utc YYYY-MM-DDTHH:MM:SS]\n"
    "       orvanta-state --jd JULIAN_DATE [--factor F]\n"
    "       orvanta-state --approaches FROM TO\n"
    "       orvanta-state --ics FROM TO [--with-oppositions] > approaches.ics\n"
    "       orvanta-state --sky [--utc T] [--place P]\n"
    "       orvanta-state --nights FROM TO [--place P]\n"
    "       orvanta-state --faces [--utc T] [--place P]\n"
    "\n"
    "Prints the encounter state of Earth and Mars as 'name value' lines.\n"
    "\n"
    "  --utc T      the UTC clock reading T instead of the current time, in the years 0100\n"
    "               to 9999 (proleptic Gregorian); may be repeated, one block per reading,\n"
    "               blocks separated by an empty line\n"
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
    "               A stationary point, when Mars's geocentric apparent ecliptic\n"
    "               longitude of date stops changing (about a month either side of the\n"
    "               opposition): the word stationary, the UTC instant to the minute,\n"
    "               retrograde (its westward motion among the stars begins) or direct\n"
    "               (it ends), and Mars's longitude then in degrees:\n"
    "    stationary 2003-07-29T07:36 retrograde 340.13\n"
    "               The series run on dynamical time (TT); the instants are told by the\n"
    "               clock (UT), TT - UT earlier: leap seconds from 1972, before that the\n"
    "               Delta T of Espenak and Meeus\n"
    "  --ics FROM TO\n"
    "               the same approaches as an iCalendar file (RFC 5545): one event at\n"
    "               each instant, with the distance, the apparent diameter and the\n"
    "               magnitude. Calendar programs import it (File > Import, or open the\n"
    "               file); an event keeps its UID from run to run, so importing a new\n"
    "               file updates the events already there instead of doubling them\n"
    "  --with-oppositions\n"
    "               with --ics: the oppositions and stationary points of Mars in the span\n"
    "               as events of their own too, at the minute --approaches tells\n"
    "  --sky        Mars in the sky of a place: its refracted altitude and azimuth\n"
    "               (degrees, from north through east) and constellation at T, the\n"
    "               Sun's altitude; tonight's rise, transit and set (UTC), of the pass\n"
    "               Mars is on at T or else of the next ('none' where it neither rises\n"
    "               nor sets within two days: then the next transit alone), and the\n"
    "               first stretch of that pass with a dark sky (the Sun below -12) and\n"
    "               Mars above 10 ('best FROM TO', to ten minutes, or 'best none'); the\n"
    "               star the window names, the nearest to Mars of those to magnitude\n"
    "               4.5 within 10, else the brightest within 20 ('near NAME DEGREES\n"
    "               DIRECTION': the IAU name, else the Bayer letter or Flamsteed number\n"
    "               and the constellation, 'η Leo', 'HR 3803'; the name may have a\n"
    "               space, the direction is one of the eight compass words,\n"
    "               from the star to Mars, north towards the celestial pole and east\n"
    "               towards increasing right ascension); the degrees between the Moon\n"
    "               and Mars seen from the place when they are within 10, and the lit\n"
    "               share of the Moon, 0 to 1 ('moon DEGREES phase FRACTION'); and\n"
    "               Mars's disk at T: 'disk diameter D phase K tilt B cm L pole P',\n"
    "               the apparent diameter (arcseconds), the illuminated fraction, the\n"
    "               latitude of the point facing Earth (degrees, north positive), the\n"
    "               central meridian (degrees west longitude, light time included) and\n"
    "               the position angle of the north pole (degrees from north through\n"
    "               east); the orientation of Mars is the IAU 2015 model\n"
    "  --nights FROM TO\n"
    "               the nights from one UTC instant to another (at most 1000 days) from a\n"
    "               place, one a line: the evening's date, Mars's apparent diameter\n"
    "               (arcseconds), its highest true altitude in a dark sky and then (UTC,\n"
    "               'none none' where the sky is never dark), the hours it stands above 10\n"
    "               in a dark sky, and the Moon's lit share and its degrees from Mars then:\n"
    "    2027-02-19 13.8 52.9 2027-02-19T23:25Z 11.3 0.99 14.1\n"
    "  --faces      the faces of Mars through the night of T (the pass --sky tells):\n"
    "               each instant a named feature crosses the central meridian while Mars\n"
    "               is above the horizon, in time order, 'face NAME INSTANT altitude A'\n"
    "               (the name may have a space; the instant in UTC to the minute; A the\n"
    "               refracted altitude of Mars in degrees):\n"
    "    face Syrtis Major 2003-08-27T21:18Z altitude 19.6\n"
    "  --place P    LAT,LON[,HEIGHT] in degrees north and east and metres (52.52,13.40,\n"
    "               52.52 13.40, 52°31'N 13°24'E), or a town by its name in English or in\n"
    "               a language of its country, accents optional (Reykjavík, München,\n"
    "               \"Sydney, Canada\"): libgeonames' towns and the tz database's zone\n"
    "               cities (Singapore, McMurdo); without it, the town of the time zone\n"
    "               (TZ, or /etc/localtime), by any of the zone's names (Europe/Kiev and\n"
    "               Europe/Kyiv are Kyiv's)\n"
    "  --help       show this text\n";

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

// "2003-08-27T09:51:14 2452878.910574 0.372719259 55758007 25.11 -2.88 173.2"
void appendApproach(std::string& out, const ClosestApproach& approach) {
    out += isoText(calendarOfJulianDate(approach.julianDate));
    char number[64];
    for (const auto& [value, decimals] :
         {std::pair{approach.julianDate, 6}, std::pair{approach.distanceAu, 9},
          std::pair{approach.distanceAu * KM_PER_AU, 0},
          std::pair{approach.apparentDiameterArcsec, 2}, std::pair{approach.magnitude, 2},
          std::pair{elongationOfMars(approach.julianDate), 1}}) {
        formatFixed(number, sizeof number, value, decimals);
        out += ' ';
        out += number;
    }
    out += '\n';
}

using Lines = std::vector<std::pair<double, std::string>>;

// The lines of the closest approaches in [from, to] and of the oppositions and stationary points
// of their apparitions that lie in it too, each with its instant.
Lines apparitionLines(double from, double to) {
    const Apparitions found = apparitionsBetween(from, to);
    Lines lines;
    for (const ClosestApproach& approach : found.approaches) {
        std::string line;
        appendApproach(line, approach);
        lines.emplace_back(approach.julianDate, line);
    }
    for (const double opposition : found.oppositions) {
        lines.emplace_back(opposition,
                           "opposition " + isoText(nearestMinute(opposition), false) + '\n');
    }
    for (const StationaryPoint& point : found.stationaryPoints) {
        lines.emplace_back(point.utJd, "stationary " + isoText(nearestMinute(point.utJd), false) +
                                           (point.retrograde ? " retrograde " : " direct ") +
                                           formatFixed(point.longitude, 2) + '\n');
    }
    return lines;
}

// Each apparition is found on its own, the same whatever span holds it, so a long span is cut
// into pieces found side by side: a piece begins where the one before ends, and ends just before
// the next begins, so that no instant lies in two. Four pieces for each processor, so that a
// processor another program holds for a while leaves its share to the others. Pieces shorter than
// fifty years would spend more on their ends than they save.
void appendApproachesAndOppositions(std::string& out, double from, double to) {
    constexpr double LEAST_PIECE_DAYS = 50 * JULIAN_YEAR_DAYS;
    constexpr int PIECES_PER_PROCESSOR = 4;
    const auto processors = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int pieces = std::clamp(static_cast<int>((to - from) / LEAST_PIECE_DAYS), 1,
                                  PIECES_PER_PROCESSOR * processors);
    std::vector<std::future<Lines>> found;
    for (int i = 0; i < pieces; ++i) {
        const double lo = from + (to - from) * i / pieces;
        const double hi =
            i + 1 == pieces ? to : std::nextafter(from + (to - from) * (i + 1) / pieces, from);
        found.push_back(std::async(std::launch::async, apparitionLines, lo, hi));
    }
    Lines lines;
    for (std::future<Lines>& piece : found) {
        Lines more = piece.get();
        lines.insert(lines.end(), std::make_move_iterator(more.begin()),
                     std::make_move_iterator(more.end()));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& line : lines) {
        out += line.second;
    }
}

} // namespace

namespace {

// Mars in the sky of the place asked for, or of the time zone's.
// The system clock as the tool takes it: within the years every instant is taken in, or refused
// with `err` said.
bool clockTaken(const UtcClockReading& at, std::string& err) {
    if (at.year >= FIRST_YEAR && at.year <= LAST_YEAR) {
        return true;
    }
    err =
        "orvanta-state: the system clock reads outside the years " + yearsText() + "; give --utc\n";
    return false;
}

// The place asked for, else the town of the time zone; without either, `err` says so.
std::optional<Place> placeAsked(const StateRequest& request, const char* option, std::string& err) {
    const std::optional<Town> town = request.place ? std::nullopt : townOfZone(timeZoneName());
    const std::optional<Place> place = request.place ? request.place
                                       : town        ? std::optional(town->place)
                                                     : std::nullopt;
    if (!place) {
        err = std::string("orvanta-state: ") + option +
              ": no town known for the time zone; give --place\n";
    }
    return place;
}

int runSky(const StateRequest& request, std::string& out, std::string& err) {
    const std::optional<Place> place = placeAsked(request, request.faces ? "--faces" : "--sky", err);
    if (!place) {
        return 2;
    }
    const UtcClockReading at =
        request.readings.empty() ? systemUtcClock() : request.readings.front();
    if (!clockTaken(at, err)) {
        return 2;
    }
    if (request.faces) {
        appendFacesReport(out, at, *place);
    } else {
        appendSkyReport(out, at, *place);
    }
    return 0;
}

int runApproaches(const StateRequest& request, std::string& out, std::string& err) {
    const double from = julianDateValue(julianDateOfReading(request.approaches->first));
    const double to = julianDateValue(julianDateOfReading(request.approaches->second));
    if (!request.calendar) {
        appendApproachesAndOppositions(out, from, to);
        return 0;
    }
    // A calendar must hold at least one event.
    const Apparitions events = calendarEvents(from, to, request.withOppositions);
    if (calendarEventCount(events) == 0) {
        err = request.withOppositions ? "orvanta-state: --ics: no closest approach, opposition or "
                                        "stationary point between FROM and TO\n"
                                      : "orvanta-state: --ics: no closest approach between FROM "
                                        "and TO\n";
        return 2;
    }
    // The clock as read, not the system's: a caller that holds it gets the same file twice.
    appendCalendar(out, events, readUtcClock());
    return 0;
}

void runPositions(const StateRequest& request, std::string& out) {
    const float factor = toFactor(request.factor.value_or(1.0));
    Vec3 earth{}, mars{};
    evaluateEarth(*request.julianDate, earth, factor);
    evaluateMars(*request.julianDate, mars, factor);
    appendPosition(out, "earth", earth);
    appendPosition(out, "mars", mars);
}

// The encounter state at each reading, as the widget would count.
int runStates(StateRequest& request, std::string& out, std::string& err) {
    if (request.readings.empty()) {
        // One reading for the whole report, so `now` and the state describe the same second.
        request.readings.push_back(systemUtcClock());
        if (!clockTaken(request.readings.front(), err)) {
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
                  isoText(request.readings[i]) + " (they are found up to 6000-01-01)\n";
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
    StateRequest request;
    try {
        request = parseStateArguments(args);
    } catch (const BadArgument& bad) {
        err = "orvanta-state: " + bad.message + "\n";
        return 2;
    }

    if (request.sky || request.faces) {
        return runSky(request, out, err);
    }
    if (request.nights) {
        const std::optional<Place> place = placeAsked(request, "--nights", err);
        if (place) {
            appendNightsReport(out, julianDateValue(julianDateOfReading(request.nights->first)),
                               julianDateValue(julianDateOfReading(request.nights->second)),
                               *place);
        }
        return place ? 0 : 2;
    }
    if (request.approaches) {
        return runApproaches(request, out, err);
    }
    if (request.julianDate) {
        runPositions(request, out);
        return 0;
    }
    return runStates(request, out, err);
}

} // namespace orvanta
