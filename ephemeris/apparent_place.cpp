#include "ephemeris/apparent_place.h"

#include "ephemeris/vsop87.h"

namespace orvanta {

namespace {

V evaluated(void (*evaluate)(double, Vec3&, float), double tt, float factor = 1.0f) {
    Vec3 p{};
    evaluate(tt, p, factor);
    return {p.x, p.y, p.z};
}

V velocityOfEarth(double tt, float factor) {
    return (evaluated(&evaluateEarth, tt + 0.005, factor) -
            evaluated(&evaluateEarth, tt - 0.005, factor)) *
           (1 / 0.01);
}

// Each step of the light time shrinks its error by the rate of the distance over the speed of
// light, at most 6e-4: from Mars's place at `tt`, two steps leave the direction 1e-11 of its
// length off (2 microarcseconds), a third changes nothing. A series cut to a tenth of its terms is
// a few 1e-6 au off anyway, so one step does for it.
V marsSeenFrom(const V& earth, double tt, float factor) {
    V g = evaluated(&evaluateMars, tt, factor) - earth;
    for (int i = 0, steps = factor < 1.0f ? 1 : 2; i < steps; ++i) {
        g = evaluated(&evaluateMars, tt - g.length() * LIGHT_DAYS_PER_AU, factor) - earth;
    }
    return g;
}

V aberrated(const V& g, const V& velocity) {
    return g + velocity * (g.length() * LIGHT_DAYS_PER_AU);
}

// A tenth of the terms moves Mars by a few 1e-6 au and its velocity by a few parts in a million,
// over a light time the cut series gives within 1e-7 day.
constexpr float MOTION_FACTOR = 0.1f;

// The light time within 1e-7 day from the cut series puts the one full evaluation of Mars that
// near where the light left it; over so short a step Mars moves along a straight line (its
// curvature shifts it by 1e-18 au), so that the light-time steps need no more evaluations. Each
// shrinks the error by 6e-4: two leave it 1e-11 of the distance, as close as marsSeenFrom's.
V fullMarsSeenFrom(const V& earth, double tt) {
    const V marsNow = evaluated(&evaluateMars, tt, MOTION_FACTOR);
    const double firstLight = (marsNow - earth).length() * LIGHT_DAYS_PER_AU;
    const V marsThen = evaluated(&evaluateMars, tt - firstLight, MOTION_FACTOR);
    const V marsVelocity = (marsNow - marsThen) * (1 / firstLight);
    const double light = (marsThen - earth).length() * LIGHT_DAYS_PER_AU;
    const V mars = evaluated(&evaluateMars, tt - light);
    V g = mars - earth;
    for (int i = 0; i < 2; ++i) {
        g = mars - marsVelocity * (g.length() * LIGHT_DAYS_PER_AU - light) - earth;
    }
    return g;
}

// The slope at `at` of the parabola through three points.
V slopeOfParabola(double at, const double (&t)[3], const V (&p)[3]) {
    V slope{0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const double tj = t[(i + 1) % 3], tk = t[(i + 2) % 3];
        slope = slope + p[i] * ((2 * at - tj - tk) / ((t[i] - tj) * (t[i] - tk)));
    }
    return slope;
}

} // namespace

V earthAt(double tt) {
    return evaluated(&evaluateEarth, tt);
}

V marsAt(double tt) {
    return evaluated(&evaluateMars, tt);
}

V earthVelocity(double tt) {
    return velocityOfEarth(tt, 1.0f);
}

V geocentric(double tt, bool mars, bool aberration, float factor) {
    const V earth = evaluated(&evaluateEarth, tt, factor);
    const V g = mars ? marsSeenFrom(earth, tt, factor) : earth * -1.0;
    return aberration ? aberrated(g, velocityOfEarth(tt, factor)) : g;
}

Geocentric geocentricMarsAndSun(double tt, float factor) {
    const V earth = evaluated(&evaluateEarth, tt, factor);
    const V velocity = velocityOfEarth(tt, factor);
    return {aberrated(marsSeenFrom(earth, tt, factor), velocity),
            aberrated(earth * -1.0, velocity)};
}

Geocentric fullMarsAndSun(double tt, float velocityFactor) {
    const V earth = evaluated(&evaluateEarth, tt);
    const V velocity = velocityOfEarth(tt, velocityFactor);
    return {aberrated(fullMarsSeenFrom(earth, tt), velocity), aberrated(earth * -1.0, velocity)};
}

// Earth's velocity changes its aberration by 0.35 arcsecond a day, which the two places' difference
// must keep: the parabola's slopes at the ends are within h²/3 of Earth's third derivative, 5e-9
// au/day, 3e-7 of the velocity.
std::array<V, 2> fullMarsAround(double before, double middle, double after) {
    const double t[3] = {before, middle, after};
    const V earth[3] = {evaluated(&evaluateEarth, before), evaluated(&evaluateEarth, middle),
                        evaluated(&evaluateEarth, after)};
    std::array<V, 2> seen{};
    for (const int i : {0, 2}) {
        seen[i / 2] = aberrated(fullMarsSeenFrom(earth[i], t[i]), slopeOfParabola(t[i], t, earth));
    }
    return seen;
}

RaDec equatorialJ2000(const V& ecliptic) {
    const double y =
        ecliptic.y * std::cos(OBLIQUITY_J2000) - ecliptic.z * std::sin(OBLIQUITY_J2000);
    const double z =
        ecliptic.y * std::sin(OBLIQUITY_J2000) + ecliptic.z * std::cos(OBLIQUITY_J2000);
    return {std::atan2(y, ecliptic.x), std::asin(z / ecliptic.length())};
}

V equatorialVectorJ2000(const V& e) {
    return {e.x, e.y * std::cos(OBLIQUITY_J2000) - e.z * std::sin(OBLIQUITY_J2000),
            e.y * std::sin(OBLIQUITY_J2000) + e.z * std::cos(OBLIQUITY_J2000)};
}

// Meeus, Astronomical Algorithms 21.4.
namespace {

struct PrecessionAngles {
    double zeta, z, theta;
};

PrecessionAngles precessionFromJ2000(double tt) {
    const double t = (tt - J2000_JD) / JULIAN_CENTURY_DAYS;
    return {(2306.2181 * t + 0.30188 * t * t + 0.017998 * t * t * t) * ARCSECOND,
            (2306.2181 * t + 1.09468 * t * t + 0.018203 * t * t * t) * ARCSECOND,
            (2004.3109 * t - 0.42665 * t * t - 0.041833 * t * t * t) * ARCSECOND};
}

} // namespace

RaDec precessed(RaDec p, double tt) {
    const auto [zeta, z, theta] = precessionFromJ2000(tt);
    const double a = std::cos(p.dec) * std::sin(p.ra + zeta);
    const double b = std::cos(theta) * std::cos(p.dec) * std::cos(p.ra + zeta) -
                     std::sin(theta) * std::sin(p.dec);
    const double c = std::sin(theta) * std::cos(p.dec) * std::cos(p.ra + zeta) +
                     std::cos(theta) * std::sin(p.dec);
    return {std::atan2(a, b) + z, std::asin(c)};
}

// The same three rotations, undone in the reverse order.
RaDec unprecessed(RaDec p, double tt) {
    const auto [zeta, z, theta] = precessionFromJ2000(tt);
    const double a = std::cos(p.dec) * std::sin(p.ra - z);
    const double b =
        std::cos(theta) * std::cos(p.dec) * std::cos(p.ra - z) + std::sin(theta) * std::sin(p.dec);
    const double c =
        -std::sin(theta) * std::cos(p.dec) * std::cos(p.ra - z) + std::cos(theta) * std::sin(p.dec);
    return {std::atan2(a, b) - zeta, std::asin(c)};
}

// Meeus 22.
Nutation nutation(double tt) {
    const double t = (tt - J2000_JD) / JULIAN_CENTURY_DAYS;
    const double node = (125.04452 - 1934.136261 * t) * DEGREE;
    const double sun = (280.4665 + 36000.7698 * t) * DEGREE;
    const double moon = (218.3165 + 481267.8813 * t) * DEGREE;
    const double dpsi = (-17.20 * std::sin(node) - 1.32 * std::sin(2 * sun) -
                         0.23 * std::sin(2 * moon) + 0.21 * std::sin(2 * node)) *
                        ARCSECOND;
    const double deps = (9.20 * std::cos(node) + 0.57 * std::cos(2 * sun) +
                         0.10 * std::cos(2 * moon) - 0.09 * std::cos(2 * node)) *
                        ARCSECOND;
    const double mean =
        OBLIQUITY_J2000 + (-46.8150 * t - 0.00059 * t * t + 0.001813 * t * t * t) * ARCSECOND;
    return {dpsi, deps, mean + deps};
}

RaDec nutated(RaDec p, double tt) {
    const Nutation n = nutation(tt);
    const double e = n.trueObliquity;
    const double dra =
        (std::cos(e) + std::sin(e) * std::sin(p.ra) * std::tan(p.dec)) * n.longitude -
        std::cos(p.ra) * std::tan(p.dec) * n.obliquity;
    const double ddec = std::sin(e) * std::cos(p.ra) * n.longitude + std::sin(p.ra) * n.obliquity;
    return {wrapAngle(p.ra + dra, 2 * PI), p.dec + ddec};
}

} // namespace orvanta
