#pragma once

// A place given to a tool, by its numbers or a town's name: apart from arguments.h, since the towns
// link GLib and the system's town list.

#include "towns/towns.h"

#include <string_view>

namespace orvanta {

// A latitude and longitude (LAT,LON[,HEIGHT] or any form parsePlace takes) or a town's name;
// throws BadArgument naming `option` and saying what is wrong.
PlaceEntry parsePlaceArgument(std::string_view option, std::string_view text);

} // namespace orvanta
