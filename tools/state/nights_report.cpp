#include "tools/state/nights_report.h"

#include "display/number_text.h"
#include "ephemeris/apparition_nights.h"

namespace orvanta {

void appendNightsReport(std::string& out, double fromUtJd, double toUtJd, const Place& place) {
    for (const ApparitionNight& night : apparitionNights(fromUtJd, toUtJd, place)) {
        out += isoDate(night.evening) + ' ' + formatFixed(night.diameter, 1) + ' ';
        out += night.best ? formatFixed(night.best->altitude, 1) + ' ' +
                                isoText(nearestMinute(night.best->utJd), false) + 'Z'
                          : std::string("none none");
        out += ' ' + formatFixed(night.hoursWellPlaced(), 1) + ' ' + formatFixed(night.moonLit, 2) +
               ' ' + formatFixed(night.moonFromMars, 1) + '\n';
    }
}

} // namespace orvanta
