#include "ephemeris/sky_tonight.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/moon.h"

#include <future>

namespace orvanta {

namespace {

constexpr double BRIGHT_STAR_WITHIN = 20.0; // else the brightest star this near
constexpr double KEPT_FOR = 1.0 / 24;       // a pass found is used for an hour

bool samePlace(const Place& a, const Place& b) {
    return a.latitude == b.latitude && a.longitude == b.longitude && a.height == b.height;
}

bool stillHolds(const SkyTonight& earlier, double now, const Place& where) {
    return now >= earlier.passFoundAt && now <= earlier.passFoundAt + KEPT_FOR &&
           now <= earlier.pass.end && samePlace(earlier.place, where);
}

// The disk at the highest, where that can be seen.
std::optional<MarsDisk> highestDisk(const Tonight& pass, const Place& where) {
    const std::optional<Transit>& transit = pass.transit;
    if (!transit) {
        return std::nullopt;
    }
    const double sun = horizontalOf(apparentSun(transit->utJd), transit->utJd, where).altitude;
    return telescopeSees(transit->altitude, sun) ? std::optional(marsDiskAt(transit->utJd))
                                                 : std::nullopt;
}

} // namespace

NearStar starToName(const Equatorial& mars, const std::vector<Equatorial>& places) {
    const NearStar nearest = nearestStar(mars, places);
    if (!nearest.star || nearest.degrees <= NEAR_WITHIN) {
        return nearest;
    }
    const std::vector<Star>& table = stars(); // brightest first
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (const double d = separation(places[i], mars);
            table[i].magnitude <= DRAWN_FAINTEST && d <= BRIGHT_STAR_WITHIN) {
            return {&table[i], d, compassWord(positionAngle(places[i], mars))};
        }
    }
    return {nullptr, 0, {}};
}

bool telescopeSees(double marsAltitude, double sunAltitude) {
    return marsAltitude > 0 && skyLightOf(sunAltitude) != SkyLight::Day;
}

SkyTonight skyTonight(double now, const Place& where, const SkyTonight* earlier) {
    SkyTonight sky{};
    sky.utJd = now;
    sky.place = where;
    if (earlier && stillHolds(*earlier, now, where)) {
        sky.passFoundAt = earlier->passFoundAt;
        sky.pass = earlier->pass;
        sky.places = earlier->places;
        sky.highest = earlier->highest;
    } else {
        sky.passFoundAt = now;
        // The stars' places need nothing of the pass: found on another core meanwhile.
        std::future<ChartPlaces> places =
            std::async(std::launch::async | std::launch::deferred, chartPlacesAt, now);
        sky.pass = marsTonight(now, where);
        sky.highest = highestDisk(sky.pass, where);
        sky.places = places.get();
    }
    const ApparentPair apparent = apparentMarsAndSun(now);
    sky.mars = apparent.mars;
    sky.marsAt = horizontalOf(sky.mars, now, where);
    sky.constellation = constellationOfDate(sky.mars, now);
    sky.magnitude = approachAt(now).magnitude;
    sky.elongation = separation(apparent.mars, apparent.sun);
    sky.near = starToName(sky.mars, sky.places.stars);
    sky.moon = moonFrom(sky.mars, now, where);
    sky.disk = marsDiskAt(now);
    sky.chart = skyChartAt(now, where, sky.places, sky.mars, sky.near);
    sky.sunAt = sky.chart.sun;
    sky.diskSeen = telescopeSees(sky.marsAt.altitude, sky.sunAt.altitude);
    return sky;
}

} // namespace orvanta
