#pragma once

// "Tonight" for a place: the pass of Mars a user means by the word. If Mars is above the horizon
// at the instant, the pass it is on (the rise before, its transit, the set after); otherwise the
// next pass. Where it neither rises nor sets, no rise or set and the next transit. Pure, as sky.h.

#include "ephemeris/sky.h"

#include <optional>
#include <vector>

namespace orvanta {

constexpr double WELL_UP = 10.0;    // Mars this high (true altitude): clear of the haze
constexpr double DAYLIGHT = -0.833; // the Sun's centre above this: its disk is up

// How lit the sky is, by the Sun's true altitude: its disk up, then civil (to -6°), nautical (to
// -12°) and astronomical (to -18°) twilight, then night. Every word and colour of the sky is
// built from this one reading.
enum class SkyLight { Day, CivilTwilight, NauticalTwilight, AstronomicalTwilight, Night };
SkyLight skyLightOf(double sunAltitude);
// A dark sky, the one "best seen" and the words' "in twilight" both mean: the Sun 12° or more
// below the horizon, where the last of twilight no longer hides Mars.
inline bool darkSky(SkyLight light) {
    return light == SkyLight::AstronomicalTwilight || light == SkyLight::Night;
}
// How far the sky has gone from day to a dark sky, by the same boundaries: 0 while the Sun's disk
// is up, 1 from a dark sky on, in proportion between; what the eye sees of the faint fades in so.
double darknessOf(double sunAltitude);
// "daylight", "civil twilight", ... "night".
const char* skyLightWords(SkyLight light);

struct Transit {
    double utJd;
    double altitude; // refracted
    double azimuth;
};
struct BestSeen {
    double from, to; // UT Julian dates of the first and last samples of the stretch
};
struct Tonight {
    std::optional<SkyEvent> rise, set; // their azimuths
    std::optional<Transit> transit;
    bool alwaysUp = false;
    bool neverUp = false;
    // The first stretch of the pass with a dark sky (darkSky) and Mars well up, longer than a
    // sample; where Mars has not risen within reach, the one the instant is in counts from its
    // beginning, before the instant.
    std::optional<BestSeen> best;
    // Mars and the Sun every ten minutes through the pass, on a grid of whole ten minutes.
    std::vector<SkySample> samples;
    double end; // the set, or a day after the instant without one
};
Tonight marsTonight(double utJd, const Place& where);

} // namespace orvanta
