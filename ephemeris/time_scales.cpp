#include "ephemeris/time_scales.h"

#include "ephemeris/julian_date.h"

#include <array>

namespace orvanta {

namespace {

constexpr double TT_MINUS_TAI = 32.184;

// The days from which a new TAI − UTC held, at 0 h UTC: 10 s from 1972-01-01, one more each.
struct LeapSecond {
    int year, month;
};
constexpr std::array<LeapSecond, 27> LEAP_SECONDS = {{
    {1972, 7}, {1973, 1}, {1974, 1}, {1975, 1}, {1976, 1}, {1977, 1}, {1978, 1},
    {1979, 1}, {1980, 1}, {1981, 7}, {1982, 7}, {1983, 7}, {1985, 7}, {1988, 1},
    {1990, 1}, {1991, 1}, {1992, 7}, {1993, 7}, {1994, 7}, {1996, 1}, {1997, 7},
    {1999, 1}, {2006, 1}, {2009, 1}, {2012, 7}, {2015, 7}, {2017, 1},
}};

double startOf(int year, int month) {
    return julianDateValue(julianDateFromCalendar(year, month, 1, 0.0));
}

double polynomial(double t, std::initializer_list<double> coefficients) {
    double sum = 0.0;
    double power = 1.0;
    for (const double c : coefficients) {
        sum += c * power;
        power *= t;
    }
    return sum;
}

// Espenak and Meeus's ΔT for a decimal year.
double deltaT(double y) {
    if (y < -500) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u;
    }
    if (y < 500) {
        return polynomial(y / 100, {10583.6, -1014.41, 33.78311, -5.952053, -0.1798452, 0.022174192,
                                    0.0090316521});
    }
    if (y < 1600) {
        return polynomial((y - 1000) / 100, {1574.2, -556.01, 71.23472, 0.319781, -0.8503463,
                                             -0.005050998, 0.0083572073});
    }
    if (y < 1700) {
        return polynomial(y - 1600, {120, -0.9808, -0.01532, 1 / 7129.0});
    }
    if (y < 1800) {
        return polynomial(y - 1700, {8.83, 0.1603, -0.0059285, 0.00013336, -1 / 1174000.0});
    }
    if (y < 1860) {
        return polynomial(y - 1800, {13.72, -0.332447, 0.0068612, 0.0041116, -0.00037436,
                                     0.0000121272, -0.0000001699, 0.000000000875});
    }
    if (y < 1900) {
        return polynomial(y - 1860,
                          {7.62, 0.5737, -0.251754, 0.01680668, -0.0004473624, 1 / 233174.0});
    }
    if (y < 1920) {
        return polynomial(y - 1900, {-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197});
    }
    if (y < 1941) {
        return polynomial(y - 1920, {21.20, 0.84493, -0.076100, 0.0020936});
    }
    if (y < 1961) {
        return polynomial(y - 1950, {29.07, 0.407, -1 / 233.0, 1 / 2547.0});
    }
    return polynomial(y - 1975, {45.45, 1.067, -1 / 260.0, -1 / 718.0});
}

} // namespace

double ttMinusUtSeconds(double utJulianDate) {
    static const double FIRST_LEAP_DAY = startOf(1972, 1);
    if (utJulianDate < FIRST_LEAP_DAY) {
        return deltaT(2000.0 + (utJulianDate - J2000_JD) / 365.2425);
    }
    double taiMinusUtc = 10.0;
    for (const LeapSecond& leap : LEAP_SECONDS) {
        if (utJulianDate < startOf(leap.year, leap.month)) {
            break;
        }
        taiMinusUtc += 1.0;
    }
    return TT_MINUS_TAI + taiMinusUtc;
}

double ttOfUt(double utJulianDate) {
    return utJulianDate + ttMinusUtSeconds(utJulianDate) / 86400.0;
}

} // namespace orvanta
