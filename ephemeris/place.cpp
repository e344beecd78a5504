#include "ephemeris/place.h"

namespace orvanta {

double kmBetween(const Place& a, const Place& b) {
    constexpr double EARTH_RADIUS_KM = 6371.0;
    return angleBetween(a.longitude * DEGREE, a.latitude * DEGREE, b.longitude * DEGREE,
                        b.latitude * DEGREE) *
           DEGREE * EARTH_RADIUS_KM;
}

} // namespace orvanta
