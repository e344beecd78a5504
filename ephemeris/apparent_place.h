#pragma once

// The steps from the series' heliocentric positions to an apparent place of date, shared by
// everything that is drawn in the sky: the geometry on the ecliptic of J2000, the equator of
// J2000, precession to the date and nutation. Angles in radians; an instant is a TT Julian date
// (`ttJd`) where the series take it and a UT one (`utJd`) where the clock gave it.

#include "ephemeris/angles.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/vec3.h"

#include <array>

namespace orvanta {

// Earth's equatorial horizontal parallax at 1 au: how far a body 1 au away shifts between the
// centre and the surface at the equator.
constexpr double PARALLAX_AT_1_AU = 8.794 * ARCSECOND;
constexpr double LIGHT_DAYS_PER_AU = 499.004784 / 86400;
constexpr double OBLIQUITY_J2000 = 84381.448 * ARCSECOND;

// Right ascension and declination in radians, on the equator the function that gives it names,
// and the distance from the centre of Earth in au: 0 for a direction only (a pole, a boundary's
// corner), where no parallax is asked of it.
struct Equatorial {
    double rightAscension;
    double declination;
    double distanceAu = 0;
};

// The angle between two places and the position angle of `to` seen from `from` (from the north,
// towards the pole, through the east, towards increasing right ascension), in degrees.
inline double separation(const Equatorial& a, const Equatorial& b) {
    return angleBetween(a.rightAscension, a.declination, b.rightAscension, b.declination);
}
inline double positionAngle(const Equatorial& from, const Equatorial& to) {
    return directionTo(from.rightAscension, from.declination, to.rightAscension, to.declination);
}

enum class Body { Mars, Sun };
enum class Aberration { Off, On };

// The share of each series' terms an evaluation keeps, as evaluateBody takes it: a search that
// only needs to come near cuts the series to a tenth or a quarter of them.
struct SeriesPrecision {
    float share;
    constexpr bool cut() const { return share < 1.0f; }
};
constexpr SeriesPrecision ALL_TERMS{1.0f};

// Heliocentric, ecliptic and equinox J2000, in au, from the full series.
Vec3 earthAt(double ttJd);
Vec3 marsAt(double ttJd);
// Earth's heliocentric velocity on the same axes, in au per day.
Vec3 earthVelocity(double ttJd);
// A geocentric direction (its length the distance the light travelled) as it appears from Earth
// moving at `earthVelocity`: the annual aberration.
Vec3 aberrated(const Vec3& geocentric, const Vec3& earthVelocity);

// The geocentric direction of Mars (or the Sun) on the ecliptic of J2000, with the light's time on
// the way taken off; with aberration, as it appears from the moving Earth. Its length is the
// distance the light travelled, in au.
Vec3 geocentric(Body body, double ttJd, Aberration aberration,
                SeriesPrecision precision = ALL_TERMS);
// Both, with aberration, from one Earth: what a search that compares them spends.
struct Geocentric {
    Vec3 mars, sun;
};
Geocentric geocentricMarsAndSun(double ttJd, SeriesPrecision precision);
// The same at the full series' precision from one evaluation of Mars, the light time's share of
// its path taken from the cut series: what a search spends on the places it settles with all the
// terms. Earth's velocity, which only the aberration takes, may come from a cut series: a tenth
// of the terms moves the places by up to 1e-6 of a degree, nothing for what is told to a tenth of
// one, but a fifth of a second in a root, which can carry it over a half minute.
struct FullPlaces {
    SeriesPrecision earthVelocity = ALL_TERMS;
};
Geocentric fullMarsAndSun(double ttJd, FullPlaces options = {});
// Mars at full precision at the two outer of three instants a few hours apart, as a rate takes it:
// the Earth of all three gives its velocity at both.
std::array<Vec3, 2> fullMarsAround(double beforeTtJd, double middleTtJd, double afterTtJd);

// A direction on the ecliptic of J2000 turned to the equator of J2000; its length the distance.
Equatorial equatorialJ2000(const Vec3& ecliptic);
// The same turn for a vector, which keeps its length.
Vec3 equatorialVectorJ2000(const Vec3& ecliptic);
// Precession from J2000 to the mean equator and equinox of `ttJd` (IAU 1976, Lieske).
Equatorial precessed(const Equatorial& p, double ttJd);
// The way back: a mean place of `ttJd` on the equator and equinox of J2000.
Equatorial unprecessed(const Equatorial& p, double ttJd);

// Nutation in longitude and obliquity, and the true obliquity, in radians: the leading terms of
// IAU 1980, good to half an arcsecond.
struct Nutation {
    double longitude, obliquity, trueObliquity;
};
Nutation nutation(double ttJd);
// A mean place of date moved to the true equator and equinox of date; right ascension in [0, 2π).
Equatorial nutated(const Equatorial& mean, double ttJd);

// The one way to a place of date, which everything drawn in the sky takes: a mean place on the
// equator of J2000 precessed and nutated to the true equator and equinox of `ttJd`, and a
// geocentric direction on the ecliptic of J2000 (its length the distance) turned to the equator
// first.
Equatorial ofDate(const Equatorial& j2000, double ttJd);
Equatorial apparentOfDate(const Vec3& eclipticJ2000, double ttJd);

// Apparent geocentric places of Mars and the Sun at a UT instant: light time, annual aberration,
// precession and nutation applied to the series' heliocentric positions. One that compares the two
// takes both at one instant, from one Earth.
Equatorial apparentMars(double utJd, SeriesPrecision precision = ALL_TERMS);
Equatorial apparentSun(double utJd);
struct ApparentPair {
    Equatorial mars, sun;
};
ApparentPair apparentMarsAndSun(double utJd, SeriesPrecision precision = ALL_TERMS);

} // namespace orvanta
