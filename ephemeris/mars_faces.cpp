#include "ephemeris/mars_faces.h"

#include "ephemeris/angles.h"
#include "ephemeris/apparent_place.h"
#include "ephemeris/root.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvanta {

namespace {

// The central meridian is read this often: it turns some 29° meanwhile, far from the half turn
// at which the side a longitude lies on could no longer be told.
constexpr double STEP = 2.0 / 24;
// A crossing settled to a second, far inside the minute it is told to.
constexpr double SECOND = 1.0 / 86400;

struct Reading {
    double utJd, centralMeridian;
};

std::vector<Reading> readings(double from, double to) {
    std::vector<Reading> read;
    const auto steps = static_cast<int>(std::ceil((to - from) / STEP));
    for (int i = 0; i <= steps; ++i) {
        const double t = std::min(from + i * STEP, to);
        read.push_back({t, centralMeridianAt(t)});
    }
    return read;
}

// How far past the meridian's reading a longitude lies, towards where the turning brings it:
// below 0 before the crossing, above 0 after, within half a turn of it.
double pastBy(double centralMeridian, double westLongitude) {
    return wrap180(centralMeridian - westLongitude);
}

void crossingsBetween(const std::vector<Reading>& read, double westLongitude,
                      std::vector<double>& found) {
    const auto f = [westLongitude](double t) {
        return pastBy(centralMeridianAt(t), westLongitude);
    };
    for (std::size_t i = 1; i < read.size(); ++i) {
        const double fa = pastBy(read[i - 1].centralMeridian, westLongitude);
        const double fb = pastBy(read[i].centralMeridian, westLongitude);
        // From before to after; the step from +180° to -180° is the longitude's far side.
        if (fa < 0 && fb >= 0) {
            // The meridian turns all but evenly: secant steps from the chord's root settle in two
            // or three readings, the bracket's bisection only where they would leave it.
            const double a = read[i - 1].utJd, b = read[i].utJd;
            const double slope = (fb - fa) / (b - a);
            const std::optional<double> settled =
                secantFrom(f, a - fa / slope, slope, a, b, SECOND, 4);
            found.push_back(settled ? *settled : brentRoot(f, a, b, fa, fb, SECOND));
        }
    }
}

} // namespace

std::vector<double> meridianCrossings(double westLongitude, double fromUtJd, double toUtJd) {
    std::vector<double> found;
    crossingsBetween(readings(fromUtJd, toUtJd), westLongitude, found);
    return found;
}

std::vector<FaceCrossing> faceCrossings(const Tonight& night, const Place& where) {
    std::vector<FaceCrossing> crossings;
    if (night.neverUp || night.samples.empty()) {
        return crossings;
    }
    const double from = night.rise ? night.rise->utJd : night.samples.front().utJd;
    const std::vector<Reading> read = readings(from, night.end);
    std::vector<double> instants;
    for (const MarsFeature& feature : marsFeatures()) {
        instants.clear();
        crossingsBetween(read, feature.westLongitude, instants);
        for (const double t : instants) {
            const double altitude = refracted(horizontalOf(apparentMars(t), t, where).altitude);
            if (altitude <= 0) {
                continue;
            }
            const double sun = horizontalOf(apparentSun(t), t, where).altitude;
            crossings.push_back({&feature, t, altitude, sun, skyLightOf(sun)});
        }
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const FaceCrossing& a, const FaceCrossing& b) { return a.utJd < b.utJd; });
    return crossings;
}

} // namespace orvanta
