#include "rules/reminder_schedule.h"

#include <gtest/gtest.h>

using namespace orvanta;

namespace {

constexpr double APPROACH = 2461456.508950; // 2027-02-20T00:12:53 UT
constexpr double SECOND = 1.0 / 86400;

// A kept record names the approach within a minute of its instant, either side.
TEST(ReminderSchedule, ARecordNamesTheApproachWithinAMinute) {
    const struct {
        double offsetSeconds;
        bool names;
    } cases[] = {{0, true},   {0.05, true}, {59, true},    {-59, true},
                 {61, false}, {-61, false}, {86400, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(recordNames(APPROACH + c.offsetSeconds * SECOND, APPROACH), c.names)
            << c.offsetSeconds;
    }
}

} // namespace
