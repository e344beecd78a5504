#pragma once

// The telescope's disk of Mars in words, for screen readers, and the names of the ways a
// telescope turns it.

#include "ephemeris/mars_disk.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// Size, phase, tilt, central meridian, the season, and the named features that face us, nearest
// the central meridian first.
std::string diskWords(const MarsDisk& disk);

// The solar longitude and the season of the hemisphere tilted towards us, the one whose pole we
// see: "Ls 253°, late southern spring". Each season is the 90° of Ls from an equinox or a
// solstice, in thirds.
std::string seasonText(const MarsDisk& disk);

// How the disk is turned: north up as the naked eye sees the sky (east on the left), mirrored
// left to right as a star diagonal shows it, or turned half round, south up, as a Newtonian or a
// straight refractor shows it.
enum class DiskOrientation { NorthUp, Mirrored, SouthUp };
// "north-up", "mirrored" or "south-up", as the settings and the command line spell them.
const char* orientationName(DiskOrientation orientation);
std::optional<DiskOrientation> orientationNamed(std::string_view name);

} // namespace orvanta
