#pragma once

// Mars in the sky of a place: its apparent place (apparent_place.h), the height and direction it
// is seen at, when it rises, culminates and sets, and the constellation it is in.
// Pure: no clock is read, every instant is a UT Julian date given by the caller (the UTC clock
// taken as UT1).

#include "ephemeris/apparent_place.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct Place {
    double latitude;  // degrees, north positive
    double longitude; // degrees, east positive
    double height;    // metres above sea level
};

// Greenwich apparent sidereal time in degrees, 0 to 360: the mean sidereal time of IAU 1982 from UT
// and the equation of the equinoxes.
double apparentSiderealTime(double utJd);

struct Horizontal {
    double altitude; // degrees above the horizon, topocentric
    double azimuth;  // degrees from north through east
};
// Where a body is seen from the place, without refraction.
Horizontal horizontalOf(const Equatorial& place, double utJd, const Place& where);
// The same for many places at one instant, the sidereal time found once.
std::vector<Horizontal> horizontalOf(const std::vector<Equatorial>& places, double utJd,
                                     const Place& where);
// The standard refraction (Saemundsson) added to a true altitude, in degrees.
double refracted(double trueAltitude);

struct SkyEvent {
    double utJd;
    double degrees; // the azimuth at rise and set, the refracted altitude at transit
};
// Every rise, upper transit and set from `from` to `to`, in order: the rise and set of the centre
// of Mars at a true altitude of -0°34′ (refraction at the horizon included), and the upper
// transit. Tonight's pass is chosen from them (night.h).
struct MarsEvents {
    std::vector<SkyEvent> rises, transits, sets;
    bool alwaysUp = false; // above the horizon all the while
    bool everUp = false;
};
MarsEvents marsEvents(double fromUtJd, double toUtJd, const Place& where);

// Where Mars and the Sun are seen from the place, every `step` days from `from` to `to`: the
// positions interpolated between places a few hours apart, which is cheap enough for a picture.
struct SkySample {
    double utJd;
    Horizontal mars; // true altitude, without refraction
    double sunAltitude;
};
std::vector<SkySample> skySamples(double from, double to, double step, const Place& where);

// The constellation Mars is in, by its IAU name ("Leo"), from the boundaries of Roman (1987).
std::string marsConstellation(double utJd);
// The constellation of a direction on the equator and equinox of J2000 (radians).
std::string constellationOf(double raJ2000, double decJ2000);
// The same for a place on the equator of a UT instant (nutation, 17″ at most, left aside).
std::string constellationOfDate(const Equatorial& place, double utJd);

} // namespace orvanta
