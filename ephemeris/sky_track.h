#pragma once

// The apparent place of Mars (or the Sun) interpolated between places computed some hours apart:
// it moves smoothly and slowly against the stars, while the sky turns fast. What every sampled
// sky of a place is drawn from (skySamples, the rises and sets, the nights of an apparition).

#include "ephemeris/angles.h"
#include "ephemeris/apparent_place.h"
#include "ephemeris/constants.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace orvanta {

class SkyTrack {
  public:
    // Three hours apart the straight line between two places of Mars misses its path by less
    // than 0.0001°; a day apart, by less than 0.003° even where it turns back among the stars.
    static constexpr double THREE_HOURS = 3.0 / 24;
    SkyTrack(double from, double to, Body body, double step = THREE_HOURS)
        : from_(from), step_(step) {
        // Two nodes at least, whatever the span, so that every instant lies between two.
        for (double t = from; t <= to + step || nodes_.size() < 2; t += step) {
            nodes_.push_back(body == Body::Mars ? apparentMars(t) : apparentSun(t));
        }
    }
    Equatorial at(double t) const {
        const double x =
            std::clamp((t - from_) / step_, 0.0, static_cast<double>(nodes_.size() - 2));
        const auto i = static_cast<std::size_t>(x);
        const double f = x - static_cast<double>(i);
        const Equatorial& a = nodes_[i];
        const Equatorial& b = nodes_[i + 1];
        const double dra = wrapSigned(b.rightAscension - a.rightAscension, 2 * PI);
        return {a.rightAscension + f * dra, a.declination + f * (b.declination - a.declination),
                a.distanceAu + f * (b.distanceAu - a.distanceAu)};
    }

  private:
    double from_, step_;
    std::vector<Equatorial> nodes_;
};

} // namespace orvanta
