#pragma once

// What the nights chart shows, as plain data: an apparition's nights from a place (a column
// each), the months along them, the opposition, the scales its colours are read on, and the
// nights a chosen feature faces Earth while Mars is well placed; and the line a night is told in.

#include "ephemeris/apparition_nights.h"

#include <optional>
#include <string>
#include <vector>

namespace orvanta {

struct MonthMark {
    double at;        // columns from the first night's left edge: the 1st of the month's evening
    std::string text; // "Mar", "Jan 2027" where a year begins or at the first mark
};

struct NightsScene {
    std::vector<ApparitionNight> nights;
    std::string place;                // as it is shown, "Berlin" or "52.52° N 13.40° E"
    std::optional<double> opposition; // columns from the first night's left edge
    std::vector<MonthMark> months;
    double smallest = 0, largest = 0; // the diameters' range, arcseconds
    double mostHours = 0;             // the longest time well placed, hours
    // With a feature chosen: its name, and for each night its first crossing while well placed.
    std::string feature;
    std::vector<std::optional<double>> facing;
};

// The scene of the nights; `opposition` a UT Julian date, or none.
NightsScene nightsScene(std::vector<ApparitionNight> nights, std::string place,
                        std::optional<double> opposition);

// How much the Moon hinders at a night's best moment, 0 to 1: nothing while it is down, else its
// lit share, whole within MOON_NEAR_MARS of Mars and half that beyond 60°, in proportion between.
double moonGlare(const ApparitionNight& night);

// Where a diameter lies in the scene's range, 0 (the smallest) to 1 (the largest).
double sizeShare(const NightsScene& scene, double diameter);

// "19 February 2027: 13.8″, highest 52.9° at 23:25 UT, 11.3 h well placed; Moon 99% lit, 14° from
// Mars", the chosen feature's crossing after it ("; Syrtis Major faces Earth at 21:10 UT").
std::string nightWords(const NightsScene& scene, std::size_t night);

} // namespace orvanta
