#pragma once

#include "ephemeris/utc_clock.h"

// Holds the UTC clock at one reading for the life of the object.
class FixedClock {
  public:
    explicit FixedClock(UtcClockReading reading) {
        current() = reading;
        previous_ = setUtcClockSource([] { return current(); });
    }
    ~FixedClock() { setUtcClockSource(previous_); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    void set(UtcClockReading reading) { current() = reading; }

  private:
    static UtcClockReading& current() {
        static UtcClockReading reading{};
        return reading;
    }
    UtcClockSource previous_;
};
