#include "ephemeris/apparition_nights.h"

#include "ephemeris/encounter_state.h"
#include "ephemeris/mars_faces.h"
#include "ephemeris/moon.h"
#include "ephemeris/night.h"
#include "ephemeris/opposition.h"
#include "ephemeris/sky_track.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

// The samples' step, as the night's pass takes them: a night's dark stretch is a few dozen of
// them, and the best moment is refined between two.
constexpr double STEP = 10.0 / 1440;
constexpr double SECOND = 1.0 / 86400;
// The places of Mars and the Sun a day apart: ten months of nights cost three hundred places of
// each, where the tracks of a single night take theirs three hours apart (sky_track.h).
constexpr double NODE_STEP = 1.0;

bool dark(double sunAltitude) {
    return darkSky(skyLightOf(sunAltitude));
}

// Mars and the Sun seen from the place over the whole span, from their tracks.
class Sky {
  public:
    Sky(double from, double to, const Place& where)
        : mars_(from, to, Body::Mars, NODE_STEP), sun_(from, to, Body::Sun, NODE_STEP),
          where_(where) {}
    const Place& place() const { return where_; }
    Equatorial mars(double t) const { return mars_.at(t); }
    Equatorial sun(double t) const { return sun_.at(t); }
    double marsAltitude(double t) const { return horizontalOf(mars_.at(t), t, where_).altitude; }
    double sunAltitude(double t) const { return horizontalOf(sun_.at(t), t, where_).altitude; }
    SkySample sample(double t) const {
        return {t, horizontalOf(mars_.at(t), t, where_), sunAltitude(t)};
    }

  private:
    SkyTrack mars_, sun_;
    Place where_;
};

// Where the sky turns dark or light between a dark instant and one that is not, to a second.
double darkEdge(const Sky& sky, double darkAt, double lightAt) {
    while (std::fabs(lightAt - darkAt) > SECOND) {
        const double m = (darkAt + lightAt) / 2;
        (dark(sky.sunAltitude(m)) ? darkAt : lightAt) = m;
    }
    return darkAt;
}

// The highest Mars stands in [lo, hi], where its altitude has one peak (or rises or falls
// throughout): golden-section steps, to a few seconds, and the ends themselves, where the best
// may be as the dark begins or ends.
BestDark highestIn(const Sky& sky, double lo, double hi) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = hi - ratio * (hi - lo), b = lo + ratio * (hi - lo);
    double fa = sky.marsAltitude(a), fb = sky.marsAltitude(b);
    const double first = lo, last = hi;
    while (hi - lo > 5 * SECOND) {
        if (fa < fb) {
            lo = a;
            a = b;
            fa = fb;
            b = lo + ratio * (hi - lo);
            fb = sky.marsAltitude(b);
        } else {
            hi = b;
            b = a;
            fb = fa;
            a = hi - ratio * (hi - lo);
            fa = sky.marsAltitude(a);
        }
    }
    BestDark best{(lo + hi) / 2, sky.marsAltitude((lo + hi) / 2)};
    for (const double end : {first, last}) {
        if (const double altitude = sky.marsAltitude(end); altitude > best.altitude) {
            best = {end, altitude};
        }
    }
    return best;
}

// The share [from, to] of a step in which a quantity going straight from `fa` to `fb` is above
// `level`.
struct Share {
    double from, to;
};
Share above(double fa, double fb, double level) {
    if (fa == fb) {
        return fa > level ? Share{0, 1} : Share{0, 0};
    }
    const double cross = std::clamp((level - fa) / (fb - fa), 0.0, 1.0);
    return fb > fa ? Share{cross, 1} : Share{0, cross};
}

// The stretches with Mars well up in a dark sky: where Mars crosses WELL_UP found along the
// straight line between two samples, where the sky turns dark or light found by the rule itself.
std::vector<WellPlaced> wellPlaced(const Sky& sky, const SkySample* first, const SkySample* last) {
    std::vector<WellPlaced> stretches;
    for (const SkySample* s = first; s + 1 < last; ++s) {
        const Share up = above(s->mars.altitude, s[1].mars.altitude, WELL_UP);
        const bool d0 = dark(s->sunAltitude), d1 = dark(s[1].sunAltitude);
        if (up.to <= up.from || (!d0 && !d1)) {
            continue;
        }
        const double step = s[1].utJd - s->utJd;
        Share lit{0, 1};
        if (d0 != d1) {
            const double edge =
                (darkEdge(sky, d0 ? s->utJd : s[1].utJd, d0 ? s[1].utJd : s->utJd) - s->utJd) /
                step;
            lit = d0 ? Share{0, edge} : Share{edge, 1};
        }
        const double from = std::max(up.from, lit.from), to = std::min(up.to, lit.to);
        if (to <= from) {
            continue;
        }
        const WellPlaced piece{s->utJd + from * step, s->utJd + to * step};
        // A stretch that goes on from the step before is one stretch.
        if (!stretches.empty() && piece.from - stretches.back().to < SECOND) {
            stretches.back().to = piece.to;
        } else {
            stretches.push_back(piece);
        }
    }
    return stretches;
}

