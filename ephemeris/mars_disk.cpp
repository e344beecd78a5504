#include "ephemeris/mars_disk.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/time_scales.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvanta {

namespace {

// The diameter the encounter state shows: 2 x 4.68" at 1 au. The IAU's equatorial radius of
// 3396.19 km makes it 9.365", 0.05 % more.
constexpr double DIAMETER_AT_1_AU = 2 * MARS_SEMI_DIAMETER_AT_1_AU_ARCSEC;

double sine(double degrees) {
    return std::sin(degrees * DEGREE);
}

double cosine(double degrees) {
    return std::cos(degrees * DEGREE);
}

// The pole's right ascension and declination on the equator of J2000 and the prime meridian's
// angle, in degrees, `d` days of TT from J2000: the IAU 2015 model of Mars.
struct Orientation {
    double ra, dec, w;
};
Orientation orientationAt(double d) {
    const double t = d / JULIAN_CENTURY_DAYS;
    const double ra = 317.269202 - 0.10927547 * t +
                      0.000068 * sine(198.991226 + 19139.4819985 * t) +
                      0.000238 * sine(226.292679 + 38280.8511281 * t) +
                      0.000052 * sine(249.663391 + 57420.7251593 * t) +
                      0.000009 * sine(266.183510 + 76560.6367950 * t) +
                      0.419057 * sine(79.398797 + 0.5042615 * t);
    const double dec = 54.432516 - 0.05827105 * t +
                       0.000051 * cosine(122.433576 + 19139.9407476 * t) +
                       0.000141 * cosine(43.058401 + 38280.8753272 * t) +
                       0.000031 * cosine(57.663379 + 57420.7517205 * t) +
                       0.000005 * cosine(79.476401 + 76560.6495004 * t) +
                       1.591274 * cosine(166.325722 + 0.5042615 * t);
    const double w = 176.049863 + 350.891982443297 * d +
                     0.000145 * sine(129.071773 + 19140.0328244 * t) +
                     0.000157 * sine(36.352167 + 38281.0473591 * t) +
                     0.000040 * sine(56.668646 + 57420.9295360 * t) +
                     0.000001 * sine(67.364003 + 76560.2552215 * t) +
                     0.000001 * sine(104.792680 + 95700.4387578 * t) +
                     0.584542 * sine(95.391654 + 0.5042615 * t);
    return {ra, dec, w};
}

// Where Mars turns its face to Earth, as the light that reaches Earth at `tt` left it: from the
// geometric vector to Mars, light time taken off its rotation and pole.
struct SubEarth {
    double emitted; // TT
    Orientation orientation;
    double tilt, centralMeridian;
};
SubEarth subEarthOf(const Vec3& toMars, double tt) {
    const double emitted = tt - toMars.length() * LIGHT_DAYS_PER_AU;
    const Orientation o = orientationAt(emitted - J2000_JD);
    const Vec3 pole{cosine(o.dec) * cosine(o.ra), cosine(o.dec) * sine(o.ra), sine(o.dec)};
    const Vec3 earth = unit(equatorialVectorJ2000(toMars * -1.0));
    // The prime meridian stands W east of the node of Mars's equator on the equator of J2000.
    const Vec3 node{-sine(o.ra), cosine(o.ra), 0};
    const double earthFromNode = std::atan2(earth.dot(cross(pole, node)), earth.dot(node));
    return {emitted, o, std::asin(earth.dot(pole)) / DEGREE, wrap360(o.w - earthFromNode / DEGREE)};
}

} // namespace

double marsSolarLongitude(double ttJd) {
    const double d = ttJd - J2000_JD;
    // The mean anomaly and the fictitious mean Sun's longitude, then the planets' perturbations
    // (amplitude in degrees, period in Julian years, phase in degrees) and the equation of centre.
    const double m = 19.3871 + 0.52402073 * d;
    const double meanSun = 270.3871 + 0.524038496 * d;
    static constexpr struct {
        double amplitude, period, phase;
    } PERTURBATIONS[] = {{0.0071, 2.2353, 49.409},  {0.0057, 2.7543, 168.173},
                         {0.0039, 1.1177, 191.837}, {0.0037, 15.7866, 21.736},
                         {0.0021, 2.1354, 15.704},  {0.0020, 2.4694, 95.528},
                         {0.0018, 32.8493, 49.095}};
    double perturbation = 0;
    for (const auto& p : PERTURBATIONS) {
        perturbation += p.amplitude * cosine(0.985626 * d / p.period + p.phase);
    }
    const double centre = (10.691 + 3.0e-7 * d) * sine(m) + 0.623 * sine(2 * m) +
                          0.050 * sine(3 * m) + 0.005 * sine(4 * m) + 0.0005 * sine(5 * m) +
                          perturbation;
    return wrap360(meanSun + centre);
}

double centralMeridianAt(double utJd) {
    const double tt = ttOfUt(utJd);
    return subEarthOf(geocentric(Body::Mars, tt, Aberration::Off), tt).centralMeridian;
}

