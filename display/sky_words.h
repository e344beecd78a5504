#pragma once

// Mars tonight in words, from its record: the pass on the place's clock, where Mars is now and in
// what sky, the constellation, the Sun, the star it is found by, the Moon and the best stretch;
// and the telescope's captions.

#include "ephemeris/sky_tonight.h"

#include <functional>
#include <string>
#include <vector>

namespace orvanta {

// The place's clock: the minute nearest a UT instant, with the zone's name ("18:50 CET").
using ClockText = std::function<std::string(double utJd)>;

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
// "Now, 00:14 CET: 13.8″, 100 % lit, CM 158°" and the season on the next line.
std::string diskCaption(const std::string& when, const MarsDisk& disk);

} // namespace orvanta