ApparitionNight nightOf(const Sky& sky, double noon, const SkySample* first,
                        const SkySample* last) {
    ApparitionNight night{noon,
                          std::round(noon + sky.place().longitude / 360),
                          std::nullopt,
                          0,
                          wellPlaced(sky, first, last),
                          0,
                          0,
                          0};
    const SkySample* top = nullptr;
    for (const SkySample* s = first; s != last; ++s) {
        if (dark(s->sunAltitude) && (top == nullptr || s->mars.altitude > top->mars.altitude)) {
            top = s;
        }
    }
    if (top != nullptr) {
        // Either side of the best sample, as far as the neighbour, or the dark's edge before it.
        const auto side = [&](const SkySample* next) {
            if (next < first || next >= last) {
                return top->utJd;
            }
            return dark(next->sunAltitude) ? next->utJd : darkEdge(sky, top->utJd, next->utJd);
        };
        night.best = highestIn(sky, side(top - 1), side(top + 1));
    }
    const double t = night.best ? night.best->utJd : noon + 0.5;
    const Equatorial mars = sky.mars(t);
    night.diameter = 2 * MARS_SEMI_DIAMETER_AT_1_AU_ARCSEC / mars.distanceAu;
    const Equatorial moon = apparentMoon(t);
    night.moonLit = moonLitFraction(moon, sky.sun(t));
    night.moonFromMars = moonFrom(mars, t, sky.place());
    night.moonAltitude = horizontalOf(moon, t, sky.place()).altitude;
    return night;
}

} // namespace

double ApparitionNight::hoursWellPlaced() const {
    double days = 0;
    for (const WellPlaced& w : wellPlaced) {
        days += w.to - w.from;
    }
    return days * 24;
}

std::vector<ApparitionNight> apparitionNights(double fromUtJd, double toUtJd, const Place& where) {
    std::vector<ApparitionNight> nights;
    // The place's mean noon: a whole Julian day number less its longitude's share of a day.
    const double offset = where.longitude / 360;
    const double firstNoon = std::ceil(fromUtJd + offset) - offset;
    if (!std::isfinite(firstNoon) || !(toUtJd > firstNoon)) {
        return nights;
    }
    const auto count = static_cast<std::size_t>(std::ceil(toUtJd - firstNoon));
    const double lastNoon = firstNoon + static_cast<double>(count);
    const Sky sky(firstNoon, lastNoon, where);
    // One grid for the span: a night's last sample is the next night's first.
    const auto perNight = static_cast<std::size_t>(std::lround(1 / STEP));
    std::vector<SkySample> samples;
    samples.reserve(count * perNight + 1);
    for (std::size_t i = 0; i <= count * perNight; ++i) {
        samples.push_back(sky.sample(firstNoon + static_cast<double>(i) * STEP));
    }
    nights.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const SkySample* first = samples.data() + i * perNight;
        nights.push_back(
            nightOf(sky, firstNoon + static_cast<double>(i), first, first + perNight + 1));
    }
    return nights;
}

std::vector<std::optional<double>> facingWhileWellPlaced(const std::vector<ApparitionNight>& nights,
                                                         double westLongitude) {
    std::vector<std::optional<double>> facing;
    facing.reserve(nights.size());
    for (const ApparitionNight& night : nights) {
        std::optional<double> first;
        for (const WellPlaced& w : night.wellPlaced) {
            if (const std::vector<double> at = meridianCrossings(westLongitude, w.from, w.to);
                !first && !at.empty()) {
                first = at.front();
            }
        }
        facing.push_back(first);
    }
    return facing;
}

NightsSpan apparitionSpan(double approachUtJd) {
    const double middle = oppositionNear(approachUtJd).value_or(approachUtJd);
    return {middle - APPARITION_HALF_SPAN, middle + APPARITION_HALF_SPAN};
}

} // namespace orvanta
