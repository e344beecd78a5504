#pragma once

// The faces of Mars through the night (mars_faces.h) in words, and what the strip of the night
// paints of them: the central meridian against the place's hours and each named feature's
// crossing.

#include "display/sky_hours.h"
#include "display/sky_words.h"
#include "ephemeris/mars_faces.h"

#include <string>
#include <vector>

namespace orvanta {

// "Syrtis Major on the central meridian at 23:40 CET (22:40 UT), Mars 45° up, dark sky": on the
// chosen clock and in UT, as observers log the central meridian; UT once where it is the clock.
std::string faceLine(const FaceCrossing& crossing, const ClockText& clock);

struct MeridianReading {
    double utJd, centralMeridian;
};
struct FacesScene {
    double from = 0, to = 0; // UT: the pass, from its rise (or first sample) to its end
    // The central meridian every few minutes through the pass, unwrapped: each reading the one
    // before plus the turn since, so that a picture can interpolate between two.
    std::vector<MeridianReading> meridian;
    std::vector<SkySample> samples; // the pass's, for the light of its sky
    std::vector<HourMark> hours;    // the place's whole hours within the pass
    std::vector<FaceCrossing> crossings;
    std::vector<std::string> lines; // faceLine of each crossing
};
// Nothing to show (empty `crossings` and `meridian`) on a night Mars does not rise.
FacesScene facesScene(const Tonight& night, const Place& where, const ClockText& clock,
                      const ZoneOffset& offsetAt);

} // namespace orvanta
