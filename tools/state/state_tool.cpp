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
    const std::optional<Place> place =
        placeAsked(request, request.faces ? "--faces" : "--sky", err);
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
            out = STATE_USAGE;
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
