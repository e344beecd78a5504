#include "rules/reminder_schedule.h"
#include "rules/whole_text.h"

#include <gtest/gtest.h>
#include <optional>

namespace orvanta {
namespace {

TEST(WholeText, NumbersAreTheWholeTextInPlainDecimal) {
    const struct {
        const char* text;
        std::optional<double> number;
    } cases[] = {
        {"12", 12},    {"-3", -3},   {"2452878.9", 2452878.9},
        {"1e3", 1000}, {"+1", {}},   {" 1", {}},
        {"1 ", {}},    {"", {}},     {"inf", {}},
        {"nan", {}},   {"0x10", {}}, {"1e400", {}},
        {"1,5", {}},   {"1.5.", {}}, {"-", {}},
        {".", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wholeNumber<double>(c.text), c.number) << c.text;
    }
    EXPECT_EQ(wholeNumber<int>("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(wholeNumber<int>("2147483648"), std::nullopt);
    EXPECT_EQ(wholeNumber<int>("1.5"), std::nullopt);
}

TEST(WholeText, TrimmedOfSpacesAndTabsOnly) {
    EXPECT_EQ(trimmed("  a b\t"), "a b");
    EXPECT_EQ(trimmed(" \t "), "");
    EXPECT_EQ(trimmed(""), "");
    EXPECT_EQ(trimmed("a"), "a");
    EXPECT_EQ(trimmed("\na\r"), "\na\r");
}

// The points come 30, 7 and 1 days before an approach and at its moment, the moment's still shown
// a minute after it.
TEST(ReminderSchedule, ThePointDueByTheClockAndWhatWasShown) {
    constexpr double APPROACH = 2461456.508950;
    constexpr double SECOND = 1.0 / 86400;
    const struct {
        double daysFromApproach;
        int latestShown;
        std::optional<int> due;
    } cases[] = {
        {-31, -1, {}},  // none yet
        {-30, -1, 0},   // the first, at its instant
        {-29.5, 0, {}}, // shown already
        {-10, -1, 0},   // passed unseen: shown late
        {-6.9, -1, 1},  // two passed unseen: only the latest
        {-6.9, 1, {}},
        {-0.5, 0, 2},          // a day before
        {-0.5, 3, {}},         // the clock set back after the moment was shown
        {-10, 2, {}},          // the clock set back a week
        {0, 2, 3},             // the moment
        {30 * SECOND, 2, 3},   // a refresh late
        {120 * SECOND, 2, {}}, // the moment passed
        {-1 * SECOND, -1, 2},  // a second before: the day's, the moment not yet
        {1, -1, {}},           // the approach passed unseen: nothing late
        {1, 2, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dueReminder(APPROACH, APPROACH + c.daysFromApproach, c.latestShown), c.due)
            << c.daysFromApproach << " days, " << c.latestShown << " shown";
    }
    EXPECT_TRUE(recordNames(APPROACH + 59 * SECOND, APPROACH));
    EXPECT_FALSE(recordNames(APPROACH - 61 * SECOND, APPROACH));
}

} // namespace
} // namespace orvanta
