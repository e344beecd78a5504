#include "ephemeris/angles.h"
#include "ephemeris/stars.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>

namespace orvanta {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Each wrap exactly, at the ends of its range and a rounding below 0, and the whole degree of each
// angle; the compass word of any angle, NaN and infinity without a word.
TEST(Angles, WrapsAndCompassWordsOfEveryAngle) {
    const struct {
        double angle, to360, to180;
        int whole;
        std::string_view word;
    } cases[] = {
        {0, 0, 0, 0, "north"},
        {360, 0, 0, 0, "north"},
        {-90, 270, -90, 270, "west"},
        {-180, 180, 180, 180, "south"},
        {540, 180, 180, 180, "south"},
        {-1e-17, 0, -1e-17, 0, "north"},
        {-725, 355, -5, 355, "north"},
        {22.5, 22.5, 22.5, 23, "north-east"},
        {-22.6, 337.4, -22.6, 337, "north-west"},
        {NaN, NaN, NaN, 0, ""},
    };
    for (const auto& c : cases) {
        if (!std::isnan(c.angle)) {
            EXPECT_EQ(wrap360(c.angle), c.to360) << c.angle;
            EXPECT_EQ(wrap180(c.angle), c.to180) << c.angle;
            EXPECT_EQ(wholeDegrees(c.angle), c.whole) << c.angle;
        }
        EXPECT_EQ(compassWord(c.angle), c.word) << c.angle;
    }
    EXPECT_TRUE(std::isnan(wrap360(NaN)) && std::isnan(wrap180(NaN)));
    // A degree that rounds up to a whole turn is 0; half a turn back is half a turn on, in any
    // unit.
    EXPECT_EQ(wholeDegrees(359.6), 0);
    EXPECT_EQ(wrapSigned(-PI, 2 * PI), PI);
    EXPECT_EQ(wrapSigned(270.0, 360.0), -90.0);
    EXPECT_EQ(compassWord(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(compassWord(-11.3, 16), "north-north-west");
    EXPECT_EQ(compassWord(360 - 1e-14, 16), "north");
}

// Near 0° and 180° the arc cosine of the dot product loses half the digits: just where Mars is at
// opposition or a star is next to it.
TEST(Angles, SeparationHoldsItsDigitsAtEveryAngle) {
    const struct {
        double ra1, dec1, ra2, dec2, degrees, within;
    } cases[] = {
        {0, 0, 1e-9, 0, 1e-9 / DEGREE, 1e-20},
        {1, 0.3, 1, 0.3 + 2e-8, 2e-8 / DEGREE, 1e-14}, // 0.3 + 2e-8 is not exact
        {0, 0, PI - 1e-7, 0, 180 - 1e-7 / DEGREE, 1e-11},
        {0.5, 0.2, 0.5 + PI, -0.2, 180, 1e-11},
        {0, PI / 2, 2, 0, 90, 1e-12},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(angleBetween(c.ra1, c.dec1, c.ra2, c.dec2), c.degrees, c.within) << c.ra2;
    }
}

// A place known only as a direction (a pole, a boundary's corner) has no distance: seen from a
// place it stands where a star far away would, not at no altitude at all.
TEST(Angles, ADirectionWithoutDistanceIsSeenAsAFarStar) {
    const Place berlin{52.52, 13.40, 34};
    const double now = 2461456.5;
    for (const Equatorial direction : {Equatorial{1.0, 0.4}, Equatorial{4.0, -0.9}}) {
        const Equatorial far{direction.rightAscension, direction.declination, 1e12};
        const Horizontal seen = horizontalOf(direction, now, berlin);
        EXPECT_NEAR(seen.altitude, horizontalOf(far, now, berlin).altitude, 1e-12);
        EXPECT_NEAR(seen.azimuth, horizontalOf(far, now, berlin).azimuth, 1e-12);
    }
}

} // namespace
} // namespace orvanta
