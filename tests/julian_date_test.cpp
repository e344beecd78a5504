#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>

using namespace orvanta;

namespace {

// Through the clock, so the reading's hours, minutes and seconds are part of it.
TEST(CurrentJulianDate, WorkedValues) {
    struct ClockCase {
        UtcClockReading clock;
        std::int32_t day;
        double fraction;
    };
    const ClockCase cases[] = {
        {{2000, 1, 1, 12, 0, 0}, 2451545, 0.0},
        {{2000, 1, 1, 0, 0, 0}, 2451544, 0.5},
        {{1858, 11, 17, 0, 0, 0}, 2400000, 0.5},
        {{2003, 8, 27, 11, 59, 59}, 2452878, 0.9999884259259259},
        {{2003, 8, 27, 23, 59, 59}, 2452879, 0.49998842592592596},
        {{2003, 8, 27, 12, 0, 0}, 2452879, 0.0}, // exactly noon: no borrow
    };
    FixedUtcClock clock(cases[0].clock);
    for (const ClockCase& c : cases) {
        clock.set(c.clock);
        const JulianDate jd = currentJulianDate();
        EXPECT_EQ(jd.day, c.day) << c.clock.year << " " << c.clock.hour << ":" << c.clock.minute;
        EXPECT_EQ(jd.fraction, c.fraction) << c.clock.year << " " << c.clock.hour;
    }
}

// Day numbers against the C++ calendar library, which counts days from the Unix epoch (JD 2440588
// at noon) by an unrelated method: a wrong month term or leap rule shows on many of the days.
TEST(JulianDateFromCalendar, MatchesAnIndependentCalendarFrom1601To9999) {
    using namespace std::chrono;
    constexpr std::int64_t UNIX_EPOCH_JDN = 2440588;
    std::mt19937 random(20030827);
    const std::int64_t first = sys_days{year{1601} / January / 1}.time_since_epoch().count();
    const std::int64_t last = sys_days{year{9999} / December / 31}.time_since_epoch().count();
    std::uniform_int_distribution<std::int64_t> pick(first, last);

    auto check = [&](std::int64_t daysSinceEpoch) {
        const year_month_day date{sys_days{days{daysSinceEpoch}}};
        const int y = static_cast<int>(date.year());
        const unsigned m = unsigned{date.month()}, d = unsigned{date.day()};
        ASSERT_EQ(julianDateFromCalendar(y, m, d, 12.0).day, daysSinceEpoch + UNIX_EPOCH_JDN)
            << y << "-" << m << "-" << d;
    };
    check(first);
    check(last);
    for (int i = 0; i < 100000; ++i) {
        check(pick(random));
    }
}

} // namespace
