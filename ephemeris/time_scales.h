#pragma once

namespace orvanta {

// TT − UT in seconds at a UT instant (Julian date), the time the series run on less the time the
// clock tells. From 1972 on it is 32.184 s plus the leap seconds in force (TAI − UTC, up to the
// last one announced, on 2017-01-01; none since, so that value holds on). Before 1972 it is ΔT by
// the polynomial expressions of Espenak and Meeus (NASA, Five Millennium Canon of Solar Eclipses,
// 2006).
double ttMinusUtSeconds(double utJulianDate);

// The TT Julian date of a UT one, for the series.
double ttOfUt(double utJulianDate);

// An instant on both scales, where the program chooses them: the sky turns and the answers are
// told in UT, the bodies move in TT.
struct Instant {
    double utJd;
    double ttJd;
};
inline Instant instantOfUt(double utJd) {
    return {utJd, ttOfUt(utJd)};
}

} // namespace orvanta
