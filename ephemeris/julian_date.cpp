#include "ephemeris/julian_date.h"

#include <cmath>

namespace orvanta {

namespace {
constexpr double DAYS_PER_HOUR = 0.041666666666666664;     // nearest double to 1/24
constexpr double HOURS_PER_MINUTE = 0.016666666666666666;  // nearest double to 1/60
constexpr double HOURS_PER_SECOND = 0.0002777777777777778; // nearest double to 1/3600
} // namespace

JulianDate julianDateFromCalendar(std::int32_t year, std::int32_t month, std::int32_t dayOfMonth,
                                  double hours) {
    // Fliegel and Van Flandern. The divisions must truncate toward zero: that is what makes `a`
    // -1 for January and February and 0 otherwise. Done in 64 bits so that no input overflows;
    // within the calendar's range every intermediate fits 32 bits and the result is the same.
    const std::int64_t y = year;
    const std::int64_t m = month;
    const std::int64_t a = (m - 14) / 12;
    const std::int64_t n = (1461 * (y + 4800 + a)) / 4 + (367 * (m - 2 - 12 * a)) / 12 -
                           (3 * ((y + 4900 + a) / 100)) / 4 + dayOfMonth - 32075;

    const double f = hours * DAYS_PER_HOUR - 0.5;
    // Before noon the instant belongs to the Julian day that began at the previous noon.
    if (!(f >= 0.0)) {
        return JulianDate{static_cast<std::int32_t>(n - 1), f + 1.0};
    }
    return JulianDate{static_cast<std::int32_t>(n), f};
}

JulianDate currentJulianDate() {
    return julianDateOfReading(readUtcClock());
}

JulianDate julianDateOfReading(const UtcClockReading& clock) {
    const double hours =
        (clock.minute * HOURS_PER_MINUTE + clock.hour) + clock.second * HOURS_PER_SECOND;
    return julianDateFromCalendar(clock.year, clock.month, clock.day, hours);
}

std::time_t calendarTimeOf(const UtcClockReading& r) {
    constexpr std::int64_t UNIX_EPOCH_DAY = 2440588; // the Julian day number of 1970-01-01
    const std::int64_t day = julianDateFromCalendar(r.year, r.month, r.day, 12.0).day;
    const std::int64_t seconds =
        std::int64_t{r.hour} * 3600 + std::int64_t{r.minute} * 60 + r.second;
    return static_cast<std::time_t>((day - UNIX_EPOCH_DAY) * 86400 + seconds);
}

UtcClockReading calendarOfJulianDate(double julianDate) {
    // Whole seconds since the civil midnight that starts Julian day 0, then the day number back to
    // a Gregorian date by Fliegel and Van Flandern's inverse.
    const auto seconds = static_cast<std::int64_t>(std::llround((julianDate + 0.5) * 86400.0));
    const std::int64_t day = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t secondOfDay = seconds - day * 86400;
    std::int64_t l = day + 68569;
    const std::int64_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t dayOfMonth = l - 2447 * j / 80;
    l = j / 11;
    const std::int64_t month = j + 2 - 12 * l;
    const std::int64_t year = 100 * (n - 49) + i + l;
    return UtcClockReading{static_cast<std::int32_t>(year),
                           static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(dayOfMonth),
                           static_cast<std::uint16_t>(secondOfDay / 3600),
                           static_cast<std::uint16_t>(secondOfDay / 60 % 60),
                           static_cast<std::uint16_t>(secondOfDay % 60)};
}

} // namespace orvanta
