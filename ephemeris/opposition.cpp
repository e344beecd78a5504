#include "ephemeris/opposition.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/root.h"
#include "ephemeris/sky.h"
#include "ephemeris/time_scales.h"

namespace orvanta {

namespace {

constexpr double SEARCHED_DAYS = 40.0;
constexpr double TOLERANCE_DAYS = 1e-5;

// The longitude on the ecliptic of date of a place on the true equator of date.
double eclipticLongitude(const Equatorial& p, double obliquity) {
    return std::atan2(std::sin(p.rightAscension) * std::cos(obliquity) +
                          std::tan(p.declination) * std::sin(obliquity),
                      std::cos(p.rightAscension));
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

Apparitions apparitionsBetween(double from, double to) {
    Apparitions found;
    const auto inSpan = [&](double jd) { return jd >= from && jd <= to; };
    for (const ClosestApproach& approach : findClosestApproaches(
             from - SEARCHED_DAYS, std::min(to + SEARCHED_DAYS, LAST_SEARCHED_JD))) {
        if (inSpan(approach.julianDate)) {
            found.approaches.push_back(approach);
        }
        if (const std::optional<double> opposition = oppositionNear(approach.julianDate);
            opposition && inSpan(*opposition)) {
            found.oppositions.push_back(*opposition);
        }
    }
    return found;
}

} // namespace orvanta
