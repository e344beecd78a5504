#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <new>

namespace {

struct StateCase {
    UtcClockReading clock;
    double distanceAu, distanceKm, distanceMi, apparentDiameterArcsec, lightMinutes, magnitude;
    std::int32_t days, hours, minutes;
};

TEST(EncounterState, WorkedValues) {
    const StateCase cases[] = {
        {{2000, 1, 1, 12, 0, 0},
         1.849603882085,
         276696801.104,
         171939392.206,
         5.060543011754,
         15.382686350729,
         1.035820885405,
         1333,
         21,
         52},
        {{2003, 1, 1, 0, 0, 0},
         2.051427006937,
         306889110.698,
         190700893.388,
         4.562677574365,
         17.061198089375,
         1.531497130367,
         238,
         9,
         52},
        {{2003, 8, 27, 9, 52, 19},
         0.372719258581,
         55758007.192,
         34648025.669,
         25.112735080111,
         3.099811536492,
         -2.881739620996,
         0,
         0,
         0},
    };
    FixedUtcClock clock(cases[0].clock);
    for (const StateCase& c : cases) {
        clock.set(c.clock);
        computeEncounterState();
        const EncounterState& s = encounterState;
        SCOPED_TRACE(testing::Message()
                     << c.clock.year << "-" << c.clock.month << "-" << c.clock.day);
        EXPECT_NEAR(s.distanceAu, c.distanceAu, 1e-11);
        // The kilometre and mile values are given to the metre: half a metre is the tolerance.
        EXPECT_NEAR(s.distanceKm, c.distanceKm, 5e-4);
        EXPECT_NEAR(s.distanceMi, c.distanceMi, 5e-4);
        EXPECT_NEAR(s.apparentDiameterArcsec, c.apparentDiameterArcsec, 1e-11);
        EXPECT_NEAR(s.lightMinutes, c.lightMinutes, 1e-11);
        EXPECT_NEAR(s.magnitude, c.magnitude, 1e-11);
        EXPECT_EQ(s.daysLeft, c.days);
        EXPECT_EQ(s.hoursLeft, c.hours);
        EXPECT_EQ(s.minutesLeft, c.minutes);
    }
}

struct CountdownCase {
    UtcClockReading clock;
    std::int32_t days, hours, minutes;
};

TEST(EncounterState, CountdownAtChosenReadings) {
    const CountdownCase cases[] = {
        {{2003, 8, 26, 9, 52, 19}, 1, 0, 0},   {{2003, 8, 26, 9, 52, 20}, 0, 23, 59},
        {{2003, 8, 26, 10, 0, 0}, 0, 23, 52},  {{2003, 8, 26, 12, 0, 0}, 0, 21, 52},
        {{2003, 8, 27, 9, 0, 0}, 0, 0, 52},    {{2003, 8, 27, 9, 52, 19}, 0, 0, 0},
        {{2003, 8, 27, 10, 0, 0}, -1, 23, 52}, {{2003, 8, 27, 15, 52, 19}, -1, 18, 0},
        {{2003, 8, 28, 12, 0, 0}, -2, 21, 52},
    };
    FixedUtcClock clock(cases[0].clock);
    for (const CountdownCase& c : cases) {
        clock.set(c.clock);
        computeEncounterState();
        SCOPED_TRACE(testing::Message() << c.clock.day << " " << c.clock.hour << ":"
                                        << c.clock.minute << ":" << c.clock.second);
        EXPECT_EQ(encounterState.daysLeft, c.days);
        EXPECT_EQ(encounterState.hoursLeft, c.hours);
        EXPECT_EQ(encounterState.minutesLeft, c.minutes);
    }
}

// Every second from two days before the event to two days after: the countdown, read as one
// duration, never goes up, stays in its ranges, and drops by at most one minute a second.
TEST(EncounterState, CountdownNeverIncreasesAcrossTheEvent) {
    std::int64_t previous = INT64_MAX;
    for (int day = 25; day <= 29; ++day) {
        for (int second = 0; second < 86400; ++second) {
            const double hours = ((second / 60 % 60) * 0.016666666666666666 + second / 3600) +
                                 (second % 60) * 0.0002777777777777778;
            const Countdown c = countdownTo(
                CLOSEST_APPROACH_JD, julianDateValue(julianDateFromCalendar(2003, 8, day, hours)));
            ASSERT_GE(c.hours, 0);
            ASSERT_LE(c.hours, 23);
            ASSERT_GE(c.minutes, 0);
            ASSERT_LE(c.minutes, 59);
            const std::int64_t left = std::int64_t{c.days} * 1440 + c.hours * 60 + c.minutes;
            if (previous != INT64_MAX) {
                ASSERT_LE(left, previous) << "2003-08-" << day << " second " << second;
                ASSERT_GE(left, previous - 1) << "2003-08-" << day << " second " << second;
            }
            previous = left;
        }
    }
}

// Counting to the next approach: to 2027-02-20T00:14:02 (UTC), negative for a day after it, then
// to 2029-03-29T12:56:21; the 2003 countdown is untouched when not asked for.
TEST(EncounterState, CountdownToTheNextApproachRollsOverADayAfterIt) {
    struct NextCase {
        UtcClockReading clock;
        std::int32_t days, hours, minutes;
    };
    const NextCase cases[] = {
        {{2026, 12, 7, 0, 0, 0}, 75, 0, 14},    {{2027, 2, 20, 0, 14, 0}, 0, 0, 0},
        {{2027, 2, 20, 1, 0, 0}, -1, 23, 14},   {{2027, 2, 21, 0, 14, 0}, -1, 0, 0},
        {{2027, 2, 21, 0, 15, 0}, 767, 12, 41}, {{2026, 12, 7, 0, 0, 0}, 75, 0, 14}, // clock back
    };
    FixedUtcClock clock(cases[0].clock);
    setCountdownToNextApproach(true);
    for (const NextCase& c : cases) {
        clock.set(c.clock);
        computeEncounterState();
        SCOPED_TRACE(testing::Message()
                     << c.clock.year << "-" << c.clock.month << "-" << c.clock.day << " "
                     << c.clock.hour << ":" << c.clock.minute);
        EXPECT_EQ(encounterState.daysLeft, c.days);
        EXPECT_EQ(encounterState.hoursLeft, c.hours);
        EXPECT_EQ(encounterState.minutesLeft, c.minutes);
    }
    setCountdownToNextApproach(false);
    computeEncounterState();
    EXPECT_EQ(countdownTargetJd(), CLOSEST_APPROACH_JD);
    EXPECT_EQ(encounterState.daysLeft, -8503);
}

} // namespace
