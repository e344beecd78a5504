#pragma once

#include "ephemeris/encounter_state.h"

namespace orvanta {

// What the countdown counts to, as the user chose it: "2003", "next", or the UT Julian date of a
// closest approach. Earlier versions kept only whether to count to the next one.
constexpr const char* COUNTDOWN_SETTING = "countdown/target";
constexpr const char* NEXT_APPROACH_SETTING = "countdown/nextApproach";

// The user's choice as kept in the settings file (~/.config/orvanta/orvanta.conf), put in effect.
void loadCountdownChoice();
void saveCountdownChoice(const CountdownChoice& choice);

} // namespace orvanta
