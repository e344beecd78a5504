#pragma once

// The orbit diagram's scene as numbers: the fading trails behind Earth and Mars, and the sprites'
// colour key. Pure: no Qt, no OpenGL.

#include "ephemeris/vsop87.h"

#include <cstddef>
#include <cstdint>

namespace orvanta {

struct TrailPoint {
    double x, y; // AU, ecliptic plane
    float alpha; // 1 now, fading to almost 0 at the far end
};

// Earth's path: a point every 2 days back from now while the time is within 328 days; Mars's every
// 3 days within 617 days. Positions at a quarter of the series' terms.
constexpr int EARTH_TRAIL_POINTS = 164;
constexpr int MARS_TRAIL_POINTS = 206;

struct TrailShape {
    double stepDays;
    double spanDays;
    float fadePerDay; // the single-precision value nearest 1 / spanDays
    void (*evaluate)(double julianDate, Vec3& destination, float factor);
};
constexpr TrailShape EARTH_TRAIL{2.0, 328.0, 0.0030487804f, &evaluateEarth};
constexpr TrailShape MARS_TRAIL{3.0, 617.0, 0.0016207455f, &evaluateMars};

// Fills `points` from `now` backwards; returns how many there are (at most `capacity`).
int traceTrail(const TrailShape& shape, double now, TrailPoint* points, int capacity);

// A sprite's blue-green-red pixels as red-green-blue-alpha: opaque where B + G + R >= 64, fully
// transparent where darker, so the black surround disappears.
void keySprite(const std::uint8_t* bgr, std::size_t pixelCount, std::uint8_t* rgba);

} // namespace orvanta
