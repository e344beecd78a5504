// The refresh runs every second on the GUI thread and must not allocate. Every allocation of this
// test program goes through the counting operator new (closest_approach_test sees it count one).

#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(Allocation, RefreshAndEvaluationAllocateNothing) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState(); // anything lazily set up by the C library happens here
    const long before = allocationCount();
    computeEncounterState();
    Vec3 p{};
    evaluateEarth(2452878.5, p, 0.25f);
    evaluateMars(2452878.5, p, 0.25f);
    EXPECT_EQ(allocationCount() - before, 0);
}

} // namespace
