#include "ephemeris/utc_clock.h"

#include <ctime>

namespace orvanta {

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

} // namespace orvanta
