#pragma once

// A point or a direction in space, in whatever frame and unit its user names: the series'
// heliocentric positions, the geocentric directions of the sky, the axes of a disk.

#include <cmath>

namespace orvanta {

struct Vec3 {
    double x;
    double y;
    double z;

    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator*(double f) const { return {x * f, y * f, z * f}; }
    double dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline Vec3 unit(const Vec3& v) {
    return v * (1 / v.length());
}

} // namespace orvanta
