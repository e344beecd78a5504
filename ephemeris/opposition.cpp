#include "ephemeris/opposition.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/root.h"
#include "ephemeris/sky.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/vsop87.h"

#include <algorithm>
#include <array>
#include <iterator>

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

// Both searches find their root with a tenth of each series' terms first, at a tenth of the
// cost, to a minute and a half, and then take a Newton step with that root's slope and secant
// steps with the full series from there. Over the searched years the two series' roots lie up to
// half an hour apart, and their slopes 2e-4 (the opposition's) and 2.4e-3 (the stationary
// points') of their size: a step misses by no more than that share of its length, so that one
// under thirty tolerances ends the search within a tenth of one, mostly after one evaluation of
// the full series, seldom after two. A quarter of the terms would save few of those for two and
// a half times the cost. Should the steps leave the bracket, or not settle, the full series' own
// bracket decides.
constexpr SeriesPrecision CUT{0.1f};
constexpr SeriesPrecision FULL = ALL_TERMS;
constexpr double CUT_TOLERANCE_DAYS = 1e-3;
constexpr double OPPOSITION_SETTLED_DAYS = 30 * TOLERANCE_DAYS;
constexpr double STATIONARY_SETTLED_DAYS = 30 * STATIONARY_TOLERANCE_DAYS;
constexpr int FULL_CALLS = 3;
// The cut series' secant steps for a stationary point end as its bracket did: the full series'
// Newton step takes the last chord's slope, which a longer last step would leave too far off.
constexpr int CUT_CALLS = 5;
constexpr double CUT_SETTLED_DAYS = CUT_TOLERANCE_DAYS;

// The longitude on the ecliptic of date of a place on the true equator of date.
double eclipticLongitude(const Equatorial& p, double obliquity) {
    return std::atan2(std::sin(p.rightAscension) * std::cos(obliquity) +
                          std::tan(p.declination) * std::sin(obliquity),
                      std::cos(p.rightAscension));
}

// The places the searches compare; with all the terms, from one evaluation of each body.
ApparentPair placesAt(double utJd, SeriesPrecision precision) {
    if (precision.cut()) {
        return apparentMarsAndSun(utJd, precision);
    }
    const Instant at = instantOfUt(utJd);
    const Geocentric g = fullMarsAndSun(at.ttJd);
    return {apparentOfDate(g.mars, at.ttJd), apparentOfDate(g.sun, at.ttJd)};
}

double marsLongitude(double utJd, SeriesPrecision precision) {
    const Equatorial mars =
        precision.cut() ? apparentMars(utJd, precision) : placesAt(utJd, FULL).mars;
    return eclipticLongitude(mars, nutation(ttOfUt(utJd)).trueObliquity) / DEGREE;
}

// How fast Mars's longitude grows, in degrees a day (negative while it moves west), and its
// longitude then, from the two it was taken from.
struct Rate {
    double utJd;
    double perDay;
    double longitude;
};

double longitudeOf(const Vec3& g, double ttJd) {
    return eclipticLongitude(apparentOfDate(g, ttJd), nutation(ttJd).trueObliquity) / DEGREE;
}

Rate rateAt(double utJd, SeriesPrecision precision) {
    double before = 0.0, after = 0.0;
    if (precision.cut()) {
        before = marsLongitude(utJd - RATE_STEP_DAYS, precision);
        after = marsLongitude(utJd + RATE_STEP_DAYS, precision);
    } else {
        const double from = ttOfUt(utJd - RATE_STEP_DAYS), to = ttOfUt(utJd + RATE_STEP_DAYS);
        const std::array<Vec3, 2> mars = fullMarsAround(from, ttOfUt(utJd), to);
        before = longitudeOf(mars[0], from);
        after = longitudeOf(mars[1], to);
    }
    const double change = wrap180(after - before);
    // The longitude is the mean of the two; the curvature's share is the caller's, which knows it.
    return {utJd, change / (2 * RATE_STEP_DAYS), before + change / 2};
}

// How far Mars is past opposition in longitude, in degrees in (-180, 180].
double pastOpposition(double utJd, SeriesPrecision precision) {
    const double obliquity = nutation(ttOfUt(utJd)).trueObliquity;
    const ApparentPair places = placesAt(utJd, precision);
    const double apart =
        (eclipticLongitude(places.mars, obliquity) - eclipticLongitude(places.sun, obliquity)) /
            DEGREE -
        180.0;
    return wrap180(apart);
}

} // namespace

double elongationOfMars(double utJd) {
    const Instant at = instantOfUt(utJd);
    const Geocentric g = fullMarsAndSun(at.ttJd, {.earthVelocity = CUT});
    return separation(apparentOfDate(g.mars, at.ttJd), apparentOfDate(g.sun, at.ttJd));
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
    const auto cut = [](double jd) { return pastOpposition(jd, CUT); };
    const auto full = [](double jd) { return pastOpposition(jd, FULL); };
    const double cutFrom = cut(from);
    const double cutTo = cut(to);
    if (cutFrom > 0.0 && cutTo < 0.0) {
        const Bracket guess = brentBracket(cut, from, to, cutFrom, cutTo, CUT_TOLERANCE_DAYS);
        const std::optional<double> stepped = secantFrom(full, guess.root, guess.slope(), from, to,
                                                         OPPOSITION_SETTLED_DAYS, FULL_CALLS);
        if (stepped) {
            return stepped;
        }
    }
    const double atFrom = full(from);
    const double atTo = full(to);
    if (!(atFrom > 0.0 && atTo < 0.0)) {
        return std::nullopt;
    }
    return brentRoot(full, from, to, atFrom, atTo, TOLERANCE_DAYS);
}