MarsDisk marsDiskAt(double utJd) {
    const double tt = ttOfUt(utJd);
    const Vec3 toMars = geocentric(Body::Mars, tt, Aberration::Off);
    const SubEarth sub = subEarthOf(toMars, tt);
    const double emitted = sub.emitted;
    const Vec3 toSun = marsAt(emitted) * -1.0;
    const double cosPhase = toSun.dot(toMars * -1.0) / (toSun.length() * toMars.length());

    MarsDisk disk{};
    disk.diameter = DIAMETER_AT_1_AU / toMars.length();
    disk.phaseAngle = std::acos(cosPhase) / DEGREE;
    disk.phase = (1 + cosPhase) / 2;
    disk.defect = (1 - disk.phase) * disk.diameter;
    // The season Mars is in when the light left it.
    disk.solarLongitude = marsSolarLongitude(emitted);
    disk.tilt = sub.tilt;
    disk.centralMeridian = sub.centralMeridian;
    const Orientation& o = sub.orientation;

    // Aberration as geocentric() adds it, to the light-time vectors already at hand.
    const Vec3 velocity = earthVelocity(tt);
    const Equatorial mars = apparentOfDate(aberrated(toMars, velocity), tt);
    const Equatorial poleOfDate = ofDate({o.ra * DEGREE, o.dec * DEGREE}, tt);
    disk.poleAngle = positionAngle(mars, poleOfDate);
    disk.brightLimb =
        positionAngle(mars, apparentOfDate(aberrated(earthAt(tt) * -1.0, velocity), tt));
    return disk;
}

// The axes in the sky: x west, y north, z from Mars towards Earth.
DiskGeometry::DiskGeometry(const MarsDisk& disk) : centralMeridian_(disk.centralMeridian) {
    const double d = disk.tilt, p = disk.poleAngle;
    pole_ = {-cosine(d) * sine(p), cosine(d) * cosine(p), sine(d)};
    // Along the central meridian to the equator, and from there a quarter turn on, towards
    // increasing east longitude.
    meridian_ = unit(Vec3{0, 0, 1} - pole_ * sine(d));
    east_ = cross(pole_, meridian_);
    const double i = disk.phaseAngle, limb = disk.brightLimb;
    sun_ = {-sine(i) * sine(limb), sine(i) * cosine(limb), cosine(i)};
}

DiskGeometry::Surface DiskGeometry::surfaceAt(double x, double y) const {
    const double z = std::sqrt(std::max(0.0, 1 - x * x - y * y));
    const auto along = [&](const Vec3& a) { return x * a.x + y * a.y + z * a.z; };
    const double east = std::atan2(along(east_), along(meridian_)) / DEGREE;
    return {std::asin(std::clamp(along(pole_), -1.0, 1.0)) / DEGREE,
            wrap360(centralMeridian_ - east), along(sun_)};
}

DiskGeometry::Seen DiskGeometry::seen(double latitude, double westLongitude) const {
    const double east = centralMeridian_ - westLongitude;
    const double m = cosine(latitude) * cosine(east), e = cosine(latitude) * sine(east),
                 n = sine(latitude);
    return {m * meridian_.x + e * east_.x + n * pole_.x,
            m * meridian_.y + e * east_.y + n * pole_.y,
            m * meridian_.z + e * east_.z + n * pole_.z};
}

std::span<const MarsFeature> marsFeatures() {
    // The centres as the IAU/USGS Gazetteer of Planetary Nomenclature gives them, planetocentric,
    // east longitudes turned west (360 - east). The albedo features keep the round planetographic
    // places of the IAU's list of 1958, their latitudes made planetocentric by the Gazetteer;
    // where a landform lies under one (Syrtis Major Planum under Syrtis Major, Olympus Mons under
    // Nix Olympica) the telescope sees the albedo feature, and only one of the two is named.
    using enum FeatureName;
    static constexpr std::array<MarsFeature, 18> FEATURES{{
        {"Syrtis Major", 9.88, 290.0, Albedo},
        {"Hellas", -39.67, 290.0, Albedo},
        {"Mare Acidalium", 44.66, 30.0, Albedo},
        {"Sinus Meridiani", -4.94, 0.0, Albedo},
        {"Mare Erythraeum", -24.74, 40.0, Albedo},
        {"Solis Lacus", -27.72, 90.0, Albedo},
        {"Mare Tyrrhenum", -19.78, 250.0, Albedo},
        {"Mare Cimmerium", -19.78, 220.0, Albedo},
        {"Elysium", 24.74, 210.0, Albedo},
        {"Mare Sirenum", -29.71, 155.0, Albedo},
        {"Sinus Sabaeus", -7.91, 340.0, Albedo},
        {"Utopia", 49.67, 250.0, Albedo},
        {"Isidis Planitia", 12.9, 273.0, Landform},
        {"Amazonis Planitia", 24.8, 164.0, Landform},
        {"Olympus Mons", 18.65, 133.8, Landform},
        {"Valles Marineris", -13.9, 59.2, Landform},
        {"Argyre Planitia", -49.7, 44.0, Landform},
        {"Chryse Planitia", 28.4, 40.3, Landform},
    }};
    return FEATURES;
}

} // namespace orvanta
