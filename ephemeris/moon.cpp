#include "ephemeris/moon.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/stars.h"
#include "ephemeris/time_scales.h"

#include <cmath>

namespace orvanta {

namespace {

// The multiples of D, M, M′ and F in one periodic term, and its coefficients: longitude in
// millionths of a degree and distance in metres (table 47.A), or latitude (table 47.B).
struct Term {
    signed char d, m, mp, f;
    int first, second;
};

constexpr Term LONGITUDE_DISTANCE[] = {
    {0, 0, 1, 0, 6288774, -20905355},
    {2, 0, -1, 0, 1274027, -3699111},
    {2, 0, 0, 0, 658314, -2955968},
    {0, 0, 2, 0, 213618, -569925},
    {0, 1, 0, 0, -185116, 48888},
    {0, 0, 0, 2, -114332, -3149},
    {2, 0, -2, 0, 58793, 246158},
    {2, -1, -1, 0, 57066, -152138},
    {2, 0, 1, 0, 53322, -170733},
    {2, -1, 0, 0, 45758, -204586},
    {0, 1, -1, 0, -40923, -129620},
    {1, 0, 0, 0, -34720, 108743},
    {0, 1, 1, 0, -30383, 104755},
    {2, 0, 0, -2, 15327, 10321},
    {0, 0, 1, 2, -12528, 0},
    {0, 0, 1, -2, 10980, 79661},
    {4, 0, -1, 0, 10675, -34782},
    {0, 0, 3, 0, 10034, -23210},
    {4, 0, -2, 0, 8548, -21636},
    {2, 1, -1, 0, -7888, 24208},
    {2, 1, 0, 0, -6766, 30824},
    {1, 0, -1, 0, -5163, -8379},
    {1, 1, 0, 0, 4987, -16675},
    {2, -1, 1, 0, 4036, -12831},
    {2, 0, 2, 0, 3994, -10445},
    {4, 0, 0, 0, 3861, -11650},
    {2, 0, -3, 0, 3665, 14403},
    {0, 1, -2, 0, -2689, -7003},
    {2, 0, -1, 2, -2602, 0},
    {2, -1, -2, 0, 2390, 10056},
    {1, 0, 1, 0, -2348, 6322},
    {2, -2, 0, 0, 2236, -9884},
    {0, 1, 2, 0, -2120, 5751},
    {0, 2, 0, 0, -2069, 0},
    {2, -2, -1, 0, 2048, -4950},
    {2, 0, 1, -2, -1773, 4130},
    {2, 0, 0, 2, -1595, 0},
    {4, -1, -1, 0, 1215, -3958},
    {0, 0, 2, 2, -1110, 0},
    {3, 0, -1, 0, -892, 3258},
    {2, 1, 1, 0, -810, 2616},
    {4, -1, -2, 0, 759, -1897},
    {0, 2, -1, 0, -713, -2117},
    {2, 2, -1, 0, -700, 2354},
    {2, 1, -2, 0, 691, 0},
    {2, -1, 0, -2, 596, 0},
    {4, 0, 1, 0, 549, -1423},
    {0, 0, 4, 0, 537, -1117},
    {4, -1, 0, 0, 520, -1571},
    {1, 0, -2, 0, -487, -1739},
    {2, 1, 0, -2, -399, 0},
    {0, 0, 2, -2, -381, -4421},
    {1, 1, 1, 0, 351, 0},
    {3, 0, -2, 0, -340, 0},
    {4, 0, -3, 0, 330, 0},
    {2, -1, 2, 0, 327, 0},
    {0, 2, 1, 0, -323, 1165},
    {1, 1, -1, 0, 299, 0},
    {2, 0, 3, 0, 294, 0},
    {2, 0, -1, -2, 0, 8752},
};

constexpr Term LATITUDE[] = {
    {0, 0, 0, 1, 5128122, 0}, {0, 0, 1, 1, 280602, 0},  {0, 0, 1, -1, 277693, 0},
    {2, 0, 0, -1, 173237, 0}, {2, 0, -1, 1, 55413, 0},  {2, 0, -1, -1, 46271, 0},
    {2, 0, 0, 1, 32573, 0},   {0, 0, 2, 1, 17198, 0},   {2, 0, 1, -1, 9266, 0},
    {0, 0, 2, -1, 8822, 0},   {2, -1, 0, -1, 8216, 0},  {2, 0, -2, -1, 4324, 0},
    {2, 0, 1, 1, 4200, 0},    {2, 1, 0, -1, -3359, 0},  {2, -1, -1, 1, 2463, 0},
    {2, -1, 0, 1, 2211, 0},   {2, -1, -1, -1, 2065, 0}, {0, 1, -1, -1, -1870, 0},
    {4, 0, -1, -1, 1828, 0},  {0, 1, 0, 1, -1794, 0},   {0, 0, 0, 3, -1749, 0},
    {0, 1, -1, 1, -1565, 0},  {1, 0, 0, 1, -1491, 0},   {0, 1, 1, 1, -1475, 0},
    {0, 1, 1, -1, -1410, 0},  {0, 1, 0, -1, -1344, 0},  {1, 0, 0, -1, -1335, 0},
    {0, 0, 3, 1, 1107, 0},    {4, 0, 0, -1, 1021, 0},   {4, 0, -1, 1, 833, 0},
    {0, 0, 1, -3, 777, 0},    {4, 0, -2, 1, 671, 0},    {2, 0, 0, -3, 607, 0},
    {2, 0, 2, -1, 596, 0},    {2, -1, 1, -1, 491, 0},   {2, 0, -2, 1, -451, 0},
    {0, 0, 3, -1, 439, 0},    {2, 0, 2, 1, 422, 0},     {2, 0, -3, -1, 421, 0},
    {2, 1, -1, 1, -366, 0},   {2, 1, 0, 1, -351, 0},    {4, 0, 0, 1, 331, 0},
    {2, -1, 1, 1, 315, 0},    {2, -2, 0, -1, 302, 0},   {0, 0, 1, 3, -283, 0},
    {2, 1, 1, -1, -229, 0},   {1, 1, 0, -1, 223, 0},    {1, 1, 0, 1, 223, 0},
    {0, 1, -2, -1, -220, 0},  {2, 1, -1, -1, -220, 0},  {1, 0, 1, 1, -185, 0},
    {2, -1, -2, -1, 181, 0},  {0, 1, 2, 1, -177, 0},    {4, 0, -2, -1, 176, 0},
    {4, -1, -1, -1, 166, 0},  {1, 0, 1, -1, -164, 0},   {4, 0, 1, -1, 132, 0},
    {1, 0, -1, -1, -119, 0},  {4, -1, 0, -1, 115, 0},   {2, -2, 0, 1, 107, 0},
};

double radiansOf(double degrees) {
    return wrap360(degrees) * DEGREE;
}

} // namespace

Equatorial equatorialOfDate(double longitude, double latitude, double distanceAu, double tt) {
    const double e = nutation(tt).trueObliquity;
    const double l = longitude * DEGREE, b = latitude * DEGREE;
    const double ra =
        std::atan2(std::sin(l) * std::cos(e) - std::tan(b) * std::sin(e), std::cos(l));
    const double dec =
        std::asin(std::sin(b) * std::cos(e) + std::cos(b) * std::sin(e) * std::sin(l));
    return {wrapAngle(ra, 2 * PI), dec, distanceAu};
}

Equatorial apparentMoon(double utJd) {
    const double tt = ttOfUt(utJd);
    const double t = (tt - J2000_JD) / JULIAN_CENTURY_DAYS;
    // The mean elements (47.1 to 47.5), referred to the mean equinox of date, in degrees.
    const double meanLongitude = 218.3164477 + 481267.88123421 * t - 0.0015786 * t * t +
                                 t * t * t / 538841 - t * t * t * t / 65194000;
    const double d = radiansOf(297.8501921 + 445267.1114034 * t - 0.0018819 * t * t +
                               t * t * t / 545868 - t * t * t * t / 113065000);
    const double m =
        radiansOf(357.5291092 + 35999.0502909 * t - 0.0001536 * t * t + t * t * t / 24490000);
    const double mp = radiansOf(134.9633964 + 477198.8675055 * t + 0.0087414 * t * t +
                                t * t * t / 69699 - t * t * t * t / 14712000);
    const double f = radiansOf(93.2720950 + 483202.0175233 * t - 0.0036539 * t * t -
                               t * t * t / 3526000 + t * t * t * t / 863310000);
    const double a1 = radiansOf(119.75 + 131.849 * t);
    const double a2 = radiansOf(53.09 + 479264.290 * t);
    const double a3 = radiansOf(313.45 + 481266.484 * t);
    const double lp = radiansOf(meanLongitude);
    // The terms with the Sun's anomaly shrink with the eccentricity of Earth's orbit.
    const double e = 1 - 0.002516 * t - 0.0000074 * t * t;
    const auto eccentricity = [&](int multiple) {
        return multiple == 0 ? 1.0 : std::abs(multiple) == 1 ? e : e * e;
    };
    double sumL = 0, sumR = 0, sumB = 0;
    for (const Term& term : LONGITUDE_DISTANCE) {
        const double argument = term.d * d + term.m * m + term.mp * mp + term.f * f;
        sumL += term.first * eccentricity(term.m) * std::sin(argument);
        sumR += term.second * eccentricity(term.m) * std::cos(argument);
    }
    for (const Term& term : LATITUDE) {
        sumB += term.first * eccentricity(term.m) *
                std::sin(term.d * d + term.m * m + term.mp * mp + term.f * f);
    }
    // Venus, Jupiter and the flattening of Earth.
    sumL += 3958 * std::sin(a1) + 1962 * std::sin(lp - f) + 318 * std::sin(a2);
    sumB += -2235 * std::sin(lp) + 382 * std::sin(a3) + 175 * std::sin(a1 - f) +
            175 * std::sin(a1 + f) + 127 * std::sin(lp - mp) - 115 * std::sin(lp + mp);
    const double longitude = meanLongitude + sumL / 1e6 + nutation(tt).longitude / DEGREE;
    const double distanceKm = 385000.56 + sumR / 1000;
    return equatorialOfDate(longitude, sumB / 1e6, distanceKm / KM_PER_AU, tt);
}

Equatorial topocentric(const Equatorial& g, double utJd, const Place& where) {
    // The place's distance from Earth's axis and from its equator, in Earth radii (Meeus 11).
    constexpr double AXES = 0.99664719;
    constexpr double RADIUS_M = 6378140;
    const double lat = where.latitude * DEGREE;
    const double u = std::atan(AXES * std::tan(lat));
    const double fromAxis = std::cos(u) + where.height / RADIUS_M * std::cos(lat);
    const double fromEquator = AXES * std::sin(u) + where.height / RADIUS_M * std::sin(lat);
    const double sinParallax = std::sin(PARALLAX_AT_1_AU) / g.distanceAu;
    // The body's hour angle, and the shifts of 40.2 and 40.3.
    const double h = (apparentSiderealTime(utJd) + where.longitude) * DEGREE - g.rightAscension;
    const double dra = std::atan2(-fromAxis * sinParallax * std::sin(h),
                                  std::cos(g.declination) - fromAxis * sinParallax * std::cos(h));
    const double dec =
        std::atan2((std::sin(g.declination) - fromEquator * sinParallax) * std::cos(dra),
                   std::cos(g.declination) - fromAxis * sinParallax * std::cos(h));
    // The distance from the place, from the same triangle.
    const double distance =
        g.distanceAu *
        std::sqrt(1 -
                  2 * sinParallax *
                      (fromAxis * std::cos(g.declination) * std::cos(h) +
                       fromEquator * std::sin(g.declination)) +
                  sinParallax * sinParallax * (fromAxis * fromAxis + fromEquator * fromEquator));
    return {wrapAngle(g.rightAscension + dra, 2 * PI), dec, distance};
}

double moonLitFraction(const Equatorial& moon, const Equatorial& sun) {
    const double elongation = separation(moon, sun) * DEGREE;
    const double phaseAngle = std::atan2(sun.distanceAu * std::sin(elongation),
                                         moon.distanceAu - sun.distanceAu * std::cos(elongation));
    return (1 + std::cos(phaseAngle)) / 2;
}

double moonFrom(const Equatorial& body, double utJd, const Place& where) {
    return separation(topocentric(apparentMoon(utJd), utJd, where), topocentric(body, utJd, where));
}

} // namespace orvanta
