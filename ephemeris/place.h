#pragma once

// Distances between places on Earth. A place as typed is read in towns/place_text.h.

#include "ephemeris/sky.h"

namespace orvanta {

// Great-circle distance between two places, in km.
double kmBetween(const Place& a, const Place& b);

} // namespace orvanta
