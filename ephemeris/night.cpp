#include "ephemeris/night.h"

#include <algorithm>
#include <cmath>
#include <future>

namespace orvanta {

namespace {

constexpr double SAMPLE_STEP = 10.0 / 1440;
// How far the events are looked for either side of the instant: longer than a pass of the
// summer nights at 70°, shorter than the weeks Mars stays up or down nearer the poles.
constexpr double REACH = 2.0;

std::optional<SkyEvent> lastBefore(const std::vector<SkyEvent>& events, double t) {
    std::optional<SkyEvent> found;
    for (const SkyEvent& e : events) {
        if (e.utJd <= t) {
            found = e;
        }
    }
    return found;
}

std::optional<SkyEvent> firstAfter(const std::vector<SkyEvent>& events, double t) {
    const auto e = std::find_if(events.begin(), events.end(),
                                [&](const SkyEvent& event) { return event.utJd > t; });
    return e == events.end() ? std::nullopt : std::optional<SkyEvent>(*e);
}

// Whether Mars is above the horizon at `t`, by the crossings themselves: then the instant, the
// rise and the set never disagree.
bool upAt(const MarsEvents& events, double t) {
    const auto rise = lastBefore(events.rises, t);
    const auto set = lastBefore(events.sets, t);
    if (rise || set) {
        return rise && (!set || set->utJd < rise->utJd);
    }
    const auto nextSet = firstAfter(events.sets, t);
    const auto nextRise = firstAfter(events.rises, t);
    return nextSet ? !nextRise || nextSet->utJd < nextRise->utJd : events.alwaysUp;
}

// The first stretch with a dark sky (darkSky) and Mars well up that lasts longer than one
// sample and does not end before `from`: a single sample is no stretch to be told "from 19:50 to
// 19:50", and where Mars has no rise the stretch that began before the instant counts whole.
std::optional<BestSeen> bestSeen(const std::vector<SkySample>& samples, double from) {
    const auto told = [from](const std::optional<BestSeen>& run) {
        return run && run->to > run->from && run->to >= from;
    };
    std::optional<BestSeen> run;
    for (const SkySample& s : samples) {
        if (darkSky(skyLightOf(s.sunAltitude)) && s.mars.altitude > WELL_UP) {
            run = BestSeen{run ? run->from : s.utJd, s.utJd};
            continue;
        }
        if (told(run)) {
            return run;
        }
        run.reset();
    }
    return told(run) ? run : std::nullopt;
}

} // namespace

SkyLight skyLightOf(double sunAltitude) {
    return sunAltitude > DAYLIGHT ? SkyLight::Day
           : sunAltitude > -6     ? SkyLight::CivilTwilight
           : sunAltitude > -12    ? SkyLight::NauticalTwilight
           : sunAltitude > -18    ? SkyLight::AstronomicalTwilight
                                  : SkyLight::Night;
}

double darknessOf(double sunAltitude) {
    constexpr double DARK = -12; // where darkSky begins
    return std::clamp((DAYLIGHT - sunAltitude) / (DAYLIGHT - DARK), 0.0, 1.0);
}

const char* skyLightWords(SkyLight light) {
    switch (light) {
    case SkyLight::Day:
        return "daylight";
    case SkyLight::CivilTwilight:
        return "civil twilight";
    case SkyLight::NauticalTwilight:
        return "nautical twilight";
    case SkyLight::AstronomicalTwilight:
        return "astronomical twilight";
    case SkyLight::Night:
        break;
    }
    return "night";
}

Tonight marsTonight(double now, const Place& where) {
    // The samples on a grid of their own, so that the track drawn does not shift by the minute;
    // they need nothing of the events, and are found on another core meanwhile (or here, later,
    // where no thread is to be had).
    const double grid = std::floor(now / SAMPLE_STEP) * SAMPLE_STEP;
    std::future<std::vector<SkySample>> samples =
        std::async(std::launch::async | std::launch::deferred, [grid, where] {
            return skySamples(grid - 0.5, grid + 1.0, SAMPLE_STEP, where);
        });
    const MarsEvents events = marsEvents(now - REACH, now + REACH, where);
    Tonight night;
    if (events.rises.empty() && events.sets.empty()) {
        night.alwaysUp = events.alwaysUp;
        night.neverUp = !events.everUp;
    } else if (upAt(events, now)) {
        night.rise = lastBefore(events.rises, now);
        night.set = firstAfter(events.sets, now);
    } else {
        night.rise = firstAfter(events.rises, now);
        night.set = night.rise ? firstAfter(events.sets, night.rise->utJd) : std::nullopt;
    }
    const double from = night.rise ? night.rise->utJd : now;
    if (const auto transit = firstAfter(events.transits, from);
        transit && (!night.set || transit->utJd < night.set->utJd)) {
        const double t = transit->utJd;
        night.transit =
            Transit{t, transit->degrees, horizontalOf(apparentMars(t), t, where).azimuth};
    }
    night.end = night.set ? night.set->utJd : now + 1.0;
    const double start = night.rise ? night.rise->utJd : now;
    std::vector<SkySample> around;
    for (const SkySample& s : samples.get()) {
        if (s.utJd <= night.end + SAMPLE_STEP) {
            around.push_back(s);
        }
        if (s.utJd >= start - SAMPLE_STEP && s.utJd <= night.end + SAMPLE_STEP) {
            night.samples.push_back(s);
        }
    }
    // With a rise, the pass's own samples; without one, Mars has been up all along, and the dark
    // stretch the instant lies in is told from its beginning.
    night.best = night.rise ? bestSeen(night.samples, start) : bestSeen(around, now);
    return night;
}

} // namespace orvanta
