// Mars tonight's words and marks built from the record: the whole hours of the place's clock
// along the track, in zones on, half past and three quarters past the hour and across the
// changes of summer time.

#include "display/sky_hours.h"
#include "ephemeris/julian_date.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

double jdAt(int year, int month, int day, double hours) {
    return julianDateValue(julianDateFromCalendar(year, month, day, hours));
}

// Samples every ten minutes, reached by sums as the track's are.
std::vector<SkySample> samplesFrom(double from, int count) {
    constexpr double STEP = 10.0 / 1440;
    std::vector<SkySample> samples;
    double t = std::floor(from / STEP) * STEP;
    for (int i = 0; i < count; ++i, t += STEP) {
        samples.push_back(SkySample{t, {20, 90}, -30});
    }
    return samples;
}

TEST(SkyHours, EveryZoneHasItsWholeHours) {
    struct Mark {
        int hour;
        int minutes; // after the first sample, in UT
        double fraction;
    };
    const struct {
        const char* zone;
        double from;       // the first sample
        int before, after; // the offsets in minutes, and the change between them
        double change;
        std::vector<Mark> marks;
    } cases[] = {
        {"Berlin, +1:00",
         jdAt(2027, 2, 19, 12),
         60,
         60,
         0,
         {{13, 0, 0}, {14, 60, 0}, {15, 120, 0}, {16, 180, 1}}},
        {"Delhi, +5:30",
         jdAt(2027, 2, 19, 12),
         330,
         330,
         0,
         {{18, 30, 0}, {19, 90, 0}, {20, 150, 0}}},
        {"St. John's, -3:30",
         jdAt(2027, 2, 19, 12),
         -210,
         -210,
         0,
         {{9, 30, 0}, {10, 90, 0}, {11, 150, 0}}},
        {"Kathmandu, +5:45",
         jdAt(2027, 2, 19, 12),
         345,
         345,
         0,
         {{18, 15, 0.5}, {19, 75, 0.5}, {20, 135, 0.5}}},
        {"Eucla, +8:45",
         jdAt(2027, 2, 19, 12),
         525,
         525,
         0,
         {{21, 15, 0.5}, {22, 75, 0.5}, {23, 135, 0.5}}},
        // Past midnight: the hours go on from 00.
        {"Chatham, +12:45",
         jdAt(2027, 6, 19, 10),
         765,
         765,
         0,
         {{23, 15, 0.5}, {0, 75, 0.5}, {1, 135, 0.5}}},
        // Forward at 01:00 UT: no 02 that night.
        {"Berlin in March",
         jdAt(2027, 3, 28, 0),
         60,
         120,
         jdAt(2027, 3, 28, 1),
         {{1, 0, 0}, {3, 60, 0}, {4, 120, 0}, {5, 180, 1}}},
        // Back at 01:00 UT: 02 twice.
        {"Berlin in October",
         jdAt(2027, 10, 31, 0),
         120,
         60,
         jdAt(2027, 10, 31, 1),
         {{2, 0, 0}, {2, 60, 0}, {3, 120, 0}, {4, 180, 1}}},
        // Chatham forward an hour at 14:00 UT, between two hours of its clock.
        {"Chatham in September",
         jdAt(2027, 9, 25, 13),
         765,
         825,
         jdAt(2027, 9, 25, 14),
         {{2, 15, 0.5}, {4, 75, 0.5}, {5, 135, 0.5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        const std::vector<SkySample> samples = samplesFrom(c.from, 19); // three hours
        const long long change = std::llround(c.change * 86400);
        const auto offsetAt = [&](double utJd) {
            return 60 * (std::llround(utJd * 86400) >= change && c.change > 0 ? c.after : c.before);
        };
        const std::vector<HourMark> marks = localHourMarks(samples, offsetAt);
        ASSERT_EQ(marks.size(), c.marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].hour, c.marks[i].hour) << i;
            EXPECT_NEAR((marks[i].utJd - samples.front().utJd) * 1440, c.marks[i].minutes, 1e-4)
                << i;
            EXPECT_NEAR(marks[i].fraction, c.marks[i].fraction, 1e-6) << i;
            const SkySample& on = samples[marks[i].after];
            EXPECT_NEAR((on.utJd - samples.front().utJd) * 1440,
                        c.marks[i].minutes - 10 * c.marks[i].fraction, 1e-4)
                << i;
        }
    }
}

} // namespace
