#pragma once

// Mars as a telescope shows it at a UT instant: how large, how gibbous, which pole is tilted
// towards Earth, and which face turns to us. The orientation of Mars is the IAU model of the
// Working Group on Cartographic Coordinates and Rotational Elements, its report for 2015
// (Archinal et al. 2018), with the periodic terms of the pole and the prime meridian. Longitudes
// are west, as the IAU counts them on Mars; latitudes are areocentric, as Meeus's D_E.

#include "ephemeris/vec3.h"

#include <span>

namespace orvanta {

struct MarsDisk {
    double diameter;        // arcseconds, the equatorial diameter
    double phase;           // the illuminated fraction of the disk, 0 to 1
    double defect;          // arcseconds of the diameter along the line to the Sun left unlit
    double phaseAngle;      // degrees, Sun - Mars - Earth
    double brightLimb;      // degrees, position angle of the middle of the bright limb
    double tilt;            // degrees, latitude of the sub-Earth point, north positive
    double centralMeridian; // degrees, west longitude of the sub-Earth point, 0 to 360
    double poleAngle;       // degrees, position angle of the north pole, 0 to 360
    double solarLongitude;  // degrees, Ls: the Sun's areocentric longitude, 0 at the northern
                            // spring equinox, 0 to 360
};
// Position angles are measured from the north celestial pole of date through east. The sub-Earth
// point and the rotation are taken when the light left Mars.
MarsDisk marsDiskAt(double utJd);
// The disk's central meridian alone, for the many instants a night's faces are found at.
double centralMeridianAt(double utJd);

// The Martian season at a TT Julian date: the areocentric longitude of the Sun, Ls, in degrees
// from 0 to 360, after Allison and McEwen (2000), "A post-Pathfinder evaluation of areocentric
// solar coordinates with improved timing recipes for Mars seasonal/diurnal climate studies",
// Planet. Space Sci. 48, 215, with the corrections its authors have published since; good to
// about 0.01° within a few centuries of 2000.
double marsSolarLongitude(double ttJd);

// Where the disk's geometry puts a point of the sky or of the surface. Sky coordinates are in
// radii of the disk, x towards celestial west and y towards celestial north (so the west limb is
// on the right with north up, as the naked eye sees it).
class DiskGeometry {
  public:
    explicit DiskGeometry(const MarsDisk& disk);
    struct Surface {
        double latitude, westLongitude; // degrees
        double sunlight;                // the cosine of the Sun's zenith angle there; night below 0
    };
    // The surface under a point of the disk, x² + y² ≤ 1.
    Surface surfaceAt(double x, double y) const;
    struct Seen {
        double x, y;
        double facing; // the cosine of the angle from the sub-Earth point; the far side below 0
    };
    Seen seen(double latitude, double westLongitude) const;

  private:
    Vec3 pole_, meridian_, east_, sun_;
    double centralMeridian_;
};

// Where a feature's name comes from: an albedo feature, a light or dark marking a telescope shows,
// named by Schiaparelli and the mappers after him from classical antiquity and approved by the IAU
// in 1958; or a landform the spacecraft mapped, under the name the IAU approved for it since.
enum class FeatureName { Albedo, Landform };
// Named features of Mars with the planetocentric latitude and west longitude of their centres,
// from the IAU/USGS Gazetteer of Planetary Nomenclature.
struct MarsFeature {
    const char* name;
    double latitude, westLongitude;
    FeatureName from;
};
std::span<const MarsFeature> marsFeatures();

} // namespace orvanta
