#include "ephemeris/apparent_place.h"

#include "ephemeris/time_scales.h"
#include "ephemeris/vsop87.h"

namespace orvanta {

namespace {

Vec3 evaluated(void (*evaluate)(double, Vec3&, float), double ttJd, float factor = 1.0f) {
    Vec3 p{};
    evaluate(ttJd, p, factor);
    return {p.x, p.y, p.z};
}

Vec3 velocityOfEarth(double ttJd, float factor) {
    return (evaluated(&evaluateEarth, ttJd + 0.005, factor) -
            evaluated(&evaluateEarth, ttJd - 0.005, factor)) *
           (1 / 0.01);
}

// Each step of the light time shrinks its error by the rate of the distance over the speed of
// light, at most 6e-4: from Mars's place at `ttJd`, two steps leave the direction 1e-11 of its
// length off (2 microarcseconds), a third changes nothing. A series cut to a tenth of its terms is
// a few 1e-6 au off anyway, so one step does for it.
Vec3 marsSeenFrom(const Vec3& earth, double ttJd, float factor) {
    Vec3 g = evaluated(&evaluateMars, ttJd, factor) - earth;
    for (int i = 0, steps = factor < 1.0f ? 1 : 2; i < steps; ++i) {
        g = evaluated(&evaluateMars, ttJd - g.length() * LIGHT_DAYS_PER_AU, factor) - earth;
    }
    return g;
}

// A tenth of the terms moves Mars by a few 1e-6 au and its velocity by a few parts in a million,
// over a light time the cut series gives within 1e-7 day.
constexpr float MOTION_FACTOR = 0.1f;

// The light time within 1e-7 day from the cut series puts the one full evaluation of Mars that
// near where the light left it; over so short a step Mars moves along a straight line (its
// curvature shifts it by 1e-18 au), so that the light-time steps need no more evaluations. Each
// shrinks the error by 6e-4: two leave it 1e-11 of the distance, as close as marsSeenFrom's.
Vec3 fullMarsSeenFrom(const Vec3& earth, double ttJd) {
    const Vec3 marsNow = evaluated(&evaluateMars, ttJd, MOTION_FACTOR);
    const double firstLight = (marsNow - earth).length() * LIGHT_DAYS_PER_AU;
    const Vec3 marsThen = evaluated(&evaluateMars, ttJd - firstLight, MOTION_FACTOR);
    const Vec3 marsVelocity = (marsNow - marsThen) * (1 / firstLight);
    const double light = (marsThen - earth).length() * LIGHT_DAYS_PER_AU;
    const Vec3 mars = evaluated(&evaluateMars, ttJd - light);
    Vec3 g = mars - earth;
    for (int i = 0; i < 2; ++i) {
        g = mars - marsVelocity * (g.length() * LIGHT_DAYS_PER_AU - light) - earth;
    }
    return g;
}

// The slope at `at` of the parabola through three points.
Vec3 slopeOfParabola(double at, const double (&t)[3], const Vec3 (&p)[3]) {
    Vec3 slope{0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const double tj = t[(i + 1) % 3], tk = t[(i + 2) % 3];
        slope = slope + p[i] * ((2 * at - tj - tk) / ((t[i] - tj) * (t[i] - tk)));
    }
    return slope;
}

} // namespace

Vec3 earthAt(double ttJd) {
    return evaluated(&evaluateEarth, ttJd);
}

Vec3 marsAt(double ttJd) {
    return evaluated(&evaluateMars, ttJd);
}

Vec3 earthVelocity(double ttJd) {
    return velocityOfEarth(ttJd, 1.0f);
}

Vec3 aberrated(const Vec3& g, const Vec3& velocity) {
    return g + velocity * (g.length() * LIGHT_DAYS_PER_AU);
}

Vec3 geocentric(Body body, double ttJd, Aberration aberration, SeriesPrecision precision) {
    const float factor = precision.share;
    const Vec3 earth = evaluated(&evaluateEarth, ttJd, factor);
    const Vec3 g = body == Body::Mars ? marsSeenFrom(earth, ttJd, factor) : earth * -1.0;
    return aberration == Aberration::On ? aberrated(g, velocityOfEarth(ttJd, factor)) : g;
}

Geocentric geocentricMarsAndSun(double ttJd, SeriesPrecision precision) {
    const float factor = precision.share;
    const Vec3 earth = evaluated(&evaluateEarth, ttJd, factor);
    const Vec3 velocity = velocityOfEarth(ttJd, factor);
    return {aberrated(marsSeenFrom(earth, ttJd, factor), velocity),
            aberrated(earth * -1.0, velocity)};
}

Geocentric fullMarsAndSun(double ttJd, FullPlaces options) {
    const Vec3 earth = evaluated(&evaluateEarth, ttJd);
    const Vec3 velocity = velocityOfEarth(ttJd, options.earthVelocity.share);
    return {aberrated(fullMarsSeenFrom(earth, ttJd), velocity), aberrated(earth * -1.0, velocity)};
}

// Earth's velocity changes its aberration by 0.35 arcsecond a day, which the two places' difference
// must keep: the parabola's slopes at the ends are within h²/3 of Earth's third derivative, 5e-9
// au/day, 3e-7 of the velocity.
std::array<Vec3, 2> fullMarsAround(double before, double middle, double after) {
    const double t[3] = {before, middle, after};
    const Vec3 earth[3] = {evaluated(&evaluateEarth, before), evaluated(&evaluateEarth, middle),
                           evaluated(&evaluateEarth, after)};
    std::array<Vec3, 2> seen{};
    for (const int i : {0, 2}) {
        seen[i / 2] = aberrated(fullMarsSeenFrom(earth[i], t[i]), slopeOfParabola(t[i], t, earth));
    }
    return seen;
}

Equatorial equatorialJ2000(const Vec3& ecliptic) {
    const double y =
        ecliptic.y * std::cos(OBLIQUITY_J2000) - ecliptic.z * std::sin(OBLIQUITY_J2000);
    const double z =
        ecliptic.y * std::sin(OBLIQUITY_J2000) + ecliptic.z * std::cos(OBLIQUITY_J2000);
    const double length = ecliptic.length();
    return {std::atan2(y, ecliptic.x), std::asin(z / length), length};
}

Vec3 equatorialVectorJ2000(const Vec3& e) {
    return {e.x, e.y * std::cos(OBLIQUITY_J2000) - e.z * std::sin(OBLIQUITY_J2000),
            e.y * std::sin(OBLIQUITY_J2000) + e.z * std::cos(OBLIQUITY_J2000)};
}

// Meeus, Astronomical Algorithms 21.4.
namespace {

struct PrecessionAngles {
    double zeta, z, theta;
};

PrecessionAngles precessionFromJ2000(double ttJd) {
    const double t = (ttJd - J2000_JD) / JULIAN_CENTURY_DAYS;
    return {(2306.2181 * t + 0.30188 * t * t + 0.017998 * t * t * t) * ARCSECOND,
            (2306.2181 * t + 1.09468 * t * t + 0.018203 * t * t * t) * ARCSECOND,
            (2004.3109 * t - 0.42665 * t * t - 0.041833 * t * t * t) * ARCSECOND};
}

} // namespace

Equatorial precessed(const Equatorial& p, double ttJd) {
    const auto [zeta, z, theta] = precessionFromJ2000(ttJd);
    const double ra = p.rightAscension, dec = p.declination;
    const double a = std::cos(dec) * std::sin(ra + zeta);
    const double b =
        std::cos(theta) * std::cos(dec) * std::cos(ra + zeta) - std::sin(theta) * std::sin(dec);
    const double c =
        std::sin(theta) * std::cos(dec) * std::cos(ra + zeta) + std::cos(theta) * std::sin(dec);
    return {std::atan2(a, b) + z, std::asin(c), p.distanceAu};
}

// The same three rotations, undone in the reverse order.
Equatorial unprecessed(const Equatorial& p, double ttJd) {
    const auto [zeta, z, theta] = precessionFromJ2000(ttJd);
    const double ra = p.rightAscension, dec = p.declination;
    const double a = std::cos(dec) * std::sin(ra - z);
    const double b =
        std::cos(theta) * std::cos(dec) * std::cos(ra - z) + std::sin(theta) * std::sin(dec);
    const double c =
        -std::sin(theta) * std::cos(dec) * std::cos(ra - z) + std::cos(theta) * std::sin(dec);
    return {std::atan2(a, b) - zeta, std::asin(c), p.distanceAu};
}

// Meeus 22.
Nutation nutation(double ttJd) {
    const double t = (ttJd - J2000_JD) / JULIAN_CENTURY_DAYS;
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

Equatorial nutated(const Equatorial& p, double ttJd) {
    const Nutation n = nutation(ttJd);
    const double ra = p.rightAscension, dec = p.declination;
    const double e = n.trueObliquity;
    const double dra = (std::cos(e) + std::sin(e) * std::sin(ra) * std::tan(dec)) * n.longitude -
                       std::cos(ra) * std::tan(dec) * n.obliquity;
    const double ddec = std::sin(e) * std::cos(ra) * n.longitude + std::sin(ra) * n.obliquity;
    return {wrapAngle(ra + dra, 2 * PI), dec + ddec, p.distanceAu};
}

Equatorial ofDate(const Equatorial& j2000, double ttJd) {
    return nutated(precessed(j2000, ttJd), ttJd);
}

Equatorial apparentOfDate(const Vec3& eclipticJ2000, double ttJd) {
    return ofDate(equatorialJ2000(eclipticJ2000), ttJd);
}

Equatorial apparentMars(double utJd, SeriesPrecision precision) {
    const Instant at = instantOfUt(utJd);
    return apparentOfDate(geocentric(Body::Mars, at.ttJd, Aberration::On, precision), at.ttJd);
}

Equatorial apparentSun(double utJd) {
    const Instant at = instantOfUt(utJd);
    return apparentOfDate(geocentric(Body::Sun, at.ttJd, Aberration::On), at.ttJd);
}

ApparentPair apparentMarsAndSun(double utJd, SeriesPrecision precision) {
    const Instant at = instantOfUt(utJd);
    const Geocentric g = geocentricMarsAndSun(at.ttJd, precision);
    return {apparentOfDate(g.mars, at.ttJd), apparentOfDate(g.sun, at.ttJd)};
}

} // namespace orvanta
