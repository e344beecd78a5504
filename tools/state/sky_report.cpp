#include "tools/state/sky_report.h"

#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/mars_disk.h"
#include "ephemeris/moon.h"
#include "ephemeris/night.h"
#include "ephemeris/stars.h"

#include <cmath>

namespace orvanta {

namespace {

std::string fixed(double value, int decimals) {
    char text[64];
    formatFixed(text, sizeof text, value, decimals);
    return text;
}

std::string twoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

// "2027-02-19T16:42Z", or with seconds.
std::string utcText(const UtcClockReading& r, bool seconds) {
    return twoDigits(r.year / 100) + twoDigits(r.year % 100) + '-' + twoDigits(r.month) + '-' +
           twoDigits(r.day) + 'T' + twoDigits(r.hour) + ':' + twoDigits(r.minute) +
           (seconds ? ':' + twoDigits(r.second) : std::string()) + 'Z';
}

} // namespace

void appendSkyReport(std::string& out, const UtcClockReading& at, const Place& place) {
    const double now = julianDateValue(julianDateOfReading(at));
    const Horizontal mars = horizontalOf(apparentMars(now), now, place);
    const Horizontal sun = horizontalOf(apparentSun(now), now, place);
    out += "place " + fixed(place.latitude, 4) + ' ' + fixed(place.longitude, 4) + ' ' +
           fixed(place.height, 0) + '\n';
    out += "mars " + utcText(at, true) + " altitude " + fixed(refracted(mars.altitude), 2) +
           " azimuth " + fixed(mars.azimuth, 2) + " constellation " + marsConstellation(now) + '\n';
    out += "sun altitude " + fixed(refracted(sun.altitude), 2) + '\n';
    const Tonight night = marsTonight(now, place);
    // To the nearest minute.
    const auto minute = [](double utJd) {
        return utcText(calendarOfJulianDate(utJd + 30.0 / 86400), false);
    };
    const auto event = [&](const char* name, const std::optional<SkyEvent>& e, const char* what) {
        out += name;
        out += e ? ' ' + minute(e->utJd) + ' ' + what + ' ' + fixed(e->degrees, 1) : " none";
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
    const Equatorial marsPlace = apparentMars(now);
    const NearStar near = nearestNamedStar(marsPlace, apparentStars(now));
    out += "near " + near.star->name + ' ' + fixed(near.degrees, 2) + ' ' +
           std::string(near.direction) + '\n';
    if (const double moon = moonFrom(marsPlace, now, place); moon <= MOON_NEAR_MARS) {
        out += "moon " + fixed(moon, 1) + '\n';
    }
    const MarsDisk disk = marsDiskAt(now);
    out += "disk diameter " + fixed(disk.diameter, 2) + " phase " + fixed(disk.phase, 3) +
           " tilt " + fixed(disk.tilt, 2) + " cm " + fixed(disk.centralMeridian, 2) + " pole " +
           fixed(disk.poleAngle, 2) + '\n';
}

} // namespace orvanta
