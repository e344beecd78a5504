#include "ephemeris/vsop87.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>

using namespace orvanta;

namespace {

using Counts = std::array<std::int32_t, VSOP_SERIES_COUNT>;

TEST(Vsop87, WorkedPositions) {
    const struct {
        double jd;
        float factor;
        bool mars;
        Vec3 expected;
    } cases[] = {
        {2451545.0, 1.0f, false, {-0.177135458587, 0.967241623682, -0.000003900032}},
        {2451545.0, 1.0f, true, {1.390715926436, -0.013415704305, -0.034467796654}},
        {2452878.911333, 1.0f, false, {0.905731782883, -0.447923462977, 0.000001197493}},
        {2452878.911333, 1.0f, true, {1.242156402874, -0.602445521591, -0.043138739723}},
        {2452878.911333, 0.25f, false, {0.905731672016, -0.447923468706, 0.000001189562}},
        {2452878.911333, 0.25f, true, {1.242156387953, -0.602445597511, -0.043138350975}},
        // A factor that leaves Earth no terms at all.
        {2452878.911333, 0.001f, false, {0.0, 0.0, 0.0}},
    };
    for (const auto& c : cases) {
        // Not zero: the destination is overwritten, not added to.
        Vec3 p{1.0, 1.0, 1.0};
        (c.mars ? evaluateMars : evaluateEarth)(c.jd, p, c.factor);
        SCOPED_TRACE(testing::Message()
                     << (c.mars ? "Mars" : "Earth") << " jd " << c.jd << " factor " << c.factor);
        EXPECT_NEAR(p.x, c.expected.x, 1e-11);
        EXPECT_NEAR(p.y, c.expected.y, 1e-11);
        EXPECT_NEAR(p.z, c.expected.z, 1e-11);
    }
}

// The totals show which factors keep every term (all but those strictly between 0 and 1) and that
// the counts are truncated, not rounded.
TEST(Vsop87, ScaledTermCounts) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float factor;
        int earthTotal;
        int marsTotal;
    } cases[] = {
        {1.0f, 3538, 7073}, {2.0f, 3538, 7073}, {0.0f, 3538, 7073},   {-1.0f, 3538, 7073},
        {nan, 3538, 7073},  {0.5f, 1766, 3532}, {0.999f, 3520, 7053}, {0.001f, 0, 2},
    };
    auto total = [](const Counts& counts) {
        return std::accumulate(counts.begin(), counts.end(), 0);
    };
    for (const auto& c : cases) {
        EXPECT_EQ(total(scaledTermCounts(VSOP87A_EARTH, c.factor)), c.earthTotal) << c.factor;
        EXPECT_EQ(total(scaledTermCounts(VSOP87A_MARS, c.factor)), c.marsTotal) << c.factor;
    }
    const Counts earthQuarter{210, 122, 51, 4, 3, 1, 213, 124, 50, 4, 3, 1, 44, 30, 13, 3, 1, 0};
    const Counts marsQuarter{396, 239, 96, 33, 10, 5,  403, 242, 96,
                             34,  11,  5,  88, 58, 30, 12,  4,   1};
    EXPECT_EQ(scaledTermCounts(VSOP87A_EARTH, 0.25f), earthQuarter);
    EXPECT_EQ(scaledTermCounts(VSOP87A_MARS, 0.25f), marsQuarter);
    // 0.7 is 0.699999988 in single precision: Earth's Z1 (120 terms) keeps 83, not 84.
    EXPECT_EQ(scaledTermCounts(VSOP87A_EARTH, 0.7f)[13], 83);
}

// The bound must hold wherever the searches go (four millennia either side of J2000, where the
// powers of t weigh most), either way round, and be close enough to be of use.
TEST(Vsop87, CutDifferenceBoundHoldsAndIsOfUse) {
    const struct {
        double jd;
        float factor;
        float other;
    } cases[] = {
        {2451545.0, 0.1f, 0.25f},
        {2451545.0 + 1461000.0, 0.1f, 0.25f},
        {2451545.0 - 1461000.0, 0.1f, 0.25f},
        {2452878.911333, 0.25f, 0.1f},
        {2452878.911333, 0.1f, 1.0f},
        {2452878.911333, 0.25f, 0.25f},
    };
    for (const auto& c : cases) {
        for (const VsopBody* body : {&VSOP87A_EARTH, &VSOP87A_MARS}) {
            SCOPED_TRACE(testing::Message() << "jd " << c.jd << " factors " << c.factor << ' '
                                            << c.other << (body == &VSOP87A_MARS ? " Mars" : ""));
            Vec3 a{}, b{};
            evaluateBody(*body, c.jd, a, c.factor);
            evaluateBody(*body, c.jd, b, c.other);
            const Vec3 bound = cutDifferenceBound(*body, c.jd, c.factor, c.other);
            const double off[3][2] = {
                {a.x - b.x, bound.x}, {a.y - b.y, bound.y}, {a.z - b.z, bound.z}};
            for (const auto& [difference, within] : off) {
                EXPECT_LE(std::abs(difference), within);
                EXPECT_LT(within, 2e-4);
                EXPECT_EQ(within == 0.0, c.factor == c.other);
            }
        }
    }
}

} // namespace
