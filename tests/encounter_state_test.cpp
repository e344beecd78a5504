#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/next_approach.h"
#include "ephemeris/utc_clock.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

using namespace orvanta;

namespace {

// Two instants away from the encounter; the closest approach itself is orvanta-state's worked
// output, to 17 digits.
TEST(EncounterState, WorkedValues) {
    const struct {
        UtcClockReading clock;
        std::vector<double> shown; // au, km, mi, arcseconds, light minutes, magnitude
        std::vector<int> left;     // days, hours, minutes
    } cases[] = {
        {{2000, 1, 1, 12, 0, 0},
         {1.849603882085, 276696801.104, 171939392.206, 5.060543011754, 15.382686350729,
          1.035820885405},
         {1333, 21, 52}},
        {{2003, 1, 1, 0, 0, 0},
         {2.051427006937, 306889110.698, 190700893.388, 4.562677574365, 17.061198089375,
          1.531497130367},
         {238, 9, 52}},
    };
    // The kilometre and mile values are given to the metre: half a metre is their tolerance.
    const double tolerance[] = {1e-11, 5e-4, 5e-4, 1e-11, 1e-11, 1e-11};
    FixedUtcClock clock(cases[0].clock);
    for (const auto& c : cases) {
        clock.set(c.clock);
        computeEncounterState();
        const EncounterState& s = encounterState;
        const double shown[] = {s.distanceAu,   s.distanceKm,
                                s.distanceMi,   s.apparentDiameterArcsec,
                                s.lightMinutes, s.magnitude};
        for (int i = 0; i < 6; ++i) {
            EXPECT_NEAR(shown[i], c.shown[i], tolerance[i]) << c.clock.year << " value " << i;
        }
        EXPECT_EQ((std::vector<int>{s.daysLeft, s.hoursLeft, s.minutesLeft}), c.left);
    }
}

// Around 2003's approach, and counting to the next approach instead: to 2027-02-20T00:12:53 UT,
// negative for a day after it, then to 2029-03-29T12:55:12, also with the clock set back; and to
// the approach of 2035 chosen, 2035-09-11T14:19:37 UT, which stays the target once passed.
TEST(EncounterState, CountdownAtChosenReadings) {
    constexpr auto Of2003 = CountdownTarget::Of2003;
    constexpr auto Next = CountdownTarget::Next;
    constexpr auto Chosen = CountdownTarget::Chosen;
    const struct {
        CountdownTarget target;
        UtcClockReading clock;
        std::int32_t days, hours, minutes;
    } cases[] = {
        {Of2003, {2003, 8, 26, 9, 52, 19}, 1, 0, 0},
        {Of2003, {2003, 8, 26, 9, 52, 20}, 0, 23, 59},
        {Of2003, {2003, 8, 26, 12, 0, 0}, 0, 21, 52},
        {Of2003, {2003, 8, 27, 9, 0, 0}, 0, 0, 52},
        {Of2003, {2003, 8, 27, 9, 52, 19}, 0, 0, 0},
        {Of2003, {2003, 8, 27, 10, 0, 0}, -1, 23, 52},
        {Of2003, {2003, 8, 28, 12, 0, 0}, -2, 21, 52},
        {Next, {2026, 12, 7, 0, 0, 0}, 75, 0, 12},
        {Next, {2027, 2, 20, 0, 12, 53}, 0, 0, 0},
        {Next, {2027, 2, 20, 1, 0, 0}, -1, 23, 12},
        {Next, {2027, 2, 21, 0, 12, 53}, -1, 0, 0},
        {Next, {2027, 2, 21, 0, 15, 0}, 767, 12, 40},
        {Next, {2026, 12, 7, 0, 0, 0}, 75, 0, 12},
        {Of2003, {2026, 12, 7, 0, 0, 0}, -8503, 9, 52},
        {Chosen, {2026, 12, 7, 0, 0, 0}, 3200, 14, 19},
        {Chosen, {2035, 9, 13, 12, 0, 0}, -2, 2, 19},
    };
    FixedUtcClock clock(cases[0].clock);
    for (const auto& c : cases) {
        setCountdownChoice({c.target, c.target == Chosen ? 2464582.096955 : 0.0});
        clock.set(c.clock);
        computeEncounterState();
        EXPECT_EQ((std::vector<int>{encounterState.daysLeft, encounterState.hoursLeft,
                                    encounterState.minutesLeft}),
                  (std::vector<int>{c.days, c.hours, c.minutes}))
            << &c - cases;
        EXPECT_EQ(countdownTargetJd() == CLOSEST_APPROACH_JD, c.target == Of2003) << &c - cases;
        EXPECT_EQ(countedApproach().has_value(), c.target != Of2003) << &c - cases;
    }
    setCountdownChoice({});
}

// The next approach as a clock moves on, kept a day (the countdown) or a minute (the reminders)
// after it: 2027-02-20T00:12:53 UT, then 2029-03-29T12:55:12; a clock set back, even by less than
// what is kept, gets the earlier one again; beyond the searched years there is none, until the
// clock is set back into them.
TEST(NextApproach, KeptUntilPassedThroughAClockSetBack) {
    const UtcClockReading of2027{2027, 2, 20, 0, 12, 53}, of2029{2029, 3, 29, 12, 55, 12};
    const struct {
        double keptPast;
        std::vector<std::pair<UtcClockReading, std::optional<UtcClockReading>>> steps;
    } cases[] = {
        {1.0,
         {{{2026, 12, 7, 0, 0, 0}, of2027},
          {{2027, 2, 20, 12, 0, 0}, of2027},
          {{2027, 2, 21, 0, 12, 0}, of2027},
          {{2027, 2, 21, 1, 0, 0}, of2029},
          {{2027, 2, 20, 12, 0, 0}, of2027},
          {{6001, 1, 1, 0, 0, 0}, std::nullopt},
          {{6002, 1, 1, 0, 0, 0}, std::nullopt},
          {{2028, 1, 1, 0, 0, 0}, of2029}}},
        {60.0 / 86400,
         {{{2027, 2, 20, 0, 13, 30}, of2027},
          {{2027, 2, 20, 0, 14, 0}, of2029},
          {{2027, 2, 20, 0, 13, 30}, of2027}}},
    };
    for (const auto& c : cases) {
        NextApproach next(c.keptPast);
        for (const auto& [now, expected] : c.steps) {
            const std::optional<ClosestApproach>& found =
                next.at(julianDateValue(julianDateOfReading(now)));
            ASSERT_EQ(found.has_value(), expected.has_value()) << now.year << "-" << now.month;
            EXPECT_EQ(&found, &next.latest());
            if (expected) {
                EXPECT_NEAR(found->julianDate, julianDateValue(julianDateOfReading(*expected)),
                            1.0 / 86400)
                    << c.keptPast << " at " << now.year << "-" << now.month << "-" << now.day;
            }
        }
    }
}

// Every second from two days before the event to two days after: the countdown, read as one
// duration, never goes up, stays in its ranges, and drops by at most one minute a second.
TEST(EncounterState, CountdownNeverIncreasesAcrossTheEvent) {
    std::int64_t previous = 0;
    for (int s = 0; s < 5 * 86400; ++s) {
        const int day = 25 + s / 86400, second = s % 86400;
        const int wholeHours = second / 3600, minutes = second / 60 % 60;
        const double hours =
            (minutes * 0.016666666666666666 + wholeHours) + (second % 60) * 0.0002777777777777778;
        const Countdown c = countdownTo(
            CLOSEST_APPROACH_JD, julianDateValue(julianDateFromCalendar(2003, 8, day, hours)));
        const std::int64_t left =
            std::int64_t{c.days} * 1440 + std::int64_t{c.hours} * 60 + c.minutes;
        ASSERT_TRUE(c.hours >= 0 && c.hours <= 23 && c.minutes >= 0 && c.minutes <= 59 &&
                    (s == 0 || (left <= previous && left >= previous - 1)))
            << "2003-08-" << day << " second " << second;
        previous = left;
    }
}

// The refresh runs every second on the GUI thread and must not allocate; a search allocates only
// its result. Every allocation of this test program goes through the counting operator new.
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
