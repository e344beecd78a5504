#pragma once

// orvanta-state --nights: the nights of a span from a place, one a line, as the Approaches
// window's Nights tab shows them (apparition_nights.h).

#include "ephemeris/sky.h"

#include <string>

namespace orvanta {

// The nights whose evening's noon lies in [fromUtJd, toUtJd), a line each:
// 2027-02-19 13.8 52.9 2027-02-19T23:25Z 11.3 0.99 14.1 (from Berlin)
// the evening's date, the diameter (arcseconds), the highest true altitude of Mars in a dark sky
// and its instant ("none none" where the sky is never dark), the hours Mars stays above WELL_UP
// in a dark sky, and the Moon's lit share and its degrees from Mars then.
void appendNightsReport(std::string& out, double fromUtJd, double toUtJd, const Place& place);

} // namespace orvanta
