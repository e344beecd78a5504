#pragma once

// Where on Earth the sky is seen from: typed as latitude and longitude, or the city of a time zone
// in the tz database (zone1970.tab), as the system's time zone names it.

#include "ephemeris/sky.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvanta {

// The heights a place on land may have, in metres: the shore of the Dead Sea to above the highest
// summit.
constexpr double LOWEST_HEIGHT = -500.0;
constexpr double HIGHEST_HEIGHT = 9000.0;

// "LAT,LON" or "LAT,LON,HEIGHT" in degrees (north and east positive) and metres; nothing, with the
// reason in `error`, for anything else, a latitude beyond ±90, a longitude beyond ±180 or a height
// outside LOWEST_HEIGHT to HIGHEST_HEIGHT.
std::optional<Place> parsePlace(std::string_view text, std::string& error);

// The system's time zone by its name in the tz database ("Europe/Berlin"): TZ, or what
// /etc/localtime links to; empty when neither names one.
std::string timeZoneName();
// The place of a time zone's city: Europe/Berlin gives 52.5° N, 13.37° E.
std::optional<Place> placeOfZone(const std::string& zone);
// The time zone whose city lies nearest a place, with that distance in km; empty when the table
// cannot be read.
struct NearestZone {
    std::string zone;
    double km;
};
std::optional<NearestZone> nearestZone(const Place& place);
// How far a town may lie for its clock to be taken as a place's: a zone's city stands for a
// region a few hundred km across.
constexpr double NEAREST_ZONE_REACH_KM = 400.0;
// A time zone's city by its name ("Paris", "new york"), with the zone's name.
std::optional<std::pair<std::string, Place>> placeOfCity(std::string city);

} // namespace orvanta
