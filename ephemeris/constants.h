#pragma once

// The numbers the whole program counts in, each written once: the angle units, the epoch and the
// years and centuries the series and the precession count in, and the astronomical unit.

namespace orvanta {

constexpr double PI = 3.14159265358979323846;
constexpr double DEGREE = PI / 180;
constexpr double ARCSECOND = DEGREE / 3600;

// The epoch J2000.0, 2000-01-01 12:00, and the Julian year and century, in days.
constexpr double J2000_JD = 2451545.0;
constexpr double JULIAN_YEAR_DAYS = 365.25;
constexpr double JULIAN_CENTURY_DAYS = 36525.0;

constexpr double KM_PER_AU = 149597870.0;

} // namespace orvanta
