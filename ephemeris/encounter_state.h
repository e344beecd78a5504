#pragma once

#include "ephemeris/closest_approach.h"
#include "ephemeris/constants.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/vsop87.h"

#include <cstdint>
#include <optional>

namespace orvanta {

// Julian date (UT) of the closest approach of Mars: 27 August 2003, about 09:52:19 UT.
constexpr double CLOSEST_APPROACH_JD = 2452878.911333;
// Mars's apparent radius seen from 1 au, in arcseconds: its diameter is twice this over the
// distance in au.
constexpr double MARS_SEMI_DIAMETER_AT_1_AU_ARCSEC = 4.68;

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

// The positions, distance, size and brightness at a Julian date of the series, TT (the
// countdown's fields stay 0). The refresh hands it the clock's UT instant as it is, as the
// countdown always has; a closest approach's record takes its TT instant.
EncounterState encounterAt(double seriesJd);
// The same from the two positions, evaluated already.
EncounterState encounterOf(const Vec3& earth, const Vec3& mars);
// The record of a closest approach at an instant: its UT instant, with the distance, size and
// brightness the full series give at its TT one. The search builds it where it found the minimum
// (in TT); a chosen one is known by its UT instant.
ClosestApproach approachAt(const Instant& at);
inline ClosestApproach approachAt(double utJd) {
    return approachAt(instantOfUt(utJd));
}

// The countdown part: the time left from `now` to `target`, rounded down to the whole minute, as
// whole days (negative once passed) plus hours 0..23 and minutes 0..59.
struct Countdown {
    std::int32_t days;
    std::int32_t hours;
    std::int32_t minutes;
};
Countdown countdownTo(double target, double now);

// What the countdown counts to: the closest approach of 2003 (CLOSEST_APPROACH_JD), the next
// closest approach, or one the user chose. The next one it keeps counting to (negative) until a day
// after it, then it moves on to the following one; the search for it runs only when that happens,
// so a refresh stays as cheap as it is. A chosen one, like 2003's, stays the target once passed.
enum class CountdownTarget { Of2003, Next, Chosen };
// The countdown's next approach keeps being counted to this long after it.
constexpr double DAYS_COUNTED_PAST = 1.0;
struct CountdownChoice {
    CountdownTarget target = CountdownTarget::Of2003;
    // For Chosen: the UT instant of the closest approach, as the search gives it.
    double chosenJd = 0.0;
};
void setCountdownChoice(const CountdownChoice& choice);
CountdownChoice countdownChoice();
// The next approach as the countdown counts to it at `now`: the one the window's "next one" names.
const std::optional<ClosestApproach>& nextApproachAt(double now);
// The instant the latest refresh counted to.
double countdownTargetJd();
// The closest approach the latest refresh counted to, with its distance: empty for 2003's fixed
// instant, and when there was no next one.
std::optional<ClosestApproach> countedApproach();
// What the latest refresh counted to: the choice, or 2003's where the next one was unknown. What
// the windows, the menu and the tip say follows this.
CountdownTarget effectiveCountdownTarget();
// Whether the latest refresh was told to count to the next approach but knew none (beyond the
// searched years), and so counted to 2003's.
bool nextApproachUnknown();

} // namespace orvanta
