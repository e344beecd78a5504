#pragma once

#include "ephemeris/vec3.h"

#include <array>
#include <cstdint>

namespace orvanta {

// The series give heliocentric rectangular coordinates in au, ecliptic and equinox J2000, as Vec3.

// One term of a series: it contributes a * cos(b + c * t), with t in Julian millennia from J2000.
struct VsopTerm {
    double a;
    double b;
    double c;
};

constexpr int VSOP_SERIES_COUNT = 18; // X0..X5, Y0..Y5, Z0..Z5

// One body's coefficient set: the 18 series back to back in one array, in published order.
struct VsopBody {
    const VsopTerm* terms;
    std::array<std::int32_t, VSOP_SERIES_COUNT> counts;
};

// Generated at build time from the published VSOP87A files.
extern const VsopBody VSOP87A_EARTH;
extern const VsopBody VSOP87A_MARS;

// The term counts a body's series are cut to for a precision factor: only a factor strictly
// between 0 and 1 keeps the leading n * factor terms of each series; anything else keeps all.
std::array<std::int32_t, VSOP_SERIES_COUNT> scaledTermCounts(const VsopBody& body, float factor);

void evaluateBody(const VsopBody& body, double julianDate, Vec3& destination, float factor);

// How far, coordinate by coordinate, the series cut to one factor can lie from the same series
// cut to another at an instant: every term the one leaves out of the other moves a coordinate by
// at most its amplitude times its power of t. Rounding is the caller's to allow for.
Vec3 cutDifferenceBound(const VsopBody& body, double julianDate, float factor, float other);

// How many bodies this thread has evaluated with all their terms and with cut series: what a
// search costs, as the benchmarks report it.
struct EvaluationCount {
    std::int64_t full;
    std::int64_t cut;
};
EvaluationCount evaluationCount();
void evaluateEarth(double julianDate, Vec3& destination, float factor);
void evaluateMars(double julianDate, Vec3& destination, float factor);

} // namespace orvanta
