#pragma once

// The steps from the series' heliocentric positions to an apparent place of date, shared by
// everything that is drawn in the sky: the geometry on the ecliptic of J2000, the equator of
// J2000, precession to the date and nutation. Angles in radians, instants TT Julian dates.

#include "ephemeris/angles.h"
#include "ephemeris/julian_date.h"

#include <array>
#include <cmath>

namespace orvanta {

// Earth's equatorial horizontal parallax at 1 au: how far a body 1 au away shifts between the
// centre and the surface at the equator.
constexpr double PARALLAX_AT_1_AU = 8.794 * ARCSECOND;
constexpr double LIGHT_DAYS_PER_AU = 499.004784 / 86400;
constexpr double OBLIQUITY_J2000 = 84381.448 * ARCSECOND;

struct V {
    double x, y, z;
    V operator-(const V& o) const { return {x - o.x, y - o.y, z - o.z}; }
    V operator+(const V& o) const { return {x + o.x, y + o.y, z + o.z}; }
    V operator*(double f) const { return {x * f, y * f, z * f}; }
    double dot(const V& o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
};

// Heliocentric, ecliptic and equinox J2000, in au, from the full series.
V earthAt(double tt);
V marsAt(double tt);
// Earth's heliocentric velocity on the same axes, in au per day.
V earthVelocity(double tt);

// The geocentric direction of Mars (or the Sun) on the ecliptic of J2000, with the light's time on
// the way taken off; with aberration, as it appears from the moving Earth. Its length is the
// distance the light travelled, in au. A search that only needs to come near cuts the series to
// `factor`, as evaluateBody takes it.
V geocentric(double tt, bool mars, bool aberration, float factor = 1.0f);
// Both, with aberration, from one Earth: what a search that compares them spends.
struct Geocentric {
    V mars, sun;
};
Geocentric geocentricMarsAndSun(double tt, float factor);
// The same at the full series' precision from one evaluation of Mars, the light time's share of
// its path taken from the cut series: what a search spends on the places it settles with all the
// terms. Earth's velocity, which only the aberration takes, comes from the series cut to
// `velocityFactor`: a tenth of the terms moves the places by up to 1e-6 of a degree, nothing for
// what is told to a tenth of one, but a fifth of a second in a root, which can carry it over
// a half minute.
Geocentric fullMarsAndSun(double tt, float velocityFactor = 1.0f);
// Mars at full precision at the two outer of three instants a few hours apart, as a rate takes it:
// the Earth of all three gives its velocity at both.
std::array<V, 2> fullMarsAround(double before, double middle, double after);

struct RaDec {
    double ra, dec;
};
// A direction on the ecliptic of J2000 turned to the equator of J2000.
RaDec equatorialJ2000(const V& ecliptic);
// The same turn for a vector, which keeps its length.
V equatorialVectorJ2000(const V& ecliptic);
// Precession from J2000 to the mean equator and equinox of `tt` (IAU 1976, Lieske).
RaDec precessed(RaDec p, double tt);
// The way back: a mean place of `tt` on the equator and equinox of J2000.
RaDec unprecessed(RaDec p, double tt);

// Nutation in longitude and obliquity, and the true obliquity, in radians: the leading terms of
// IAU 1980, good to half an arcsecond.
struct Nutation {
    double longitude, obliquity, trueObliquity;
};
Nutation nutation(double tt);
// A mean place of date moved to the true equator and equinox of date; right ascension in [0, 2π).
RaDec nutated(RaDec mean, double tt);

} // namespace orvanta
