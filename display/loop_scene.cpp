#include "display/loop_scene.h"

#include "display/number_text.h"
#include "ephemeris/star_names.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double FARTHEST = 80.0;  // degrees from the centre the plane still holds
constexpr double NARROWEST = 12.0; // degrees: a loop a few degrees wide still shows its stars
// Room around the path for the labels beside it: a share of its extent, or a few degrees.
constexpr double MARGIN_SHARE = 0.15;
constexpr double LEAST_MARGIN = 3.0;

Equatorial middleOf(const std::vector<LoopDay>& days) {
    double x = 0, y = 0, z = 0;
    for (const LoopDay& d : days) {
        x += std::cos(d.place.declination) * std::cos(d.place.rightAscension);
        y += std::cos(d.place.declination) * std::sin(d.place.rightAscension);
        z += std::sin(d.place.declination);
    }
    return {std::atan2(y, x), std::atan2(z, std::hypot(x, y)), 1};
}

const LoopDay& dayNearest(const MarsLoop& loop, double utJd) {
    return *std::min_element(loop.days.begin(), loop.days.end(),
                             [&](const LoopDay& a, const LoopDay& b) {
                                 return std::fabs(a.utJd - utJd) < std::fabs(b.utJd - utJd);
                             });
}

} // namespace

std::optional<ChartPoint> LoopFrame::project(const Equatorial& p) const {
    const double dra = p.rightAscension - centre.rightAscension;
    const double sd0 = std::sin(centre.declination), cd0 = std::cos(centre.declination);
    const double sd = std::sin(p.declination), cd = std::cos(p.declination);
    const double cosc = sd0 * sd + cd0 * cd * std::cos(dra);
    if (cosc < std::cos(FARTHEST * DEGREE)) {
        return std::nullopt;
    }
    const double east = cd * std::sin(dra) / cosc;
    const double north = (cd0 * sd - sd0 * cd * std::cos(dra)) / cosc;
    return ChartPoint{-east / DEGREE, north / DEGREE};
}

Equatorial LoopFrame::placeAt(const ChartPoint& p) const {
    const double east = -p.x * DEGREE, north = p.y * DEGREE;
    const double rho = std::hypot(east, north);
    const double c = std::atan(rho);
    const double sd0 = std::sin(centre.declination), cd0 = std::cos(centre.declination);
    if (rho == 0) {
        return centre;
    }
    const double dec = std::asin(std::cos(c) * sd0 + north * std::sin(c) * cd0 / rho);
    const double ra =
        centre.rightAscension +
        std::atan2(east * std::sin(c), rho * cd0 * std::cos(c) - north * sd0 * std::sin(c));
    return {wrapAngle(ra, 2 * PI), dec, 1};
}

bool LoopFrame::holds(const MarsLoop& loop) const {
    const auto projects = [this](const Equatorial& p) { return project(p).has_value(); };
    return std::all_of(loop.days.begin(), loop.days.end(),
                       [&](const LoopDay& d) { return projects(d.place); }) &&
           std::all_of(std::begin(loop.stops), std::end(loop.stops),
                       [&](const LoopMark& m) { return projects(m.place); }) &&
           projects(loop.opposition.place) && projects(loop.closest.place);
}

LoopFrame loopFrame(const MarsLoop& loop, double aspect) {
    LoopFrame frame{middleOf(loop.days), 0, 0, 0, 0};
    double left = 0, right = 0, bottom = 0, top = 0;
    for (const LoopDay& d : loop.days) {
        if (const std::optional<ChartPoint> p = frame.project(d.place)) {
            left = std::min(left, p->x);
            right = std::max(right, p->x);
            bottom = std::min(bottom, p->y);
            top = std::max(top, p->y);
        }
    }
    const double margin =
        std::max(LEAST_MARGIN, MARGIN_SHARE * std::max(right - left, top - bottom));
    double width = std::max(right - left + 2 * margin, NARROWEST);
    double height = top - bottom + 2 * margin;
    // Widen whichever is short of the picture's shape, about the path's own middle.
    width = std::max(width, height * aspect);
    height = std::max(height, width / aspect);
    const double x = (left + right) / 2, y = (bottom + top) / 2;
    frame.left = x - width / 2;
    frame.right = x + width / 2;
    frame.bottom = y - height / 2;
    frame.top = y + height / 2;
    return frame;
}

LoopScene loopScene(const MarsLoop& loop, bool southUp) {
    LoopScene scene{loop, chartPlacesAt(loop.opposition.utJd), {}, southUp};
    const std::vector<Star>& table = stars(); // brightest first
    for (std::size_t i = 0; i < table.size() && table[i].magnitude <= LABELLED_FAINTEST; ++i) {
        const Equatorial& star = scene.sky.stars[i];
        if (std::any_of(loop.days.begin(), loop.days.end(), [&](const LoopDay& d) {
                return separation(star, d.place) <= ALONG_THE_PATH;
            })) {
            scene.alongPath.push_back(i);
        }
    }
    return scene;
}

bool southUpAt(double latitude) {
    return latitude < 0;
}

std::string loopWords(const MarsLoop& loop) {
    const std::string& start = loop.days.front().constellation;
    const std::string& atFirst = dayNearest(loop, loop.stops[0].utJd).constellation;
    const std::string& atSecond = dayNearest(loop, loop.stops[1].utJd).constellation;
    const std::string& end = loop.days.back().constellation;
    const auto into = [](const std::string& from, const std::string& to, const char* before) {
        return from == to ? std::string() : before + to;
    };
    return "From " + dateInWords(loop.days.front().utJd) + " Mars moves east in " + start +
           into(start, atFirst, ", into ") + "; it stops on " + dateInWords(loop.stops[0].utJd) +
           " and moves west" + into(atFirst, atSecond, " into ") + " until " +
           dateInWords(loop.stops[1].utJd) + ", then east again" + into(atSecond, end, ", into ") +
           " until " + dateInWords(loop.days.back().utJd) + ". Opposition on " +
           dateInWords(loop.opposition.utJd) + "; closest to Earth on " +
           dateInWords(loop.closest.utJd) + ", magnitude " +
           formatFixed(dayNearest(loop, loop.closest.utJd).magnitude, 1) + ".";
}

std::string alongWords(const LoopScene& scene) {
    std::string words;
    const std::vector<std::size_t>& along = scene.alongPath;
    for (std::size_t k = 0; k < along.size(); ++k) {
        words += k == 0 ? " It passes " : k + 1 == along.size() ? " and " : ", ";
        words += starInWords(stars()[along[k]]);
    }
    return words.empty() ? words : words + '.';
}

} // namespace orvanta
