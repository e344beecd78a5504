#include "ephemeris/utc_clock.h"

#include "ephemeris/julian_date.h"

#include <ctime>

namespace {
UtcClockSource activeSource = &systemUtcClock;
UtcClockReading fixedReading{};
} // namespace

UtcClockReading systemUtcClock() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    return UtcClockReading{
        static_cast<std::uint16_t>(utc.tm_year + 1900), static_cast<std::uint16_t>(utc.tm_mon + 1),
        static_cast<std::uint16_t>(utc.tm_mday), static_cast<std::uint16_t>(utc.tm_hour),
        static_cast<std::uint16_t>(utc.tm_min),
        // A leap second reads as :60 here; the day has no room for it, so it stays at :59.
        static_cast<std::uint16_t>(utc.tm_sec > 59 ? 59 : utc.tm_sec)};
}

UtcClockSource setUtcClockSource(UtcClockSource source) {
    UtcClockSource previous = activeSource;
    activeSource = source != nullptr ? source : &systemUtcClock;
    return previous;
}

UtcClockReading readUtcClock() {
    return activeSource();
}

std::time_t calendarTimeOf(const UtcClockReading& r) {
    constexpr std::int64_t UNIX_EPOCH_DAY = 2440588; // the Julian day number of 1970-01-01
    const std::int64_t day = julianDateFromCalendar(r.year, r.month, r.day, 12.0).day;
    return static_cast<std::time_t>((day - UNIX_EPOCH_DAY) * 86400 + r.hour * 3600 + r.minute * 60 +
                                    r.second);
}

FixedUtcClock::FixedUtcClock(UtcClockReading reading) {
    fixedReading = reading;
    previous_ = setUtcClockSource([] { return fixedReading; });
}

FixedUtcClock::~FixedUtcClock() {
    setUtcClockSource(previous_);
}

void FixedUtcClock::set(UtcClockReading reading) {
    fixedReading = reading;
}
