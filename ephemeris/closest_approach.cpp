#include "ephemeris/closest_approach.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/root.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/vsop87.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvanta {

namespace {

constexpr float QUARTER = 0.25f;
constexpr float FULL = 1.0f;

// The distance falls for about a year before each minimum and rises for about a year after it
// (from 1990 to 2060 the minima are 767-798 days apart with one maximum between each pair). The
// Moon swings Earth by 3e-5 au every month, but the slope that adds, at most 7e-6 au/day, is small
// beside the distance's own slope away from the extremes, and the curvature, at most 1.7e-6
// au/day², beside the distance's own near them (1.4e-4 au/day² and more at a minimum): it adds no
// extremum. So any step well under a year finds every minimum as the lowest of three samples. Ten
// days keeps the bracket short, so that the refinement needs few steps.
constexpr double SCAN_STEP_DAYS = 10.0;

// Minima are never closer than 750 days (over all the searched years, every one of them scanned,
// they are 767.7 to 798.8 days apart): the result is reserved from the span at that rate, and once
// a minimum is found the scan goes on from 750 days after it, since none can lie in between. That
// leaves five to eight samples of the eighty a scan of every step would take.
constexpr double LEAST_SEPARATION_DAYS = 750.0;

// The next minimum is at most about 800 days away; a 1000-day look-ahead leaves room.
constexpr double NEXT_HORIZON_DAYS = 1000.0;

// The instant is where the slope of Δ² turns from falling to rising, the slope taken as a central
// difference over ±h. Comparing distances instead could not settle it to a second: a second from
// the minimum Δ has risen by 1e-14 au, and its rounding scatters it by half that. The difference's
// root is off the true one by a bias that grows as h² (1.8 s at h = 0.1 day, 0.02 s at 0.01 day),
// and by the rounding of Δ² divided by 2h, which shows below 0.001 day. Four minutes leaves both at
// a few milliseconds.
constexpr double SLOPE_STEP_DAYS = 0.003;

// The quarter series' root is settled to a few seconds; from 1990 to 2060 the full series' root
// lies within ten seconds of it. From there a Newton step with the quarter series' slope, and a
// secant step through the two full slopes, settle it: the two series' slopes differ by five
// hundredths at most over the searched years, so that a step under ten tolerances misses by less
// than half of one, and ends the search. That mostly takes two full slopes (four evaluations),
// seldom one or three; the distance at the instant is one evaluation more. Should the steps not
// settle, a quarter of an hour either side brackets the root (and is widened if ever it does not).
constexpr double QUARTER_TOLERANCE_DAYS = 5e-5;
constexpr int FULL_SLOPES = 3;
constexpr double FULL_BRACKET_HALF_WIDTH_DAYS = 0.01;
constexpr double BRACKET_WIDENING = 8.0;

// A tenth of a second: the instant is wanted to about a second.
constexpr double FULL_TOLERANCE_DAYS = 1e-6;
constexpr double SETTLED_DAYS = 10 * FULL_TOLERANCE_DAYS;

double squaredDistance(double julianDate, float factor) {
    Vec3 earth{}, mars{};
    evaluateEarth(julianDate, earth, factor);
    evaluateMars(julianDate, mars, factor);
    const double dx = earth.x - mars.x;
    const double dy = earth.y - mars.y;
    const double dz = earth.z - mars.z;
    return (dz * dz + dy * dy) + dx * dx;
}

// The slope of Δ² at an instant, unscaled: only its sign and its root are used.
double slope(double julianDate, float factor) {
    return squaredDistance(julianDate + SLOPE_STEP_DAYS, factor) -
           squaredDistance(julianDate - SLOPE_STEP_DAYS, factor);
}

// The root of the full series' slope near `guess`, the quarter series' root, by widening brackets.
std::optional<double> bracketedRoot(double guess, double lo, double hi) {
    auto fullSlope = [](double jd) { return slope(jd, FULL); };
    double left = std::max(lo, guess - FULL_BRACKET_HALF_WIDTH_DAYS);
    double right = std::min(hi, guess + FULL_BRACKET_HALF_WIDTH_DAYS);
    double fullLeft = fullSlope(left);
    while (!(fullLeft < 0.0)) {
        if (left == lo) {
            return std::nullopt;
        }
        left = std::max(lo, guess - (guess - left) * BRACKET_WIDENING);
        fullLeft = fullSlope(left);
    }
    double fullRight = fullSlope(right);
    while (!(fullRight > 0.0)) {
        if (right == hi) {
            return std::nullopt;
        }
        right = std::min(hi, guess + (right - guess) * BRACKET_WIDENING);
        fullRight = fullSlope(right);
    }
    return brentRoot(fullSlope, left, right, fullLeft, fullRight, FULL_TOLERANCE_DAYS);
}

// The instant (TT) of the minimum inside [lo, hi], a bracket whose middle sample is the lowest of
// the three; empty if the slope does not turn from falling to rising inside it.
std::optional<double> minimumWithin(double lo, double hi) {
    auto quarterSlope = [](double jd) { return slope(jd, QUARTER); };
    const double quarterLo = quarterSlope(lo);
    const double quarterHi = quarterSlope(hi);
    if (!(quarterLo < 0.0 && quarterHi > 0.0)) {
        return std::nullopt;
    }
    const Bracket quarter =
        brentBracket(quarterSlope, lo, hi, quarterLo, quarterHi, QUARTER_TOLERANCE_DAYS);
    const double near = FULL_BRACKET_HALF_WIDTH_DAYS;
    const std::optional<double> stepped =
        secantFrom([](double jd) { return slope(jd, FULL); }, quarter.root, quarter.slope(),
                   std::max(lo, quarter.root - near), std::min(hi, quarter.root + near),
                   SETTLED_DAYS, FULL_SLOPES);
    return stepped ? stepped : bracketedRoot(quarter.root, lo, hi);
}

// The UT instant of a TT one: TT − UT is taken at the UT instant, which a second pass settles.
double utOf(double ttJd) {
    const double guess = ttJd - ttMinusUtSeconds(ttJd) / 86400.0;
    return ttJd - ttMinusUtSeconds(guess) / 86400.0;
}

// The scan compares the quarter series' Δ² at neighbouring grid points, but most comparisons are
// plain from far fewer terms: each sample is first taken from a tenth of them, with a bound on how
// far it can lie from the quarter series' own, and the quarter series is evaluated only where two
// samples lie too close for that bound to tell them apart (near a minimum halfway between grid
// points, and at the maxima). Every comparison thus comes out as the quarter series' own would,
// and with it every bracket, at a fraction of the cost of a sample.
constexpr float ROUGH = 0.1f;
// Far above the rounding of the sums (some 1e-13 au a coordinate), far below the cut series' own
// difference (some 1e-6 au).
constexpr double ROUNDING_AU = 1e-10;

struct ScanSample {
    double julianDate;
    double squaredDistance; // the quarter series' once `within` is 0
    double within;
};

ScanSample roughSample(double julianDate) {
    Vec3 earth{}, mars{};
    evaluateEarth(julianDate, earth, ROUGH);
    evaluateMars(julianDate, mars, ROUGH);
    const Vec3 earthOff = cutDifferenceBound(VSOP87A_EARTH, julianDate, ROUGH, QUARTER);
    const Vec3 marsOff = cutDifferenceBound(VSOP87A_MARS, julianDate, ROUGH, QUARTER);
    // With d the rough difference vector and the quarter series' d − δ, where |δ_i| ≤ e_i, the two
    // squares lie within Σ (2|d_i| + e_i) e_i of each other.
    const double d[3] = {earth.x - mars.x, earth.y - mars.y, earth.z - mars.z};
    const double e[3] = {earthOff.x + marsOff.x + ROUNDING_AU, earthOff.y + marsOff.y + ROUNDING_AU,
                         earthOff.z + marsOff.z + ROUNDING_AU};
    double within = 0.0;
    for (int i = 0; i < 3; ++i) {
        within += (2 * std::abs(d[i]) + e[i]) * e[i];
    }
    return {julianDate, (d[2] * d[2] + d[1] * d[1]) + d[0] * d[0], within * (1 + 1e-9)};
}

void sharpen(ScanSample& sample) {
    if (sample.within > 0.0) {
        sample.squaredDistance = squaredDistance(sample.julianDate, QUARTER);
        sample.within = 0.0;
    }
}

// Whether the quarter series puts Earth and Mars farther apart at `a` than at `b`.
bool fartherAt(ScanSample& a, ScanSample& b) {
    const double apart = a.squaredDistance - b.squaredDistance;
    if (std::abs(apart) <= a.within + b.within) {
        sharpen(a);
        sharpen(b);
        return a.squaredDistance > b.squaredDistance;
    }
    return apart > 0.0;
}

// Calls visit(approach) for each minimum in [fromJd, toJd] (UT, already clipped and ordered), in
// time order, until it returns false. The series run on TT, so the scan does, and the instants
// handed out are UT. The scan runs on a grid fixed at J2000, so a minimum is bracketed, and its
// instant computed, the same way whatever span finds it.
template <typename Visit>
void forEachApproach(double fromUt, double toUt, Visit visit) {
    const double fromJd = ttOfUt(fromUt);
    const double toJd = ttOfUt(toUt);
    // The lowest sample next to a minimum is one of the two grid points around it; one point more
    // on each side gives it both neighbours even when the minimum sits at an end of the span.
    const auto first =
        static_cast<std::int64_t>(std::floor((fromJd - J2000_JD) / SCAN_STEP_DAYS)) - 1;
    const auto last = static_cast<std::int64_t>(std::ceil((toJd - J2000_JD) / SCAN_STEP_DAYS)) + 1;
    auto sampleAt = [](std::int64_t k) {
        return roughSample(J2000_JD + static_cast<double>(k) * SCAN_STEP_DAYS);
    };

    // The same grid points are looked at whatever was skipped: a minimum's bracket and instant do
    // not depend on where the scan began.
    std::int64_t k = first;
    ScanSample before = sampleAt(k++);
    ScanSample middle = sampleAt(k++);
    while (k <= last) {
        ScanSample after = sampleAt(k);
        if (fartherAt(before, middle) && !fartherAt(middle, after)) {
            const std::optional<double> instant =
                minimumWithin(before.julianDate, after.julianDate);
            if (instant) {
                const double ut = utOf(*instant);
                if (ut >= fromUt && ut <= toUt && !visit(approachAt(Instant{ut, *instant}))) {
                    return;
                }
                // Two grid points before the earliest place the next minimum can lie, as its
                // bracket's first two.
                const auto resume =
                    static_cast<std::int64_t>(std::floor(
                        (*instant + LEAST_SEPARATION_DAYS - J2000_JD) / SCAN_STEP_DAYS)) -
                    1;
                if (resume > last) {
                    return;
                }
                if (resume > k) {
                    k = resume;
                    before = sampleAt(k++);
                    middle = sampleAt(k++);
                    continue;
                }
            }
        }
        before = middle;
        middle = after;
        ++k;
    }
}

} // namespace

