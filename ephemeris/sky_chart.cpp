#include "ephemeris/sky_chart.h"

#include "ephemeris/moon.h"
#include "ephemeris/night.h"
#include "ephemeris/star_names.h"
#include "ephemeris/time_scales.h"
#include "ephemeris/vec3.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double NAMED_WITHIN = 30.0; // the stars named in the dome: this near Mars
constexpr std::size_t MOST_NAMES = 6;

// The point `degrees` from `from` along the great circle towards `to`.
Horizontal stepTowards(const Horizontal& from, const Horizontal& to, double degrees) {
    const auto vectorOf = [](const Horizontal& h) {
        const double alt = h.altitude * DEGREE, az = h.azimuth * DEGREE;
        return Vec3{std::cos(alt) * std::cos(az), std::cos(alt) * std::sin(az), std::sin(alt)};
    };
    const Vec3 a = vectorOf(from), b = vectorOf(to);
    const Vec3 across = b - a * a.dot(b);
    const double length = across.length();
    if (length < 1e-12) {
        return from; // the same point, or opposite: no one way
    }
    const Vec3 p = a * std::cos(degrees * DEGREE) + across * (std::sin(degrees * DEGREE) / length);
    return {std::asin(std::clamp(p.z, -1.0, 1.0)) / DEGREE, wrap360(std::atan2(p.y, p.x) / DEGREE)};
}

} // namespace

ChartPlaces chartPlacesAt(double now) {
    ChartPlaces places;
    places.stars = apparentStars(now);
    const ApparentSky sky(now);
    for (const FigureLine& line : figureLines()) {
        places.figureEnds.push_back(sky.of(line.ra1, line.dec1));
        places.figureEnds.push_back(sky.of(line.ra2, line.dec2));
    }
    for (int longitude = 0; longitude < 360; longitude += 2) {
        places.ecliptic.push_back(equatorialOfDate(longitude, 0, 1e12, ttOfUt(now)));
    }
    return places;
}

SkyChart skyChartAt(double now, const Place& p, const ChartPlaces& places, const Equatorial& mars,
                    const NearStar& near) {
    SkyChart chart;
    const std::vector<Star>& table = stars();
    const std::vector<Horizontal> seen = horizontalOf(places.stars, now, p);
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        if (seen[i].altitude > 0 && table[i].magnitude <= DRAWN_FAINTEST) {
            chart.stars.push_back({seen[i], table[i].magnitude});
            // The near star by its letters too; the others near Mars where they have a name.
            if ((!table[i].name.empty() || &table[i] == near.star) &&
                separation(places.stars[i], mars) < NAMED_WITHIN) {
                named.push_back(i);
            }
        }
    }
    const std::vector<Horizontal> ends = horizontalOf(places.figureEnds, now, p);
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
        chart.figures.emplace_back(ends[i], ends[i + 1]);
    }
    chart.ecliptic = horizontalOf(places.ecliptic, now, p);
    // The star the text names first, then the Sun, the Moon, then the brightest (the table's
    // order).
    const auto name = [&](std::size_t i, bool always) {
        chart.names.push_back({seen[i], shortName(table[i]), always, table[i].magnitude});
    };
    if (const auto first = std::find_if(named.begin(), named.end(),
                                        [&](std::size_t i) { return &table[i] == near.star; });
        first != named.end()) {
        name(*first, true);
        named.erase(first);
    }
    const Equatorial sunPlace = apparentSun(now);
    chart.sun = horizontalOf(sunPlace, now, p);
    if (skyLightOf(chart.sun.altitude) == SkyLight::Day) {
        chart.names.push_back({chart.sun, "Sun", true});
    }
    const Equatorial moonPlace = apparentMoon(now);
    chart.moonLit = moonLitFraction(moonPlace, sunPlace);
    if (const Horizontal moon = horizontalOf(moonPlace, now, p); moon.altitude > 0) {
        chart.moon = moon;
        chart.moonTowardsSun = stepTowards(moon, chart.sun, 1.0);
        chart.names.push_back({moon, "Moon", true});
    }
    for (std::size_t i = 0; i < named.size() && chart.names.size() < MOST_NAMES; ++i) {
        name(named[i], false);
    }
    return chart;
}

} // namespace orvanta
