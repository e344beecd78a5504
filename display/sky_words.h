#pragma once

// Mars tonight in words, from its record: the pass on the place's clock, where Mars is now and in
// what sky, the constellation, the Sun, the star it is found by, the Moon and the best stretch;
// and the telescope's captions.

#include "ephemeris/sky_tonight.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The clock the times are told on: the minute nearest a UT instant, with the zone's name ("18:50
// CET").
using ClockText = std::function<std::string(double utJd)>;

// Which clock that is: the place's own (the default), Universal Time, or the zone the computer is
// set to.
enum class ClockChoice { Place, Ut, Computer };
// "place", "ut" or "computer", as the settings and the command line spell them.
const char* clockName(ClockChoice clock);
std::optional<ClockChoice> clockNamed(std::string_view name);

// "east-north-east": the nearest of the sixteen points.
std::string directionWords(double azimuth);
// "53°", to the nearest degree.
std::string degreesText(double value);
// Nothing for a dark sky (darkSky), else which one: ", in a daylit sky", ", in civil twilight".
std::string skyWords(SkyLight light);
// The rise, the highest and the set; at a pole, without the compass.
std::vector<std::string> eventLines(const Tonight& night, double latitude, const ClockText& clock);
std::string bestLine(const Tonight& night, const ClockText& clock);
// Every line, in the order the window gives them.
std::vector<std::string> tonightLines(const SkyTonight& sky, const ClockText& clock);
// "Now, 01:14 CET: CM 158° at 00:14 UT" for the disk at `utJd`, on the chosen clock and in UT
// (as observers log the central meridian), and "13.8″, 100 % lit, Ls 66°, late northern spring"
// on the next line.
std::string diskCaption(const std::string& when, double utJd, const MarsDisk& disk);

} // namespace orvanta
