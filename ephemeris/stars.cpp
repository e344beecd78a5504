#include "ephemeris/stars.h"

#include "ephemeris/apparent_place.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace orvanta {

// The tables as made by tools/make_star_tables.py, read and embedded by the build
// (tools/startables), which stops at a bad row: reading them here cannot fail.
extern const char* const STAR_TABLE;
extern const char* const FIGURE_TABLE;

const std::vector<Star>& stars() {
    static const std::vector<Star> table = readStarTable(STAR_TABLE);
    return table;
}

const std::vector<FigureLine>& figureLines() {
    static const std::vector<FigureLine> table = readFigureTable(FIGURE_TABLE);
    return table;
}

ApparentSky::ApparentSky(double utJd)
    : at_(instantOfUt(utJd)), years_((at_.ttJd - J2000_JD) / JULIAN_YEAR_DAYS),
      velocity_(equatorialVectorJ2000(earthVelocity(at_.ttJd) * LIGHT_DAYS_PER_AU)) {}

Equatorial ApparentSky::of(double ra, double dec, double motionRa, double motionDec) const {
    dec += motionDec * years_;
    ra += motionRa * years_ / std::cos(dec);
    // The direction of the light, shifted by Earth's motion, then back to the ecliptic of J2000
    // for the shared steps.
    const double x = std::cos(dec) * std::cos(ra) + velocity_.x;
    const double y = std::cos(dec) * std::sin(ra) + velocity_.y;
    const double z = std::sin(dec) + velocity_.z;
    const Vec3 ecliptic{x, y * std::cos(OBLIQUITY_J2000) + z * std::sin(OBLIQUITY_J2000),
                        -y * std::sin(OBLIQUITY_J2000) + z * std::cos(OBLIQUITY_J2000)};
    Equatorial p = apparentOfDate(ecliptic, at_.ttJd);
    // Far enough that no parallax is seen.
    p.distanceAu = 1e12;
    return p;
}

Equatorial ApparentSky::of(const Star& star) const {
    return of(star.rightAscension, star.declination, star.motionRa, star.motionDec);
}

std::vector<Equatorial> apparentStars(double utJd) {
    const ApparentSky sky(utJd);
    std::vector<Equatorial> places;
    places.reserve(stars().size());
    for (const Star& star : stars()) {
        places.push_back(sky.of(star));
    }
    return places;
}

std::string_view compassWord(double angle, int points) {
    static constexpr std::string_view WORDS[16] = {
        "north", "north-north-east", "north-east", "east-north-east",
        "east",  "east-south-east",  "south-east", "south-south-east",
        "south", "south-south-west", "south-west", "west-south-west",
        "west",  "west-north-west",  "north-west", "north-north-west"};
    if (!std::isfinite(angle)) {
        return {};
    }
    const int step = points == 16 ? 1 : 2;
    const double width = 22.5 * step;
    return WORDS[static_cast<int>(std::floor(wrap360(angle) / width + 0.5)) * step % 16];
}

NearStar nearestStar(const Equatorial& body, const std::vector<Equatorial>& places) {
    const std::vector<Star>& all = stars(); // brightest first
    NearStar best{nullptr, 360, {}};
    for (std::size_t i = 0; i < all.size() && i < places.size(); ++i) {
        if (all[i].magnitude > DRAWN_FAINTEST) {
            break;
        }
        if (const double d = separation(places[i], body); d < best.degrees) {
            best = {&all[i], d, compassWord(positionAngle(places[i], body))};
        }
    }
    return best;
}

} // namespace orvanta
