// When a reminder is due: each point once, only the latest of those passed unseen, and none once
// the approach is behind.

#include "display/reminder_schedule.h"

#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(ReminderSchedule, EachPointOnceAndOnlyTheLatestPassed) {
    constexpr double A = 2461456.508950; // 2027-02-20T00:12:53 UT
    constexpr double MINUTE = 1.0 / 1440;
    constexpr int NONE = -1;
    struct Case {
        double daysBefore; // now = A - daysBefore
        int latestShown;
        int due; // NONE: nothing due
    };
    const Case cases[] = {
        {31, NONE, NONE},
        {30, NONE, 0}, // at the point itself
        {29, NONE, 0}, // passed while the program was not running
        {29, 0, NONE}, // already shown
        {6, NONE, 1},  // two passed unseen: only the latest
        {6, 0, 1},     //
        {20, 1, NONE}, // the clock set back: nothing again
        {0.5, 1, 2},   //
        {MINUTE / 2, 2, NONE},
        {-0.5 * MINUTE, 2, 3},  // the moment, seen a little late
        {-2 * MINUTE, 2, NONE}, // the approach is behind: nothing more
        {-2 * MINUTE, NONE, NONE},
        {0.5, 3, NONE},
    };
    for (const Case& c : cases) {
        const std::optional<int> due = dueReminder(A, A - c.daysBefore, c.latestShown);
        EXPECT_EQ(due.value_or(NONE), c.due) << c.daysBefore << " days before, " << c.latestShown;
    }
}

} // namespace
