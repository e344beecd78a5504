#include "ephemeris/approach_chart.h"

#include "ephemeris/time_scales.h"
#include "ephemeris/vsop87.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

// A picture needs far less than the full series: with a twentieth of each series' terms the
// distance is within 2.5e-5 au of the full one from 1900 to 2100, a hundredth of a pixel on any
// chart that fits a screen, at a twentieth of the cost.
constexpr float PICTURE_FACTOR = 0.05f;

// Samples enough that the curve between two is straight to a fraction of a pixel on a chart a
// screen wide: over 47 years one every 14 days, where the curve near a minimum (1.4e-4 au/day²)
// parts from its chord by 3.5e-3 au at most. The minima themselves are drawn from the search's own
// instants.
constexpr double CURVE_SAMPLES = 1200;
constexpr double LEAST_CURVE_STEP_DAYS = 2.0;

constexpr double EARTH_YEAR_DAYS = 365.256;
constexpr double MARS_YEAR_DAYS = 686.98;
constexpr int ORBIT_POINTS = 180;

Point onEcliptic(const Vec3& v) {
    return {v.x, v.y};
}

std::vector<Point> orbit(void (*evaluate)(double, Vec3&, float), double tt, double period) {
    std::vector<Point> points;
    for (int i = 0; i <= ORBIT_POINTS; ++i) {
        Vec3 p{};
        evaluate(tt + period * i / ORBIT_POINTS, p, PICTURE_FACTOR);
        points.push_back(onEcliptic(p));
    }
    points.back() = points.front(); // closed, whatever the orbit did in a year
    return points;
}

} // namespace

DistanceChart distanceChart(double fromJd, double toJd) {
    DistanceChart chart{fromJd, toJd, findClosestApproaches(fromJd, toJd), {}};
    // An end at infinity would make every step infinite or undefined.
    if (!std::isfinite(fromJd) || !std::isfinite(toJd) || !(toJd > fromJd)) {
        return chart;
    }
    const double step = std::max((toJd - fromJd) / CURVE_SAMPLES, LEAST_CURVE_STEP_DAYS);
    auto approach = chart.approaches.begin();
    // Far enough from J2000 a step is below the dates' resolution: the curve then goes to the end.
    const auto next = [&](double t) { return t + step > t ? std::min(t + step, toJd) : toJd; };
    for (double t = fromJd;; t = next(t)) {
        for (; approach != chart.approaches.end() && approach->julianDate < t; ++approach) {
            chart.curve.push_back({approach->julianDate, approach->distanceAu});
        }
        chart.curve.push_back({t, earthMarsDistance(ttOfUt(t), PICTURE_FACTOR)});
        if (t == toJd) {
            break;
        }
    }
    return chart;
}

OrbitsFromAbove orbitsFromAbove(const std::vector<ClosestApproach>& approaches, double nowJd) {
    const double now = ttOfUt(nowJd);
    OrbitsFromAbove view{orbit(&evaluateEarth, now, EARTH_YEAR_DAYS),
                         orbit(&evaluateMars, now, MARS_YEAR_DAYS),
                         {},
                         {},
                         {},
                         {}};
    view.marsPerihelion = *std::min_element(
        view.marsOrbit.begin(), view.marsOrbit.end(),
        [](const Point& a, const Point& b) { return std::hypot(a.x, a.y) < std::hypot(b.x, b.y); });
    for (const ClosestApproach& a : approaches) {
        Vec3 earth{}, mars{};
        evaluateEarth(ttOfUt(a.julianDate), earth, PICTURE_FACTOR);
        evaluateMars(ttOfUt(a.julianDate), mars, PICTURE_FACTOR);
        view.approaches.push_back({onEcliptic(earth), onEcliptic(mars)});
    }
    Vec3 earth{}, mars{};
    evaluateEarth(now, earth, PICTURE_FACTOR);
    evaluateMars(now, mars, PICTURE_FACTOR);
    view.earthNow = onEcliptic(earth);
    view.marsNow = onEcliptic(mars);
    return view;
}

} // namespace orvanta