double earthMarsDistance(double ttJd, float factor) {
    return std::sqrt(squaredDistance(ttJd, factor));
}

std::vector<ClosestApproach> findClosestApproaches(double fromUtJd, double toUtJd) {
    std::vector<ClosestApproach> approaches;
    if (!std::isfinite(fromUtJd) || !std::isfinite(toUtJd)) {
        return approaches;
    }
    const double from = std::max(fromUtJd, FIRST_SEARCHED_JD);
    const double to = std::min(toUtJd, LAST_SEARCHED_JD);
    if (from > to) {
        return approaches;
    }
    approaches.reserve(static_cast<std::size_t>((to - from) / LEAST_SEPARATION_DAYS) + 1);
    forEachApproach(from, to, [&](const ClosestApproach& approach) {
        approaches.push_back(approach);
        return true;
    });
    return approaches;
}

std::optional<ClosestApproach> nextClosestApproachAfter(double utJd) {
    if (!std::isfinite(utJd)) {
        return std::nullopt;
    }
    const double from = std::max(utJd, FIRST_SEARCHED_JD);
    const double to = std::min(utJd + NEXT_HORIZON_DAYS, LAST_SEARCHED_JD);
    if (from > to) {
        return std::nullopt;
    }
    std::optional<ClosestApproach> next;
    forEachApproach(from, to, [&](const ClosestApproach& approach) {
        if (approach.julianDate > utJd) {
            next = approach;
            return false;
        }
        return true;
    });
    return next;
}

} // namespace orvanta
