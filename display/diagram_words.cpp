#include "display/diagram_words.h"

#include "display/number_text.h"
#include "ephemeris/angles.h"

#include <cmath>

namespace orvanta {

int longitudeDegrees(const Vec3& position) {
    const double degrees = std::atan2(position.y, position.x) * (180.0 / PI);
    return static_cast<int>(wrap360(static_cast<double>(std::lround(degrees))));
}

std::string describeOrbits(const EncounterState& now, const EncounterState& later) {
    char distance[32];
    formatFixed(distance, sizeof distance, now.distanceAu, 6);
    return "The orbits of Earth and Mars around the Sun, seen from above, over a photograph of "
           "Mars. Earth is at heliocentric longitude " +
           std::to_string(longitudeDegrees(now.earth)) + " degrees, Mars at " +
           std::to_string(longitudeDegrees(now.mars)) + " degrees. Mars is " +
           (later.distanceAu < now.distanceAu ? "approaching" : "receding from") + " Earth, " +
           distance + " au away.";
}

} // namespace orvanta
