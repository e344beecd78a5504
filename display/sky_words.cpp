#include "display/sky_words.h"

#include "display/disk_words.h"
#include "display/number_text.h"
#include "ephemeris/angles.h"
#include "ephemeris/moon.h"

#include <cmath>

namespace orvanta {

namespace {

// To the nearest whole number, halves up, as the pictures' figures are rounded.
long rounded(double value) {
    return static_cast<long>(std::floor(value + 0.5));
}

std::string nowLine(const SkyTonight& sky) {
    if (sky.marsAt.altitude <= 0) {
        return "Now below the horizon.";
    }
    return "Now " + degreesText(refracted(sky.marsAt.altitude)) + " above the horizon in the " +
           directionWords(sky.marsAt.azimuth) + skyWords(skyLightOf(sky.sunAt.altitude)) + '.';
}

// The direction is Mars's from the star: "Near Regulus (4.0° north-east)".
std::string starLine(const NearStar& near) {
    return (near.degrees <= NEAR_WITHIN ? "Near " : "The nearest bright star is ") +
           near.star->name + " (" + formatFixed(near.degrees, 1) + "° " +
           std::string(near.direction) + ").";
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

std::vector<std::string> eventLines(const Tonight& night, const ClockText& clock) {
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
        lines.push_back("Rises at " + clock(night.rise->utJd) + " in the " +
                        directionWords(night.rise->degrees) + '.');
    }
    if (night.transit) {
        lines.push_back("Highest at " + clock(night.transit->utJd) + ", " +
                        degreesText(night.transit->altitude) + " above the horizon in the " +
                        directionWords(night.transit->azimuth) + '.');
    }
    if (night.set) {
        lines.push_back("Sets at " + clock(night.set->utJd) + " in the " +
                        directionWords(night.set->degrees) + '.');
    }
    return lines;
}

std::string bestLine(const Tonight& night, const ClockText& clock) {
    return night.best ? "Best seen from " + clock(night.best->from) + " to " +
                            clock(night.best->to) + " (the Sun below −12°, Mars above 10°)."
                      : "Not well placed tonight: never high in a dark sky.";
}

std::vector<std::string> tonightLines(const SkyTonight& sky, const ClockText& clock) {
    std::vector<std::string> lines = eventLines(sky.pass, clock);
    lines.push_back(nowLine(sky));
    lines.push_back("In the constellation " + sky.constellation + ", at magnitude " +
                    formatFixed(sky.magnitude, 1) + ", " + degreesText(sky.elongation) +
                    " from the Sun.");
    if (sky.elongation < TOO_CLOSE_TO_THE_SUN) {
        lines.push_back("Too close to the Sun to be seen (" + degreesText(sky.elongation) +
                        " from it).");
    }
    if (sky.near.star) {
        lines.push_back(starLine(sky.near));
    }
    if (sky.moon <= MOON_NEAR_MARS) {
        lines.push_back("The Moon is " + formatFixed(sky.moon, 1) + "° from Mars.");
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
