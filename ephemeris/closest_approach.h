#pragma once

#include "ephemeris/julian_date.h"

#include <optional>
#include <vector>

namespace orvanta {

// The searched years: the series' authors give them for Earth and Mars from 2000 BC to AD 6000.
// Beyond that a minimum would mean nothing, and the bound keeps the scan and the result's size
// finite for any input.
constexpr double FIRST_SEARCHED_JD = J2000_JD - 4000.0 * JULIAN_YEAR_DAYS;
constexpr double LAST_SEARCHED_JD = J2000_JD + 4000.0 * JULIAN_YEAR_DAYS; // 6000-01-01 12:00

// A local minimum of the Earth–Mars distance: its instant (a UT Julian date, as the clock tells
// it: the series' own time, TT, less TT − UT) and the distance then, in au, from the full series;
// with Mars's apparent diameter and magnitude then, from the same evaluation.
struct ClosestApproach {
    double julianDate;
    double distanceAu;
    double apparentDiameterArcsec;
    double magnitude;
};

// The distance the encounter state shows, at any precision factor: sqrt((dz² + dy²) + dx²) with d
// = Earth − Mars.
double earthMarsDistance(double ttJd, float factor);

// Every local minimum of the distance whose UT instant lies in [fromUtJd, toUtJd], in time order,
// each instant to within a tenth of a second. A span's ends are never taken for minima. Empty when
// fromUtJd > toUtJd or either end is not finite. Only the part of the span within 4000 years of
// J2000, where the series are meant to hold, is searched. Allocates only the result.
std::vector<ClosestApproach> findClosestApproaches(double fromUtJd, double toUtJd);

// The first minimum strictly after the UT instant `utJd`: the same instant and distance that
// findClosestApproaches gives for it. Empty for a non-finite date or beyond the searched years.
// Allocates nothing.
std::optional<ClosestApproach> nextClosestApproachAfter(double utJd);

} // namespace orvanta
