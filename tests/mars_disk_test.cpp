// The disk of Mars against an independent implementation (tests/disk/reference.tsv, made by
// tests/disk/make_reference.sh) from 2003 to 2035; the geometry's directions on a disk whose
// answers follow from the definitions.

#include "ephemeris/julian_date.h"
#include "ephemeris/mars_disk.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace orvanta;

namespace {

double angleBetween(double a, double b) {
    return std::fabs(std::remainder(a - b, 360.0));
}

TEST(MarsDisk, AgreesWithAnIndependentImplementation) {
    std::ifstream table(ORVANTA_DISK_REFERENCE);
    std::string line;
    std::getline(table, line); // the heading
    int rows = 0;
    for (; std::getline(table, line); ++rows) {
        std::istringstream fields(line);
        std::string utc;
        double diameter = 0, phase = 0, tilt = 0, cm = 0, pole = 0;
        fields >> utc >> diameter >> phase >> tilt >> cm >> pole;
        SCOPED_TRACE(line);
        const auto n = [&](std::size_t at) { return std::stoi(utc.substr(at, 2)); };
        const MarsDisk disk = marsDiskAt(julianDateValue(julianDateFromCalendar(
            std::stoi(utc.substr(0, 4)), n(5), n(8), n(11) + n(14) / 60.0 + n(17) / 3600.0)));
        EXPECT_NEAR(disk.diameter / diameter, 1.0, 0.01);
        EXPECT_NEAR(disk.phase, phase, 0.002);
        EXPECT_NEAR(disk.defect, (1 - phase) * diameter, 0.01);
        EXPECT_NEAR(disk.tilt, tilt, 0.15);
        EXPECT_LT(angleBetween(disk.centralMeridian, cm), 0.15);
        EXPECT_LT(angleBetween(disk.poleAngle, pole), 0.15);
    }
    EXPECT_EQ(rows, 40);
}

// Mars rotates so that the surface comes in at the celestial east limb and leaves at the west;
// the Sun on the east lights the east half; the pole stands where its position angle points.
TEST(MarsDisk, DirectionsOnTheDisk) {
    const DiskGeometry upright(MarsDisk{10, 0.75, 2.5, 60, 90, 0, 100, 0});
    const struct {
        double x, y, latitude, westLongitude;
        bool lit;
    } points[] = {{0, 0, 0, 100, true},
                  {-0.5, 0, 0, 130, true},
                  {std::sqrt(0.75), 0, 0, 40, false},
                  {0, 0.5, 30, 100, true}};
    for (const auto& p : points) {
        const DiskGeometry::Surface s = upright.surfaceAt(p.x, p.y);
        EXPECT_NEAR(s.latitude, p.latitude, 1e-9) << p.x << ' ' << p.y;
        EXPECT_NEAR(s.westLongitude, p.westLongitude, 1e-9) << p.x << ' ' << p.y;
        EXPECT_EQ(s.sunlight > 1e-9, p.lit) << p.x << ' ' << p.y;
        const DiskGeometry::Seen back = upright.seen(p.latitude, p.westLongitude);
        EXPECT_NEAR(back.x, p.x, 1e-9);
        EXPECT_NEAR(back.y, p.y, 1e-9);
    }
    // Tilted 20° towards us, the north pole at position angle 90° (east).
    const DiskGeometry::Seen pole = DiskGeometry(MarsDisk{10, 1, 0, 0, 0, 20, 0, 90}).seen(90, 0);
    EXPECT_NEAR(pole.x, -std::cos(20 * M_PI / 180), 1e-9);
    EXPECT_NEAR(pole.y, 0, 1e-9);
    EXPECT_NEAR(pole.facing, std::sin(20 * M_PI / 180), 1e-9);
}

} // namespace
