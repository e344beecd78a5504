#pragma once

#include "ephemeris/vsop87.h"

#include <cstdint>

// Julian date (UT) of the closest approach of Mars: 27 August 2003, about 09:52:19 UT.
constexpr double CLOSEST_APPROACH_JD = 2452878.911333;

// Everything shown about the encounter, as of the latest refresh.
struct EncounterState {
    Vec3 earth;
    Vec3 mars;
    double distanceAu;
    double distanceKm;
    double distanceMi;
    double apparentDiameterArcsec;
    double lightMinutes;
    double magnitude;
    std::int32_t daysLeft;
    std::int32_t hoursLeft;
    std::int32_t minutesLeft;
};

// The one record of the process; zero until the first refresh. Written by computeEncounterState
// only, read by the panes, all on the GUI thread.
extern EncounterState encounterState;

// Reads the UTC clock and overwrites every field of encounterState.
void computeEncounterState();

// The countdown part: the time left from `now` to the closest approach, rounded down to the whole
// minute, as whole days (negative once passed) plus hours 0..23 and minutes 0..59.
struct Countdown {
    std::int32_t days;
    std::int32_t hours;
    std::int32_t minutes;
};
Countdown countdownAt(double now);
