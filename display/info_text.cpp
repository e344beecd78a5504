#include "display/info_text.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"

#include <cstdio>

namespace orvanta {

InfoText buildInfoText(const EncounterState& state, std::time_t now) {
    InfoText text;
    InfoLine* line = text.lines;
    line++->append(formatLocalTime(now, DATE_FORMAT).text);
    line++->append(formatLocalTime(now, CLOCK_FORMAT).text);
    // formatThousands keeps one buffer a thread: each result is copied before the next call.
    line++->append(formatThousands(state.distanceMi)).append(" mi.");
    line++->append(formatThousands(state.distanceKm)).append(" km.");
    line++->appendFixed(state.distanceAu, 6).append(" au.");
    line++->appendFixed(state.lightMinutes, 3).append(" Light Minutes");
    line++->appendFixed(state.apparentDiameterArcsec, 2).append(" arcseconds");
    line++->append("Magnitude: ").appendFixed(state.magnitude, 2);
    line++->appendInt(state.daysLeft).append(" Days");
    line++->appendInt(state.hoursLeft).append(" Hours");
    line++->appendInt(state.minutesLeft).append(" Minutes");
    return text;
}

std::string infoBoxTitle(int box) {
    std::string title = INFO_BOXES[box].title;
    const std::optional<ClosestApproach> counted = countedApproach();
    if (box == INFO_BOX_COUNT - 1 && counted) {
        const UtcClockReading day = calendarOfJulianDate(counted->julianDate);
        char date[40];
        std::snprintf(date, sizeof date, " %04d", int{day.year});
        title += date;
    }
    return title;
}

std::string titleAsShown(std::string_view title) {
    std::string shown;
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title[i] == '&' && i + 1 < title.size()) {
            ++i; // "&&" keeps one "&"; "&x" keeps the x
        }
        shown += title[i];
    }
    return shown;
}

} // namespace orvanta
