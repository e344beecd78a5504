#pragma once

// Where on Earth the sky is seen from, as typed: a latitude and longitude in decimal degrees or in
// degrees, minutes and seconds, and the time zone a value of TZ names. Text alone, no GLib: the
// towns by name, and the reading of the system's zone, are in towns.h.

#include "ephemeris/sky.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

// The heights a place on land may have, in metres: the shore of the Dead Sea to above the highest
// summit.
constexpr double LOWEST_HEIGHT = -500.0;
constexpr double HIGHEST_HEIGHT = 9000.0;

// A latitude and longitude, north and east positive, in any of the forms people write them:
//   "52.52, 13.40" or "52.52 13.40"  "52.52,13.40,34" (a height in metres third)  "52,52 13,40"
//   or "52,52; 13,40" (decimal commas)  "52.52 N 13.40 E"  "52°31′N 13°24′E"
//   "33°52'04\"S 151°12'26\"E" (a 'd' stands for the degree sign too)  "−33.87, 151.21" (a
//   minus sign as typeset, U+2212, as well as '-'); no-break and thin spaces as spaces
// A hemisphere letter may come before or after its number and decides which is which; without
// letters the latitude comes first. Nothing, with the reason in `error`, for anything else, a
// latitude beyond ±90, a longitude beyond ±180, minutes or seconds of 60 or more, or a height
// outside LOWEST_HEIGHT to HIGHEST_HEIGHT.
std::optional<Place> parsePlace(std::string_view text, std::string& error);

// The zone a value of TZ names: "Europe/Berlin", ":Europe/Berlin", a path into a zoneinfo
// directory ("/usr/share/zoneinfo/Europe/Berlin", its posix/ and right/ variants too), or the zone
// of `localtime`, what /etc/localtime links to, for ":/etc/localtime", ":" or an empty TZ. Empty
// for what names no zone: a POSIX rule ("CET-1CEST,M3.5.0,M10.5.0/3"), a path elsewhere, or any
// name the tz database could not hold (words of ASCII letters, digits, '_', '-' and '+', each
// begun by a letter, at most 64 characters in all).
std::string timeZoneNameOf(std::string_view tz, std::string_view localtime);

// Text with its no-break and thin spaces (U+00A0, U+2007, U+2009, U+202F) as plain ones, as
// people and programs put them between a number and its unit or around a pasted place.
std::string withPlainSpaces(std::string_view text);

// Whether a name is one the tz database could hold: see timeZoneNameOf.
bool isZoneName(std::string_view name);

} // namespace orvanta
