#include "ephemeris/opposition.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/root.h"
#include "ephemeris/sky.h"
#include "ephemeris/time_scales.h"

#include <algorithm>

namespace orvanta {

namespace {

constexpr double SEARCHED_DAYS = 40.0;
constexpr double TOLERANCE_DAYS = 1e-5;
// The stationary points lie 28 to 45 days from the opposition (which lies within ten days of the
// closest approach): the steps from it that bracket each, the first where it is seldom passed.
constexpr double STATIONARY_STEPS_DAYS[] = {25.0, 35.0, 45.0, 60.0};
constexpr double STATIONARY_REACH_DAYS = 75.0; // from the approach: both points, with room
// The points are told to the minute; the root's last steps are the costly ones.
constexpr double STATIONARY_TOLERANCE_DAYS = 1e-4;
// The rate as the longitude's change over ±1.2 hours: its rounding (1e-9 of a degree) scatters
// the rate by 1e-8 degree a day, which moves the root, where the rate changes by 0.015 degree a
// day each day, by less than a second.
constexpr double RATE_STEP_DAYS = 0.05;

// The longitude on the ecliptic of date of a place on the true equator of date.
double eclipticLongitude(const Equatorial& p, double obliquity) {
    return std::atan2(std::sin(p.rightAscension) * std::cos(obliquity) +
                          std::tan(p.declination) * std::sin(obliquity),
                      std::cos(p.rightAscension));
}

double marsLongitude(double utJd) {
    return eclipticLongitude(apparentMars(utJd), nutation(ttOfUt(utJd)).trueObliquity) / DEGREE;
}

// How fast Mars's longitude grows, in degrees a day: negative while it moves west.
double longitudeRate(double utJd) {
    return wrap180(marsLongitude(utJd + RATE_STEP_DAYS) - marsLongitude(utJd - RATE_STEP_DAYS)) /
           (2 * RATE_STEP_DAYS);
}

// How far Mars is past opposition in longitude, in degrees in (-180, 180].
double pastOpposition(double utJd) {
    const double obliquity = nutation(ttOfUt(utJd)).trueObliquity;
    const double apart = (eclipticLongitude(apparentMars(utJd), obliquity) -
                          eclipticLongitude(apparentSun(utJd), obliquity)) /
                             DEGREE -
                         180.0;
    return wrap180(apart);
}

} // namespace

double elongationOfMars(double utJd) {
    const Equatorial mars = apparentMars(utJd);
    const Equatorial sun = apparentSun(utJd);
    return separation(mars, sun);
}

std::optional<double> oppositionNear(double utJd) {
    if (!std::isfinite(utJd)) {
        return std::nullopt;
    }
    // Mars always moves slower than the Sun against the stars, so the difference falls all the
    // time, through 0 at opposition, and jumps from -180 to 180 only at conjunction, more than a
    // year away from it. A fall from above 0 to below it within 80 days is thus an opposition.
    const double from = utJd - SEARCHED_DAYS;
    const double to = utJd + SEARCHED_DAYS;
    const double atFrom = pastOpposition(from);
    const double atTo = pastOpposition(to);
    if (!(atFrom > 0.0 && atTo < 0.0)) {
        return std::nullopt;
    }
    return brentRoot(&pastOpposition, from, to, atFrom, atTo, TOLERANCE_DAYS);
}

namespace {

// The stationary points either side of an opposition, each to a few seconds.
std::vector<StationaryPoint> stationaryPointsAround(std::optional<double> opposition) {
    std::vector<StationaryPoint> found;
    if (!opposition) {
        return found;
    }
    // Mars moves west at opposition; the rate turns positive at the first stationary point
    // before it and the last after it: walked to from the opposition in steps, each side.
    const double atOpposition = longitudeRate(*opposition);
    for (const double side : {-1.0, 1.0}) {
        double near = *opposition, rateNear = atOpposition;
        for (const double days : STATIONARY_STEPS_DAYS) {
            const double far = *opposition + side * days;
            const double rateFar = longitudeRate(far);
            if ((rateNear < 0) != (rateFar < 0)) {
                const double at = brentRoot(&longitudeRate, near, far, rateNear, rateFar,
                                            STATIONARY_TOLERANCE_DAYS);
                found.push_back({at, side < 0, wrap360(marsLongitude(at))});
                break;
            }
            near = far;
            rateNear = rateFar;
        }
    }
    return found; // the one before, then the one after: in time order
}

} // namespace

Apparitions apparitionsBetween(double from, double to) {
    Apparitions found;
    const auto inSpan = [&](double jd) { return jd >= from && jd <= to; };
    for (const ClosestApproach& approach :
         findClosestApproaches(from - STATIONARY_REACH_DAYS,
                               std::min(to + STATIONARY_REACH_DAYS, LAST_SEARCHED_JD))) {
        if (inSpan(approach.julianDate)) {
            found.approaches.push_back(approach);
        }
        const std::optional<double> opposition = oppositionNear(approach.julianDate);
        if (opposition && inSpan(*opposition)) {
            found.oppositions.push_back(*opposition);
        }
        for (const StationaryPoint& point : stationaryPointsAround(opposition)) {
            if (inSpan(point.utJd)) {
                found.stationaryPoints.push_back(point);
            }
        }
    }
    return found;
}

} // namespace orvanta
