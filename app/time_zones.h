#pragma once

// A zone of the tz database as this system's Qt has its clock: where the program meets Qt's
// zones, between the towns' names (towns/towns.h) and QTimeZone.

#include <QTimeZone>
#include <optional>
#include <string_view>

namespace orvanta {

// The clock of a zone by any of its names in the tz database: the name itself where Qt lists it,
// else the first of the names linked to it that Qt lists ("Europe/Kiev" and "Europe/Kyiv" alike,
// whichever this Qt knows), else one of them the tz database has that Qt reads though it lists
// none ("Etc/UTC"). Nothing for a name of no zone: text Qt would read as a rule of its own
// ("Foo" as UTC) is never taken for one.
std::optional<QTimeZone> qtTimeZoneOf(std::string_view zone);

} // namespace orvanta
