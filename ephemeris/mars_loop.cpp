#include "ephemeris/mars_loop.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/time_scales.h"

#include <array>
#include <cmath>

namespace orvanta {

namespace {

constexpr double MARGIN_DAYS = 30.0; // before the first stop and after the second
// The series is evaluated every few days and the days between are interpolated by a cubic through
// four of them: the path bends on a scale of weeks, so a cubic over 30 days stays within 11
// arcseconds of the series (a tenth of a pixel in the window), at a tenth of the cost.
constexpr double NODE_DAYS = 10.0;

struct Node {
    Vec3 direction; // geocentric, apparent, on the ecliptic of J2000; its length the distance
    double magnitude;
};

class Path {
  public:
    Path(double from, double to) : first_(from - NODE_DAYS) {
        for (double t = first_; t <= to + 2 * NODE_DAYS; t += NODE_DAYS) {
            const double tt = ttOfUt(t);
            nodes_.push_back(
                {geocentric(Body::Mars, tt, Aberration::On), encounterAt(tt).magnitude});
        }
    }

    // The cubic through the four nodes around `utJd`, one before it to two after.
    Node at(double utJd) const {
        const double x = (utJd - first_) / NODE_DAYS;
        const auto i = std::min(static_cast<std::size_t>(std::max(x, 1.0)), nodes_.size() - 3);
        const double u = x - static_cast<double>(i);
        const std::array<double, 4> w = {-u * (u - 1) * (u - 2) / 6,
                                         (u + 1) * (u - 1) * (u - 2) / 2,
                                         -(u + 1) * u * (u - 2) / 2, (u + 1) * u * (u - 1) / 6};
        Node sum{{0, 0, 0}, 0};
        for (std::size_t k = 0; k < 4; ++k) {
            const Node& n = nodes_[i - 1 + k];
            sum.direction = sum.direction + n.direction * w[k];
            sum.magnitude += n.magnitude * w[k];
        }
        return sum;
    }

    LoopMark markAt(double utJd) const {
        return {utJd, apparentOfDate(at(utJd).direction, ttOfUt(utJd))};
    }

    LoopDay dayAt(double utJd) const {
        const Node n = at(utJd);
        const Equatorial j2000 = equatorialJ2000(n.direction);
        return {utJd, markAt(utJd).place, n.magnitude,
                constellationOf(j2000.rightAscension, j2000.declination)};
    }

  private:
    double first_;
    std::vector<Node> nodes_;
};

} // namespace

std::optional<MarsLoop> marsLoopAround(const ClosestApproach& approach) {
    const double a = approach.julianDate;
    const std::optional<double> opposition = oppositionNear(a);
    const std::vector<StationaryPoint> stops = stationaryPointsAround(opposition);
    if (stops.size() != 2) {
        return std::nullopt;
    }
    const StationaryPoint& first = stops[0];
    const StationaryPoint& second = stops[1];
    // Whole days, at 0 h UT, so that the marks fall on the dates the labels give.
    const double from = std::floor(first.utJd - MARGIN_DAYS - 0.5) + 0.5;
    const double to = std::ceil(second.utJd + MARGIN_DAYS - 0.5) + 0.5;
    const Path path(from, to);
    MarsLoop loop{approach,
                  path.markAt(a),
                  path.markAt(*opposition),
                  {path.markAt(first.utJd), path.markAt(second.utJd)},
                  {first.longitude, second.longitude},
                  {}};
    for (double day = from; day <= to; day += 1.0) {
        loop.days.push_back(path.dayAt(day));
    }
    return loop;
}

std::optional<MarsLoop> marsLoopOfYear(int year) {
    const std::vector<ClosestApproach> inYear =
        findClosestApproaches(julianDateOfYear(year), julianDateOfYear(year + 1));
    if (inYear.empty()) {
        return std::nullopt;
    }
    return marsLoopAround(inYear.front());
}

} // namespace orvanta
