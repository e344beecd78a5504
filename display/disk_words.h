#pragma once

// The telescope's disk of Mars in words, for screen readers.

#include "ephemeris/mars_disk.h"

#include <string>

namespace orvanta {

// Size, phase, tilt, central meridian, and the named features that face us, nearest the central
// meridian first.
std::string diskWords(const MarsDisk& disk);

} // namespace orvanta
