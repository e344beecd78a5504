#pragma once

// The nights of an apparition from one place, one record a night: how large Mars is, how high it
// stands at its best in a dark sky (darkSky, night.h) and for how long it is well placed, and
// where the Moon is then. What an observer choosing the nights to look weighs. Pure, as sky.h.

#include "ephemeris/sky.h"

#include <optional>
#include <vector>

namespace orvanta {

// The highest Mars stands in a dark sky through a night, and when.
struct BestDark {
    double utJd;
    double altitude; // true, without refraction
};

// A stretch of a night with Mars above WELL_UP in a dark sky, UT Julian dates.
struct WellPlaced {
    double from, to;
};

struct ApparitionNight {
    // The place's mean noon the night begins at (a UT Julian date), and the whole Julian day
    // number it falls on there, noon UT of the evening's date: the date the night is told by.
    double noon;
    double evening;
    std::optional<BestDark> best;       // none where the sky is never dark that night
    double diameter;                    // arcseconds, at the best moment, else at midnight
    std::vector<WellPlaced> wellPlaced; // in time order
    // The Moon at the best moment, else at midnight: its lit share (0 to 1), its degrees from
    // Mars seen from the place, and its true altitude (it hinders only while up).
    double moonLit;
    double moonFromMars;
    double moonAltitude;
    double hoursWellPlaced() const;
};

// Every night whose evening's noon lies in [fromUtJd, toUtJd): one pass of sky samples over the
// whole span (skySamples), each night's best moment then refined on the full series.
std::vector<ApparitionNight> apparitionNights(double fromUtJd, double toUtJd, const Place& where);

// For each night, the first instant a longitude of Mars (degrees west, a feature's of
// marsFeatures) stands on the central meridian while Mars is well placed; none where it does not.
std::vector<std::optional<double>> facingWhileWellPlaced(const std::vector<ApparitionNight>& nights,
                                                         double westLongitude);

// The span an apparition is watched in: five months either side of its opposition.
constexpr double APPARITION_HALF_SPAN = 152.0; // days
struct NightsSpan {
    double from, to;
};
// Around the opposition near a closest approach (oppositionNear), else the approach itself.
NightsSpan apparitionSpan(double approachUtJd);

} // namespace orvanta
