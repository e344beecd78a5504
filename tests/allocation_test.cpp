// The refresh runs every second on the GUI thread and must not allocate; a search allocates only
// its result. Every allocation of this test program goes through the counting operator new.

#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(Allocation, RefreshEvaluationAndSearchAllocateOnlyTheirResults) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState(); // anything lazily set up by the C library happens here
    const long before = allocationCount();
    computeEncounterState();
    Vec3 p{};
    evaluateEarth(2452878.5, p, 0.25f);
    evaluateMars(2452878.5, p, 0.25f);
    const auto next = nextClosestApproachAfter(2452640.5);
    EXPECT_EQ(allocationCount() - before, 0);
    // 1990 to 2060: one allocation however many approaches it holds.
    const auto found = findClosestApproaches(2447892.5, 2472364.5);
    EXPECT_EQ(allocationCount() - before, 1);
    EXPECT_TRUE(found.size() > 1 && next.has_value());
}

} // namespace
