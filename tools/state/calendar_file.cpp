#include "tools/state/calendar_file.h"

#include "display/number_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <string_view>

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

// "20030827T095114Z"
std::string calendarInstant(const UtcClockReading& at) {
    std::string stamp = isoText(at);
    std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
    return stamp + 'Z';
}

} // namespace

// One VEVENT each, its UID made from its instant alone.
void appendCalendar(std::string& out, const std::vector<ClosestApproach>& approaches,
                    const UtcClockReading& madeAt) {
    appendContentLine(out, "BEGIN:VCALENDAR");
    appendContentLine(out, "VERSION:2.0");
    appendContentLine(out, "PRODID:-//Orvanta//Closest approaches of Mars//EN");
    appendContentLine(out, "CALSCALE:GREGORIAN");
    for (const ClosestApproach& approach : approaches) {
        const std::string stamp = calendarInstant(calendarOfJulianDate(approach.julianDate));
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
                                   formatFixed(approach.distanceAu, 6) +
                                   " au) away. Its apparent "
                                   "diameter is " +
                                   formatFixed(approach.apparentDiameterArcsec, 2) +
                                   " arcseconds\\, its magnitude " +
                                   formatFixed(approach.magnitude, 2) + ".");
        appendContentLine(out, "END:VEVENT");
    }
    appendContentLine(out, "END:VCALENDAR");
}

} // namespace orvanta
