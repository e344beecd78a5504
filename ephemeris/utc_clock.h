#pragma once

#include <cstdint>

namespace orvanta {

// One reading of the UTC clock, to the whole second.
struct UtcClockReading {
    std::int32_t year; // astronomical: 0 is 1 BC

    std::uint16_t month;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
};

// Where the clock readings come from. The program uses the system clock; tests and tools install a
// source of their own so that every instant-dependent result can be reproduced.
using UtcClockSource = UtcClockReading (*)();

UtcClockReading systemUtcClock();

// Installs a clock source; nullptr restores the system clock. Returns the previous source.
UtcClockSource setUtcClockSource(UtcClockSource source);

UtcClockReading readUtcClock();

// Holds the clock at one reading for the life of the object, so that a tool reporting on a chosen
// instant, and a test, see exactly what the program sees at that second. One at a time.
class FixedUtcClock {
  public:
    explicit FixedUtcClock(UtcClockReading reading);
    ~FixedUtcClock();
    FixedUtcClock(const FixedUtcClock&) = delete;
    FixedUtcClock& operator=(const FixedUtcClock&) = delete;

    void set(UtcClockReading reading);

  private:
    UtcClockSource previous_;
};

} // namespace orvanta
