#include "ephemeris/encounter_state.h"

#include "ephemeris/closest_approach.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/next_approach.h"
#include "ephemeris/time_scales.h"

#include <cmath>

namespace orvanta {

EncounterState encounterState{};

namespace {
constexpr double MI_PER_KM = 0.6214;
constexpr double LIGHT_SECONDS_PER_METRE = 3.3356409519815204e-9; // nearest double to 1/299792458
constexpr double MINUTES_PER_SECOND = 0.016666666666666666;       // nearest double to 1/60
constexpr double DEGREES_PER_RADIAN = 57.29577951308232;
constexpr double MINUTES_PER_DAY = 1440.0;

double lengthOf(const Vec3& v) {
    return std::sqrt((v.z * v.z + v.y * v.y) + v.x * v.x);
}
} // namespace

namespace {

CountdownChoice choice;
double countdownTarget = CLOSEST_APPROACH_JD;
NextApproach nextApproach{DAYS_COUNTED_PAST};
std::optional<ClosestApproach> chosenApproach;

const std::optional<ClosestApproach>& approachCountedAt(double now) {
    return choice.target == CountdownTarget::Chosen ? chosenApproach : nextApproach.at(now);
}

double targetAt(double now) {
    if (choice.target == CountdownTarget::Of2003) {
        return CLOSEST_APPROACH_JD;
    }
    // Beyond the years the series hold there is no next one: the countdown stays on 2003's.
    const std::optional<ClosestApproach>& approach = approachCountedAt(now);
    return approach ? approach->julianDate : CLOSEST_APPROACH_JD;
}

} // namespace

const std::optional<ClosestApproach>& nextApproachAt(double now) {
    return nextApproach.at(now);
}

void setCountdownChoice(const CountdownChoice& chosen) {
    choice = chosen;
    chosenApproach.reset();
    if (chosen.target == CountdownTarget::Chosen) {
        chosenApproach = approachAt(chosen.chosenJd);
    }
}

CountdownChoice countdownChoice() {
    return choice;
}

double countdownTargetJd() {
    return countdownTarget;
}

std::optional<ClosestApproach> countedApproach() {
    return choice.target == CountdownTarget::Of2003   ? std::nullopt
           : choice.target == CountdownTarget::Chosen ? chosenApproach
                                                      : nextApproach.latest();
}

CountdownTarget effectiveCountdownTarget() {
    return nextApproachUnknown() ? CountdownTarget::Of2003 : choice.target;
}

bool nextApproachUnknown() {
    return choice.target == CountdownTarget::Next && !nextApproach.latest();
}

Countdown countdownTo(double target, double now) {
    const double left = target - now;
    const double wholeDays = std::floor(left);
    // Truncation drops the seconds: the countdown never shows a minute that has not fully passed.
    const auto minutes = static_cast<std::int32_t>((left - wholeDays) * MINUTES_PER_DAY);
    const std::int32_t hours = minutes / 60;
    return Countdown{static_cast<std::int32_t>(wholeDays), hours, minutes - 60 * hours};
}

EncounterState encounterAt(double seriesJd) {
    Vec3 earth{}, mars{};
    evaluateEarth(seriesJd, earth, 1.0f);
    evaluateMars(seriesJd, mars, 1.0f);
    return encounterOf(earth, mars);
}

ClosestApproach approachAt(const Instant& at) {
    const EncounterState s = encounterAt(at.ttJd);
    return {at.utJd, s.distanceAu, s.apparentDiameterArcsec, s.magnitude};
}

EncounterState encounterOf(const Vec3& earth, const Vec3& mars) {
    EncounterState s{};
    s.earth = earth;
    s.mars = mars;

    const Vec3 d{s.earth.x - s.mars.x, s.earth.y - s.mars.y, s.earth.z - s.mars.z};
    const double delta = lengthOf(d);
    s.distanceAu = delta;
    s.distanceKm = delta * KM_PER_AU;
    s.distanceMi = s.distanceKm * MI_PER_KM;
    s.apparentDiameterArcsec = (MARS_SEMI_DIAMETER_AT_1_AU_ARCSEC / delta) * 2.0;
    s.lightMinutes = ((s.distanceKm * 1000.0) * LIGHT_SECONDS_PER_METRE) * MINUTES_PER_SECOND;

    const double r = lengthOf(s.mars);  // Sun to Mars
    const double R = lengthOf(s.earth); // Sun to Earth
    // The phase angle at Mars between the Sun and Earth, by the law of cosines.
    const double phase =
        std::acos(((delta * delta + r * r) - R * R) / ((delta * r) * 2.0)) * DEGREES_PER_RADIAN;
    s.magnitude = (std::log10(delta * r) * 5.0 + phase * 0.016) - 1.52;
    return s;
}

void computeEncounterState() {
    EncounterState& s = encounterState;
    const double now = julianDateValue(currentJulianDate());
    s = encounterAt(now);
    countdownTarget = targetAt(now);
    const Countdown left = countdownTo(countdownTarget, now);
    s.daysLeft = left.days;
    s.hoursLeft = left.hours;
    s.minutesLeft = left.minutes;
}

} // namespace orvanta
