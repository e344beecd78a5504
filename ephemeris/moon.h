#pragma once

// The Moon: its geocentric place from Meeus's truncated ELP-2000/82 (Astronomical Algorithms, 2nd
// ed., chapter 47: about 10″ in longitude and 4″ in latitude), and places as seen from the surface,
// which for the Moon differ by up to a degree.

#include "ephemeris/sky.h"

namespace orvanta {

// The Moon's apparent geocentric place on the true equator and equinox of the UT instant; its
// distance in au.
Equatorial apparentMoon(double utJd);

// A point of the ecliptic of date (longitude and latitude in degrees, from the true equinox)
// turned to the true equator of date at a TT instant.
Equatorial equatorialOfDate(double longitude, double latitude, double distanceAu, double tt);

// The place of a body seen from `where` instead of the centre of Earth (Meeus chapter 40, the
// figure of Earth by IAU 1976): the parallax of the Moon is about 1°, that of Mars at most 25″.
Equatorial topocentric(const Equatorial& geocentric, double utJd, const Place& where);

// The degrees between the Moon and a body (Mars's apparentMars) seen from the place: from the
// centre of Earth the Moon would stand up to a degree elsewhere.
double moonFrom(const Equatorial& body, double utJd, const Place& where);
// The share of the Moon's disk that is lit, 0 (new) to 1 (full), from the geocentric places of the
// Moon and the Sun with their distances (Meeus chapter 48): the phase angle from the elongation.
double moonLitFraction(const Equatorial& moon, const Equatorial& sun);

// Within this many degrees the Moon is told as near Mars.
constexpr double MOON_NEAR_MARS = 10.0;

} // namespace orvanta