namespace {

// The first sign change of Mars's rate walked to from the opposition in steps, towards `side`,
// and its root there, with the series cut to `precision`.
std::optional<Bracket> rateTurning(double opposition, double side, double atOpposition,
                                   SeriesPrecision precision, double tolerance) {
    const auto rate = [precision](double jd) { return rateAt(jd, precision).perDay; };
    double near = opposition, rateNear = atOpposition;
    for (const double days : STATIONARY_STEPS_DAYS) {
        const double far = opposition + side * days;
        const double rateFar = rate(far);
        if ((rateNear < 0) != (rateFar < 0)) {
            return brentBracket(rate, near, far, rateNear, rateFar, tolerance);
        }
        near = far;
        rateNear = rateFar;
    }
    return std::nullopt;
}

// The cut series' stationary point on one side of the opposition. Between the two the rate grows
// from its value at the opposition about as the square of the time from it: that law through the
// rate 35 days out puts the point within two days, and secant steps settle it: four or five
// rates where the walk and a bracket took six. Where the law does not hold, or the steps
// wander, the walk decides.
std::optional<Settled> cutTurning(double opposition, double side, double atOpposition) {
    const auto rate = [](double jd) { return rateAt(jd, CUT).perDay; };
    const double first = STATIONARY_STEPS_DAYS[1];
    const double atFirst = rate(opposition + side * first);
    if (atOpposition < 0.0 && atOpposition < atFirst) {
        const double growth = (atFirst - atOpposition) / (first * first);
        const double days = first * std::sqrt(atOpposition / (atOpposition - atFirst));
        const double reach =
            opposition + side * STATIONARY_STEPS_DAYS[std::size(STATIONARY_STEPS_DAYS) - 1];
        const double near = opposition + side * STATIONARY_STEPS_DAYS[0];
        const std::optional<Settled> found = secantSettled(
            rate, opposition + side * days, side * 2 * growth * days, std::min(near, reach),
            std::max(near, reach), CUT_SETTLED_DAYS, CUT_CALLS);
        if (found) {
            return found;
        }
    }
    const std::optional<Bracket> walked =
        rateTurning(opposition, side, atOpposition, CUT, CUT_TOLERANCE_DAYS);
    if (!walked) {
        return std::nullopt;
    }
    return Settled{walked->root, walked->slope()};
}

// The stationary point on one side of the opposition, from the cut series' root and then the full
// series' rate; its longitude from the last two the full series gave, and the curvature.
std::optional<StationaryPoint> stationaryPointOn(double opposition, double side,
                                                 double cutAtOpposition) {
    const std::optional<Settled> cut = cutTurning(opposition, side, cutAtOpposition);
    if (cut) {
        Rate last{};
        const auto full = [&last](double jd) {
            last = rateAt(jd, FULL);
            return last.perDay;
        };
        const double reach =
            opposition + side * STATIONARY_STEPS_DAYS[std::size(STATIONARY_STEPS_DAYS) - 1];
        const std::optional<double> at =
            secantFrom(full, cut->root, cut->slope, std::min(opposition, reach),
                       std::max(opposition, reach), STATIONARY_SETTLED_DAYS, FULL_CALLS);
        if (at) {
            // The longitude's second derivative is the rate's slope, near enough the cut
            // series' own: the mean of the two longitudes less its share, and the way to `at`.
            const double step = *at - last.utJd;
            const double curvature = cut->slope;
            const double longitude = last.longitude -
                                     curvature * RATE_STEP_DAYS * RATE_STEP_DAYS / 2 +
                                     last.perDay * step + curvature * step * step / 2;
            return StationaryPoint{*at, side < 0, wrap360(longitude)};
        }
    }
    const std::optional<Bracket> full = rateTurning(
        opposition, side, rateAt(opposition, FULL).perDay, FULL, STATIONARY_TOLERANCE_DAYS);
    if (!full) {
        return std::nullopt;
    }
    return StationaryPoint{full->root, side < 0, wrap360(marsLongitude(full->root, FULL))};
}

} // namespace

std::vector<StationaryPoint> stationaryPointsAround(std::optional<double> opposition) {
    std::vector<StationaryPoint> found;
    if (!opposition) {
        return found;
    }
    // Mars moves west at opposition; the rate turns positive at the first stationary point
    // before it and the last after it: walked to from the opposition in steps, each side.
    const double atOpposition = rateAt(*opposition, CUT).perDay;
    for (const double side : {-1.0, 1.0}) {
        if (const std::optional<StationaryPoint> point =
                stationaryPointOn(*opposition, side, atOpposition)) {
            found.push_back(*point);
        }
    }
    return found; // the one before, then the one after: in time order
}

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
