#include "ephemeris/apparition_nights.h"

#include "ephemeris/apparent_place.h"
#include "ephemeris/mars_disk.h"
#include "ephemeris/moon.h"
#include "ephemeris/night.h"
#include "ephemeris/opposition.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orvanta {

namespace {

// The samples' step, as the night's pass takes them: a night's dark stretch is a few dozen of
// them, and the best moment is refined between two.
constexpr double STEP = 10.0 / 1440;
constexpr double SECOND = 1.0 / 86400;

bool dark(double sunAltitude) {
    return darkSky(skyLightOf(sunAltitude));
}

// Mars and the Sun from the place at one instant, on the full series rather than interpolated.
struct Seen {
    double mars, sun;
};
Seen seenAt(double t, const Place& where) {
    const ApparentPair pair = apparentMarsAndSun(t);
    return {horizontalOf(pair.mars, t, where).altitude, horizontalOf(pair.sun, t, where).altitude};
}

// Where the sky turns dark or light between a dark instant and one that is not, to a second.
double darkEdge(double darkAt, double lightAt, const Place& where) {
    while (std::fabs(lightAt - darkAt) > SECOND) {
        const double m = (darkAt + lightAt) / 2;
        (dark(seenAt(m, where).sun) ? darkAt : lightAt) = m;
    }
    return darkAt;
}

// The highest Mars stands in [lo, hi], where its altitude has one peak (or rises or falls
// throughout): golden-section steps on the full series, to a few seconds.
BestDark highestIn(double lo, double hi, const Place& where) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double a = hi - ratio * (hi - lo), b = lo + ratio * (hi - lo);
    double fa = seenAt(a, where).mars, fb = seenAt(b, where).mars;
    while (hi - lo > 5 * SECOND) {
        if (fa < fb) {
            lo = a;
            a = b;
            fa = fb;
            b = lo + ratio * (hi - lo);
            fb = seenAt(b, where).mars;
        } else {
            hi = b;
            b = a;
            fb = fa;
            a = hi - ratio * (hi - lo);
            fa = seenAt(a, where).mars;
        }
    }
    // The ends themselves too: the best may be where the dark begins or ends.
    BestDark best{(lo + hi) / 2, seenAt((lo + hi) / 2, where).mars};
    for (const double end : {lo, hi}) {
        if (const double altitude = seenAt(end, where).mars; altitude > best.altitude) {
            best = {end, altitude};
        }
    }
    return best;
}

// The share of the step from `a` to `b` in which a quantity going straight from `fa` to `fb`
// is above `level`, as the interval [from, to] of that share.
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

// Hours with Mars well up in a dark sky: each step's share where Mars crosses WELL_UP found
// along the straight line between the samples, where the sky turns dark or light found exactly.
double hoursWellPlaced(const SkySample* first, const SkySample* last, const Place& where) {
    double days = 0;
    for (const SkySample* s = first; s + 1 < last; ++s) {
        const Share up = above(s->mars.altitude, s[1].mars.altitude, WELL_UP);
        const bool d0 = dark(s->sunAltitude), d1 = dark(s[1].sunAltitude);
        if (up.to <= up.from || (!d0 && !d1)) {
            continue;
        }
        Share sky{0, 1};
        if (d0 != d1) {
            const double edge =
                (darkEdge(d0 ? s->utJd : s[1].utJd, d0 ? s[1].utJd : s->utJd, where) - s->utJd) /
                (s[1].utJd - s->utJd);
            sky = d0 ? Share{0, edge} : Share{edge, 1};
        }
        const double overlap = std::min(up.to, sky.to) - std::max(up.from, sky.from);
        days += std::max(0.0, overlap) * (s[1].utJd - s->utJd);
    }
    return days * 24;
}

ApparitionNight nightOf(double noon, const SkySample* first, const SkySample* last,
                        const Place& where) {
    ApparitionNight night{noon, std::nullopt, 0, hoursWellPlaced(first, last, where), 0, 0, 0};
    const SkySample* top = nullptr;
    for (const SkySample* s = first; s != last; ++s) {
        if (dark(s->sunAltitude) && (top == nullptr || s->mars.altitude > top->mars.altitude)) {
            top = s;
        }
    }
    if (top != nullptr) {
        // Either side of the best sample, as far as the neighbour, or the dark's edge before it.
        const auto side = [&](const SkySample* next, double within) {
            if (next < first || next >= last) {
                return within;
            }
            return dark(next->sunAltitude) ? next->utJd : darkEdge(top->utJd, next->utJd, where);
        };
        night.best = highestIn(side(top - 1, top->utJd), side(top + 1, top->utJd), where);
    }
    const double t = night.best ? night.best->utJd : noon + 0.5;
    night.diameter = marsDiskAt(t).diameter;
    const Equatorial moon = apparentMoon(t);
    night.moonLit = moonLitFraction(moon, apparentSun(t));
    night.moonFromMars = moonFrom(apparentMars(t), t, where);
    night.moonAltitude = horizontalOf(moon, t, where).altitude;
    return night;
}

} // namespace

std::vector<ApparitionNight> apparitionNights(double fromUtJd, double toUtJd, const Place& where) {
    std::vector<ApparitionNight> nights;
    // The place's mean noon: a whole Julian day number less its longitude's share of a day.
    const double offset = where.longitude / 360;
    const double firstNoon = std::ceil(fromUtJd + offset) - offset;
    if (!(toUtJd > firstNoon) || !std::isfinite(firstNoon)) {
        return nights;
    }
    const auto count = static_cast<std::size_t>(std::ceil(toUtJd - firstNoon));
    const std::vector<SkySample> samples =
        skySamples(firstNoon, firstNoon + static_cast<double>(count), STEP, where);
    nights.reserve(count);
    const SkySample* first = samples.data();
    const SkySample* end = samples.data() + samples.size();
    for (std::size_t i = 0; i < count; ++i) {
        const double noon = firstNoon + static_cast<double>(i);
        const SkySample* last =
            std::find_if(first, end, [&](const SkySample& s) { return s.utJd >= noon + 1; });
        // The sample at the next noon closes this night's last step.
        nights.push_back(nightOf(noon, first, std::min(last + 1, end), where));
        first = last;
    }
    return nights;
}

NightsSpan apparitionSpan(double approachUtJd) {
    const double middle = oppositionNear(approachUtJd).value_or(approachUtJd);
    return {middle - APPARITION_HALF_SPAN, middle + APPARITION_HALF_SPAN};
}

} // namespace orvanta
