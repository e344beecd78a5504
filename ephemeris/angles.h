#pragma once

// The angle arithmetic everything in the sky shares: one way to bring an angle into its range, and
// the angle between two places on the sphere and the direction from one to the other, each in the
// form that keeps its digits at every angle.

#include "ephemeris/constants.h"

#include <cmath>

namespace orvanta {

// `angle` brought into [0, period). A value a rounding below 0 would land on `period` itself, and
// is 0 instead; NaN stays NaN.
inline double wrapAngle(double angle, double period) {
    const double r = std::fmod(angle, period);
    const double wrapped = r < 0 ? r + period : r;
    return wrapped == period ? 0.0 : wrapped;
}

inline double wrap360(double degrees) {
    return wrapAngle(degrees, 360.0);
}

// `angle` brought into (-period/2, period/2], exactly: remainder() rounds nothing.
inline double wrapSigned(double angle, double period) {
    const double r = std::remainder(angle, period);
    return r == -period / 2 ? period / 2 : r;
}

inline double wrap180(double degrees) {
    return wrapSigned(degrees, 360.0);
}

// Degrees rounded to the whole degree (halves upwards) and brought into [0, 360): 359.6 is 0.
inline int wholeDegrees(double degrees) {
    return static_cast<int>(wrap360(std::floor(degrees + 0.5)));
}

// The angle between two places (right ascension and declination in radians), in degrees, from
// the form of Vincenty: both the sine and the cosine of it enter, so it holds its digits near 0°
// and near 180° alike, where an acos or an asin loses half of them.
inline double angleBetween(double ra1, double dec1, double ra2, double dec2) {
    const double dra = ra2 - ra1;
    const double across = std::cos(dec2) * std::sin(dra);
    const double up =
        std::cos(dec1) * std::sin(dec2) - std::sin(dec1) * std::cos(dec2) * std::cos(dra);
    const double along =
        std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(dra);
    return std::atan2(std::hypot(across, up), along) / DEGREE;
}

// The position angle of the second place seen from the first, in degrees from north through east,
// in [0, 360).
inline double directionTo(double ra1, double dec1, double ra2, double dec2) {
    const double dra = ra2 - ra1;
    return wrap360(std::atan2(std::cos(dec2) * std::sin(dra),
                              std::cos(dec1) * std::sin(dec2) -
                                  std::sin(dec1) * std::cos(dec2) * std::cos(dra)) /
                   DEGREE);
}

} // namespace orvanta
