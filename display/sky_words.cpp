#include "display/sky_words.h"

#include "display/disk_words.h"
#include "display/number_text.h"
#include "ephemeris/angles.h"
#include "ephemeris/moon.h"
#include "ephemeris/star_names.h"

#include <cmath>

namespace orvanta {

namespace {

// To the nearest whole number, halves up, as the pictures' figures are rounded.
long rounded(double value) {
    return static_cast<long>(std::floor(value + 0.5));
}

// Within this of the zenith a direction is no help: one looks straight up.
constexpr double OVERHEAD = 85.0;
// Within this of a pole every direction is north (or south): the compass says nothing.
constexpr double POLE = 89.5;

bool atPole(double latitude) {
    return std::abs(latitude) >= POLE;
}

// " in the south-east", or nothing at a pole.
std::string towards(double azimuth, double latitude) {
    return atPole(latitude) ? std::string() : " in the " + directionWords(azimuth);
}

// "53° above the horizon in the south", "overhead (88°)"; `altitude` refracted.
std::string heightWords(double altitude, double azimuth, double latitude) {
    return altitude >= OVERHEAD
               ? "overhead (" + degreesText(altitude) + ")"
               : degreesText(altitude) + " above the horizon" + towards(azimuth, latitude);
}

// A figure to `decimals` places, without the sign of a value that rounds to nothing ("0.0", not
// "-0.0").
std::string signedFixed(double value, int decimals) {
    std::string text = formatFixed(value, decimals);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string nowLine(const SkyTonight& sky) {
    if (sky.marsAt.altitude <= 0) {
        return "Now below the horizon.";
    }
    return "Now " +
           heightWords(refracted(sky.marsAt.altitude), sky.marsAt.azimuth, sky.place.latitude) +
           skyWords(skyLightOf(sky.sunAt.altitude)) + '.';
}

// As observers say where a planet is, from the star: "Mars is 1.4° south of β Virginis
// (Zavijava)". A star further off says by which rule it was taken.
std::string starLine(const NearStar& near) {
    return std::string(near.degrees <= NEAR_WITHIN
                           ? ""
                           : "No star within 10°; the brightest within 20°: ") +
           "Mars is " + formatFixed(near.degrees, 1) + "° " + std::string(near.direction) + " of " +
           starInWords(*near.star) + '.';
}

} // namespace

const char* clockName(ClockChoice clock) {
    switch (clock) {
    case ClockChoice::Ut:
        return "ut";
    case ClockChoice::Computer:
        return "computer";
    case ClockChoice::Place:
        break;
    }
    return "place";
}

std::optional<ClockChoice> clockNamed(std::string_view name) {
    for (const ClockChoice clock : {ClockChoice::Place, ClockChoice::Ut, ClockChoice::Computer}) {
        if (name == clockName(clock)) {
            return clock;
        }
    }
    return std::nullopt;
}

std::string directionWords(double azimuth) {
    return std::string(compassWord(azimuth, 16));
}

std::string degreesText(double value) {
    return std::to_string(rounded(value)) + "°";
}

std::string skyWords(SkyLight light) {
    return light == SkyLight::Day ? ", in a daylit sky"
           : darkSky(light)       ? std::string()
                                  : std::string(", in ") + skyLightWords(light);
}

std::vector<std::string> eventLines(const Tonight& night, double latitude, const ClockText& clock) {
    std::vector<std::string> lines;
    if (night.alwaysUp) {
        lines.emplace_back("Mars does not set here now: it is above the horizon all day and "
                           "night.");
    } else if (night.neverUp && night.transit) {
        // Its highest is below the horizon: said so, not as a height above it.
        lines.push_back("Mars does not rise here now; at its highest, " +
                        clock(night.transit->utJd) + ", it stays " +
                        degreesText(-night.transit->altitude) + " below the horizon.");
        return lines;
    } else if (night.neverUp) {
        lines.emplace_back("Mars does not rise here now.");
    }
    if (night.rise) {
        lines.push_back("Rises at " + clock(night.rise->utJd) +
                        towards(night.rise->degrees, latitude) + '.');
    }
    if (night.transit) {
        lines.push_back("Highest at " + clock(night.transit->utJd) + ", " +
                        heightWords(night.transit->altitude, night.transit->azimuth, latitude) +
                        '.');
    }
    if (night.set) {
        lines.push_back("Sets at " + clock(night.set->utJd) +
                        towards(night.set->degrees, latitude) + '.');
    }
    return lines;
}

std::string bestLine(const Tonight& night, const ClockText& clock) {
    if (!night.best) {
        return "Not well placed tonight: never high in a dark sky.";
    }
    // In a polar night with Mars high all along, two clock readings would name a day at random.
    if (night.best->to - night.best->from >= 1) {
        return "Best seen at any hour now: the sky stays dark and Mars high (the Sun below −12°, "
               "Mars above 10°).";
    }
    return "Best seen from " + clock(night.best->from) + " to " + clock(night.best->to) +
           " (the Sun below −12°, Mars above 10°).";
}

std::vector<std::string> tonightLines(const SkyTonight& sky, const ClockText& clock) {
    std::vector<std::string> lines = eventLines(sky.pass, sky.place.latitude, clock);
    lines.push_back(nowLine(sky));
    lines.push_back("In the constellation " + sky.constellation + ", at magnitude " +
                    signedFixed(sky.magnitude, 1) + ", " + degreesText(sky.elongation) +
                    " from the Sun.");
    if (sky.elongation < TOO_CLOSE_TO_THE_SUN) {
        lines.push_back("Too close to the Sun to be seen (" + degreesText(sky.elongation) +
                        " from it).");
    }
    if (sky.near.star) {
        lines.push_back(starLine(sky.near));
    }
    if (sky.moon <= MOON_NEAR_MARS) {
        lines.push_back("The Moon, " + std::to_string(rounded(sky.chart.moonLit * 100)) +
                        " % lit, is " + formatFixed(sky.moon, 1) + "° from Mars.");
    }
    lines.push_back(bestLine(sky.pass, clock));
    return lines;
}

std::string diskCaption(const std::string& when, double utJd, const MarsDisk& disk) {
    // "2027-02-20T00:14", or "10000-01-01T04:45" after the last day: the time after the T.
    const std::string minute = isoText(nearestMinute(utJd), false);
    return when + ": CM " + std::to_string(wholeDegrees(disk.centralMeridian)) + "° at " +
           minute.substr(minute.find('T') + 1) + " UT\n" + formatFixed(disk.diameter, 1) + "″, " +
           std::to_string(rounded(disk.phase * 100)) + " % lit, " + seasonText(disk);
}

} // namespace orvanta
