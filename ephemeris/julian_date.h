#pragma once

#include "ephemeris/constants.h"
#include "ephemeris/utc_clock.h"

#include <cstdint>
#include <ctime>

namespace orvanta {

// An instant as a Julian date in UT: the day that began at the latest noon, and the part of it
// elapsed since. Consumers form day + fraction themselves, as a double, when they need the value.
struct JulianDate {
    std::int32_t day;
    double fraction;
};

// Gregorian calendar date and decimal UT hours to a Julian date. Defined for any input; hours are
// expected in [0, 24).
JulianDate julianDateFromCalendar(std::int32_t year, std::int32_t month, std::int32_t dayOfMonth,
                                  double hours);

// The current UTC instant, truncated to the whole second.
JulianDate currentJulianDate();
// The instant of a clock reading, as currentJulianDate takes it.
JulianDate julianDateOfReading(const UtcClockReading& clock);

// The instant as one double: the day number converted, then the fraction added.
inline double julianDateValue(JulianDate jd) {
    return static_cast<double>(jd.day) + jd.fraction;
}

// The years, proleptic Gregorian, of every instant the program takes (an argument, a date field, a
// window's span): from 100, the first a date field takes, to 9999, the last four digits write. An
// instant outside them is refused with its reason, never wrapped or moved.
constexpr std::int32_t FIRST_YEAR = 100;
constexpr std::int32_t LAST_YEAR = 9999;

// The UT Julian date of the first of January of a year, 00:00.
inline double julianDateOfYear(std::int32_t year) {
    return julianDateValue(julianDateFromCalendar(year, 1, 1, 0.0));
}

// Seconds since 1970-01-01 00:00:00 UTC of a reading: the calendar time the C library would report
// at that second.
std::time_t calendarTimeOf(const UtcClockReading& reading);

// The UT calendar date and time of day of a Julian date, to the nearest second (proleptic
// Gregorian, any year).
UtcClockReading calendarOfJulianDate(double julianDate);

} // namespace orvanta
