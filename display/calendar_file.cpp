#include "display/calendar_file.h"

#include "display/number_text.h"
#include "ephemeris/constants.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta {

namespace {

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

// A text value: backslashes, commas and semicolons escaped.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == ',' || c == ';') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// "20030827T095114Z"
std::string calendarInstant(const UtcClockReading& at) {
    std::string stamp = isoText(at);
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    return stamp + 'Z';
}

struct Event {
    double utJd;
    std::string start; // its calendar instant, which with its kind makes its UID
    std::string kind;
    std::string summary, description;
};

Event approachEvent(const ClosestApproach& approach) {
    const std::string km = formatWholeThousands(approach.distanceAu * KM_PER_AU);
    return {approach.julianDate, calendarInstant(calendarOfJulianDate(approach.julianDate)),
            "closest-approach", "Mars closest to Earth: " + km + " km",
            "Mars comes closest to Earth, " + km + " km (" + formatFixed(approach.distanceAu, 6) +
                " au) away. Its apparent diameter is " +
                formatFixed(approach.apparentDiameterArcsec, 2) + " arcseconds, its magnitude " +
                formatFixed(approach.magnitude, 2) + "."};
}

// Found to about a second, told to the minute as orvanta-state --approaches tells them: a UID
// made from the minute outlasts a change of the series in the last second.
Event oppositionEvent(double utJd) {
    return {utJd, calendarInstant(nearestMinute(utJd)), "opposition", "Mars at opposition",
            "Mars stands opposite the Sun, 180 degrees from it in ecliptic longitude as seen from "
            "Earth: it rises at sunset and is up all night."};
}

Event stationaryEvent(const StationaryPoint& point) {
    const std::string where = "Mars seems to stand still among the stars, at ecliptic longitude " +
                              formatFixed(point.longitude, 2) + " degrees, ";
    return point.retrograde
               ? Event{point.utJd, calendarInstant(nearestMinute(point.utJd)),
                       "stationary-retrograde", "Mars stationary: its retrograde loop begins",
                       where + "then moves westward (retrograde) until it stands still again."}
               : Event{point.utJd, calendarInstant(nearestMinute(point.utJd)), "stationary-direct",
                       "Mars stationary: its retrograde loop ends",
                       where + "then moves eastward again."};
}

} // namespace

Apparitions calendarEvents(double fromUtJd, double toUtJd, bool withApparitions) {
    return withApparitions ? apparitionsBetween(fromUtJd, toUtJd)
                           : Apparitions{findClosestApproaches(fromUtJd, toUtJd), {}, {}};
}

std::size_t calendarEventCount(const Apparitions& events) {
    return events.approaches.size() + events.oppositions.size() + events.stationaryPoints.size();
}

void appendCalendar(std::string& out, const Apparitions& events, const UtcClockReading& madeAt) {
    std::vector<Event> all;
    for (const ClosestApproach& approach : events.approaches) {
        all.push_back(approachEvent(approach));
    }
    for (const double opposition : events.oppositions) {
        all.push_back(oppositionEvent(opposition));
    }
    for (const StationaryPoint& point : events.stationaryPoints) {
        all.push_back(stationaryEvent(point));
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const Event& a, const Event& b) { return a.utJd < b.utJd; });
    appendContentLine(out, "BEGIN:VCALENDAR");
    appendContentLine(out, "VERSION:2.0");
    appendContentLine(out, "PRODID:-//Orvanta//Closest approaches of Mars//EN");
    appendContentLine(out, "CALSCALE:GREGORIAN");
    for (const Event& event : all) {
        appendContentLine(out, "BEGIN:VEVENT");
        appendContentLine(out, "UID:" + event.start + "-mars-" + event.kind + "@orvanta");
        appendContentLine(out, "DTSTAMP:" + calendarInstant(madeAt));
        appendContentLine(out, "DTSTART:" + event.start);
        appendContentLine(out, "SUMMARY:" + escaped(event.summary));
        appendContentLine(out, "DESCRIPTION:" + escaped(event.description));
        appendContentLine(out, "END:VEVENT");
    }
    appendContentLine(out, "END:VCALENDAR");
}

} // namespace orvanta
