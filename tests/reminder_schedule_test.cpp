#include "display/reminder_schedule.h"

#include <gtest/gtest.h>
#include <optional>

using namespace orvanta;

namespace {

constexpr double APPROACH = 2461456.508950; // 2027-02-20T00:12:53 UT
constexpr double SECOND = 1.0 / 86400;

// The points are 30 days, 7 days and 1 day before and the moment (0 to 3); of points passed
// unseen only the latest comes, and nothing once the approach has passed, a minute's grace for the
// moment's own; a clock set back never brings back a point shown.
TEST(ReminderSchedule, TheDuePointAtEachInstant) {
    const struct {
        double daysBefore;
        int latestShown;
        std::optional<int> due;
    } cases[] = {
        {31, -1, std::nullopt},
        {30 + SECOND, -1, std::nullopt},
        {30, -1, 0},
        {29.5, -1, 0},
        {29.5, 0, std::nullopt},
        {10, -1, 0},
        {7, 0, 1},
        {2, -1, 1},   // the 30 days' point passed unseen: only the 7 days'
        {0.5, -1, 2}, // three passed unseen: only the day's
        {0.5, 2, std::nullopt},
        {SECOND, 2, std::nullopt},
        {0, 2, 3},
        {-30 * SECOND, 2, 3},
        {-30 * SECOND, 3, std::nullopt},
        {-61 * SECOND, 2, std::nullopt}, // passed: no moment's reminder late
        {-61 * SECOND, -1, std::nullopt},
        {-2, -1, std::nullopt},
        {5, 2, std::nullopt},   // the clock set back after the day's point was shown
        {0.5, 3, std::nullopt}, // and after the moment's
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dueReminder(APPROACH, APPROACH - c.daysBefore, c.latestShown), c.due)
            << c.daysBefore << " days before, " << c.latestShown << " shown";
    }
}

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
