#include "tools/state/sky_report.h"

#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/mars_faces.h"
#include "ephemeris/moon.h"
#include "ephemeris/sky_tonight.h"
#include "ephemeris/star_names.h"

namespace orvanta {

namespace {

// "2027-02-19T16:42Z", or with seconds.
std::string utcText(const UtcClockReading& r, bool seconds) {
    return isoText(r, seconds) + 'Z';
}

} // namespace

void appendSkyReport(std::string& out, const UtcClockReading& at, const Place& place) {
    const double now = julianDateValue(julianDateOfReading(at));
    const SkyTonight sky = skyTonight(now, place);
    out += "place " + formatFixed(place.latitude, 4) + ' ' + formatFixed(place.longitude, 4) + ' ' +
           formatFixed(place.height, 0) + '\n';
    out += "mars " + utcText(at, true) + " altitude " +
           formatFixed(refracted(sky.marsAt.altitude), 2) + " azimuth " +
           formatFixed(sky.marsAt.azimuth, 2) + " constellation " + sky.constellation + '\n';
    out += "sun altitude " + formatFixed(refracted(sky.sunAt.altitude), 2) + '\n';
    const Tonight& night = sky.pass;
    const auto minute = [](double utJd) { return utcText(nearestMinute(utJd), false); };
    const auto event = [&](const char* name, const std::optional<SkyEvent>& e, const char* what) {
        out += name;
        out += e ? ' ' + minute(e->utJd) + ' ' + what + ' ' + formatFixed(e->degrees, 1) : " none";
        out += '\n';
    };
    event("rise", night.rise, "azimuth");
    event("transit",
          night.transit ? std::optional(SkyEvent{night.transit->utJd, night.transit->altitude})
                        : std::nullopt,
          "altitude");
    event("set", night.set, "azimuth");
    out += night.best ? "best " + minute(night.best->from) + ' ' + minute(night.best->to) + '\n'
                      : std::string("best none\n");
    if (night.alwaysUp || night.neverUp) {
        out += night.alwaysUp ? "circumpolar: above the horizon all the time\n"
                              : "below the horizon all the time\n";
    }
    out += sky.near.star
               ? "near " + shortName(*sky.near.star) + ' ' + formatFixed(sky.near.degrees, 2) +
                     ' ' + std::string(sky.near.direction) + '\n'
               : std::string("near none\n");
    if (sky.moon <= MOON_NEAR_MARS) {
        out += "moon " + formatFixed(sky.moon, 1) + " phase " + formatFixed(sky.chart.moonLit, 3) +
               '\n';
    }
    const MarsDisk& disk = sky.disk;
    out += "disk diameter " + formatFixed(disk.diameter, 2) + " phase " +
           formatFixed(disk.phase, 3) + " tilt " + formatFixed(disk.tilt, 2) + " cm " +
           formatFixed(disk.centralMeridian, 2) + " pole " + formatFixed(disk.poleAngle, 2) + '\n';
}

void appendFacesReport(std::string& out, const UtcClockReading& at, const Place& place) {
    const double now = julianDateValue(julianDateOfReading(at));
    for (const FaceCrossing& c : faceCrossings(marsTonight(now, place), place)) {
        out += std::string("face ") + c.feature->name + ' ' +
               utcText(nearestMinute(c.utJd), false) + " altitude " + formatFixed(c.altitude, 1) +
               '\n';
    }
}

} // namespace orvanta
