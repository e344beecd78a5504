#include "ephemeris/vsop87.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>

using namespace orvanta;

namespace {

using Counts = std::array<std::int32_t, VSOP_SERIES_COUNT>;

int total(const Counts& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

constexpr double AU_TOLERANCE = 1e-11;

struct PositionCase {
    double jd;
    float factor;
    bool mars;
    Vec3 expected;
};

TEST(Vsop87, WorkedPositions) {
    const PositionCase cases[] = {
        {2451545.0, 1.0f, false, {-0.177135458587, 0.967241623682, -0.000003900032}},
        {2451545.0, 1.0f, true, {1.390715926436, -0.013415704305, -0.034467796654}},
        {2452878.911333, 1.0f, false, {0.905731782883, -0.447923462977, 0.000001197493}},
        {2452878.911333, 1.0f, true, {1.242156402874, -0.602445521591, -0.043138739723}},
        {2452878.911333, 0.25f, false, {0.905731672016, -0.447923468706, 0.000001189562}},
        {2452878.911333, 0.25f, true, {1.242156387953, -0.602445597511, -0.043138350975}},
    };
    for (const PositionCase& c : cases) {
        Vec3 p{};
        (c.mars ? evaluateMars : evaluateEarth)(c.jd, p, c.factor);
        SCOPED_TRACE(testing::Message()
                     << (c.mars ? "Mars" : "Earth") << " jd " << c.jd << " factor " << c.factor);
        EXPECT_NEAR(p.x, c.expected.x, AU_TOLERANCE);
        EXPECT_NEAR(p.y, c.expected.y, AU_TOLERANCE);
        EXPECT_NEAR(p.z, c.expected.z, AU_TOLERANCE);
    }
}

struct FactorCase {
    float factor;
    int earthTotal;
    int marsTotal;
};

TEST(Vsop87, ScaledTermCounts) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const FactorCase cases[] = {
        {1.0f, 3538, 7073}, {2.0f, 3538, 7073}, {0.0f, 3538, 7073},   {-1.0f, 3538, 7073},
        {nan, 3538, 7073},  {0.5f, 1766, 3532}, {0.999f, 3520, 7053}, {0.001f, 0, 2},
    };
    for (const FactorCase& c : cases) {
        EXPECT_EQ(total(scaledTermCounts(VSOP87A_EARTH, c.factor)), c.earthTotal) << c.factor;
        EXPECT_EQ(total(scaledTermCounts(VSOP87A_MARS, c.factor)), c.marsTotal) << c.factor;
    }
}

TEST(Vsop87, ScaledCountsPerSeries) {
    const Counts earthQuarter{210, 122, 51, 4, 3, 1, 213, 124, 50, 4, 3, 1, 44, 30, 13, 3, 1, 0};
    const Counts marsQuarter{396, 239, 96, 33, 10, 5,  403, 242, 96,
                             34,  11,  5,  88, 58, 30, 12,  4,   1};
    EXPECT_EQ(scaledTermCounts(VSOP87A_EARTH, 0.25f), earthQuarter);
    EXPECT_EQ(scaledTermCounts(VSOP87A_MARS, 0.25f), marsQuarter);

    // 0.999 truncates every count below itself; 0.001 leaves Mars one term in X0 and one in Y0.
    const Counts earthFull = VSOP87A_EARTH.counts;
    const Counts earth999 = scaledTermCounts(VSOP87A_EARTH, 0.999f);
    for (int k = 0; k < VSOP_SERIES_COUNT; ++k) {
        EXPECT_EQ(earth999[k], earthFull[k] - 1) << k;
    }
    const Counts marsThousandth = scaledTermCounts(VSOP87A_MARS, 0.001f);
    EXPECT_EQ(marsThousandth[0], 1);
    EXPECT_EQ(marsThousandth[6], 1);

    // 0.7 is 0.699999988 in single precision: Earth's Z1 (120 terms) keeps 83, not 84.
    EXPECT_EQ(scaledTermCounts(VSOP87A_EARTH, 0.7f)[13], 83);
}

TEST(Vsop87, AFactorWithNoEarthTermsGivesTheOrigin) {
    Vec3 p{1, 1, 1};
    evaluateEarth(2452878.911333, p, 0.001f);
    EXPECT_TRUE(p.x == 0.0 && p.y == 0.0 && p.z == 0.0);
}

// Over 2002-2004 the quarter-precision positions stay within 3.5e-7 AU (Earth) and 7e-7 AU (Mars)
// of the full series.
TEST(Vsop87, QuarterPrecisionStaysCloseOverTheEncounterYears) {
    for (double jd = 2452275.5; jd < 2453371.5; jd += 5.0) {
        Vec3 full{}, quarter{};
        evaluateEarth(jd, full, 1.0f);
        evaluateEarth(jd, quarter, 0.25f);
        EXPECT_LT(std::hypot(full.x - quarter.x, full.y - quarter.y, full.z - quarter.z), 3.5e-7)
            << jd;
        evaluateMars(jd, full, 1.0f);
        evaluateMars(jd, quarter, 0.25f);
        EXPECT_LT(std::hypot(full.x - quarter.x, full.y - quarter.y, full.z - quarter.z), 7e-7)
            << jd;
    }
}

} // namespace
