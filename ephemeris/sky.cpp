#include "ephemeris/sky.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/sky_track.h"
#include "ephemeris/star_table.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace orvanta {

// The boundaries and names as published, embedded by the build (constellation_tables.cpp).
extern const char* const CONSTELLATION_BOUNDARIES;
extern const char* const CONSTELLATION_NAMES;

namespace {

constexpr double B1875 = 2405889.25855;
// The altitude of the centre of a planet at rise and set: refraction at the horizon, 34′.
constexpr double RISE_ALTITUDE = -34.0 / 60;

// The root of `f` between a and b, where f(a) and f(b) differ in sign, to a tenth of a second.
template <typename F>
double bisect(F f, double a, double b) {
    const bool rising = f(a) < 0;
    while (b - a > 1e-6) {
        const double m = (a + b) / 2;
        (f(m) < 0) == rising ? a = m : b = m;
    }
    return (a + b) / 2;
}

// Both tables were read whole by the build, which stops at a bad row.
const std::vector<ConstellationBand>& bands() {
    static const std::vector<ConstellationBand> table = readBoundaryTable(CONSTELLATION_BOUNDARIES);
    return table;
}

std::string nameOf(const std::string& abbreviation) {
    static const std::vector<ConstellationName> names = readConstellationNames(CONSTELLATION_NAMES);
    const auto named = std::find_if(names.begin(), names.end(), [&](const ConstellationName& n) {
        return n.abbreviation == abbreviation;
    });
    return named != names.end() ? named->name : abbreviation;
}

// Where a place of date is seen from `where` at a Greenwich apparent sidereal time (degrees).
Horizontal seenFrom(const Equatorial& p, double siderealTime, const Place& where) {
    const double hourAngle = (siderealTime + where.longitude) * DEGREE - p.rightAscension;
    const double lat = where.latitude * DEGREE;
    const double sinAlt = std::sin(lat) * std::sin(p.declination) +
                          std::cos(lat) * std::cos(p.declination) * std::cos(hourAngle);
    const double altitude = std::asin(std::clamp(sinAlt, -1.0, 1.0));
    // Measured from the south by the formula; from the north through east as shown.
    const double fromSouth =
        std::atan2(std::sin(hourAngle),
                   std::cos(hourAngle) * std::sin(lat) - std::tan(p.declination) * std::cos(lat));
    // Seen from the surface rather than the centre: lower by the horizontal parallax. A direction
    // without a distance has none.
    const double parallax =
        p.distanceAu > 0 ? std::asin(std::sin(PARALLAX_AT_1_AU) / p.distanceAu) : 0.0;
    return {(altitude - parallax * std::cos(altitude)) / DEGREE, wrap360(fromSouth / DEGREE + 180)};
}

} // namespace

double apparentSiderealTime(double utJd) {
    // Earth turns in UT; the equinox it is counted from moves in TT.
    const Instant at = instantOfUt(utJd);
    const double t = (at.utJd - J2000_JD) / JULIAN_CENTURY_DAYS;
    const double mean = 280.46061837 + 360.98564736629 * (at.utJd - J2000_JD) +
                        0.000387933 * t * t - t * t * t / 38710000;
    const Nutation n = nutation(at.ttJd);
    return wrap360(mean + n.longitude * std::cos(n.trueObliquity) / DEGREE);
}

Horizontal horizontalOf(const Equatorial& p, double utJd, const Place& where) {
    return seenFrom(p, apparentSiderealTime(utJd), where);
}

std::vector<Horizontal> horizontalOf(const std::vector<Equatorial>& places, double utJd,
                                     const Place& where) {
    const double siderealTime = apparentSiderealTime(utJd);
    std::vector<Horizontal> seen;
    seen.reserve(places.size());
    for (const Equatorial& p : places) {
        seen.push_back(seenFrom(p, siderealTime, where));
    }
    return seen;
}

double refracted(double trueAltitude) {
    // Near and just below the horizon the light still bends; well below it there is nothing seen.
    if (trueAltitude < -2.0) {
        return trueAltitude;
    }
    const double arcminutes =
        1.02 / std::tan((trueAltitude + 10.3 / (trueAltitude + 5.11)) * DEGREE);
    return trueAltitude + arcminutes / 60;
}

MarsEvents marsEvents(double from, double to, const Place& where) {
    constexpr double STEP = 5.0 / 1440;
    const SkyTrack track(from, to, Body::Mars);
    const auto height = [&](double t) {
        return horizontalOf(track.at(t), t, where).altitude - RISE_ALTITUDE;
    };
    // The hour angle in (-180, 180]: it passes 0 rising at the upper transit.
    const auto hourAngle = [&](double t) {
        const double h =
            apparentSiderealTime(t) + where.longitude - track.at(t).rightAscension / DEGREE;
        return wrap180(h);
    };
    MarsEvents events;
    bool everDown = false;
    double previousHeight = height(from), previousAngle = hourAngle(from);
    for (double t = from + STEP; t <= to + 1e-9; t += STEP) {
        const double h = height(t);
        const double angle = hourAngle(t);
        events.everUp |= previousHeight > 0 || h > 0;
        everDown |= previousHeight <= 0 || h <= 0;
        if ((previousHeight <= 0) != (h <= 0)) {
            const double at = bisect(height, t - STEP, t);
            (h > 0 ? events.rises : events.sets)
                .push_back(SkyEvent{at, horizontalOf(track.at(at), at, where).azimuth});
        }
        if (previousAngle < 0 && angle >= 0 && angle - previousAngle < 90) {
            const double at = bisect(hourAngle, t - STEP, t);
            events.transits.push_back(
                SkyEvent{at, refracted(horizontalOf(track.at(at), at, where).altitude)});
        }
        previousHeight = h;
        previousAngle = angle;
    }
    events.alwaysUp = !everDown;
    return events;
}

std::vector<SkySample> skySamples(double from, double to, double step, const Place& where) {
    const SkyTrack mars(from, to, Body::Mars);
    const SkyTrack sun(from, to, Body::Sun);
    std::vector<SkySample> samples;
    for (double t = from; t <= to + 1e-9; t += step) {
        samples.push_back(SkySample{t, horizontalOf(mars.at(t), t, where),
                                    horizontalOf(sun.at(t), t, where).altitude});
    }
    return samples;
}

std::string constellationOf(double raJ2000, double decJ2000) {
    const Equatorial b1875 = precessed({raJ2000, decJ2000}, B1875);
    const double ra = wrap360(b1875.rightAscension / DEGREE) / 15;
    const double dec = b1875.declination / DEGREE;
    for (const ConstellationBand& band : bands()) {
        if (dec >= band.decLow && ra >= band.raLow && ra < band.raHigh) {
            return nameOf(band.abbreviation);
        }
    }
    return {};
}

std::string constellationOfDate(const Equatorial& place, double utJd) {
    const Equatorial j2000 = unprecessed(place, ttOfUt(utJd));
    return constellationOf(j2000.rightAscension, j2000.declination);
}

std::string marsConstellation(double utJd) {
    const Equatorial j2000 = equatorialJ2000(geocentric(Body::Mars, ttOfUt(utJd), Aberration::Off));
    return constellationOf(j2000.rightAscension, j2000.declination);
}

} // namespace orvanta
