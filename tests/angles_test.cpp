#include "ephemeris/angles.h"
#include "ephemeris/stars.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string_view>

namespace orvanta {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(Angles, WrapsIntoTheirRanges) {
    const struct {
        double angle, to360, to180;
    } cases[] = {
        {0, 0, 0},        {360, 0, 0},          {-90, 270, -90},     {180, 180, 180},
        {-180, 180, 180}, {540, 180, 180},      {-1e-17, 0, -1e-17}, {725, 5, 5},
        {-725, 355, -5},  {359.5, 359.5, -0.5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wrap360(c.angle), c.to360) << c.angle;
        EXPECT_EQ(wrap180(c.angle), c.to180) << c.angle;
    }
    EXPECT_TRUE(std::isnan(wrap360(NaN)));
    EXPECT_TRUE(std::isnan(wrap180(NaN)));
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
        {0, 0, PI / 2, 0, 90, 1e-12},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(angleBetween(c.ra1, c.dec1, c.ra2, c.dec2), c.degrees, c.within)
            << c.ra2 << " " << c.dec2;
    }
    const struct {
        double ra, dec, angle;
    } towards[] = {{0, 0.1, 0}, {0.1, 0, 90}, {0, -0.1, 180}, {-0.1, 0, 270}};
    for (const auto& t : towards) {
        EXPECT_NEAR(directionTo(0, 0, t.ra, t.dec), t.angle, 1e-9);
    }
}

TEST(Angles, CompassWordOfEveryAngle) {
    const struct {
        double angle;
        std::string_view word;
    } cases[] = {
        {0, "north"},
        {22.4, "north"},
        {22.5, "north-east"},
        {-22.4, "north"},
        {-22.6, "north-west"},
        {-30, "north-west"},
        {-1e-17, "north"},
        {359.9, "north"},
        {810, "east"},
        {-180, "south"},
        {NaN, ""},
        {std::numeric_limits<double>::infinity(), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compassWord(c.angle), c.word) << c.angle;
    }
    EXPECT_EQ(compassWord(-11.3, 16), "north-north-west");
    EXPECT_EQ(compassWord(236.2, 16), "south-west");
    EXPECT_EQ(compassWord(360 - 1e-14, 16), "north");
}

} // namespace
} // namespace orvanta
