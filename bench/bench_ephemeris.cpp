// Speed of the ephemeris against its floor: the same number of bare cosines on the same arguments.
// Every benchmark also reports the heap allocations of one call outside the timed loop, where the
// framework's own bookkeeping does not mix in (operator new is counted for the whole program).

#include "ephemeris/apparition_nights.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/mars_faces.h"
#include "ephemeris/mars_loop.h"
#include "ephemeris/night.h"
#include "ephemeris/sky.h"
#include "ephemeris/vsop87.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <numeric>
#include <vector>

using namespace orvanta;

namespace {

constexpr double ENCOUNTER_JD = 2452878.911333;

int termCount(float factor) {
    int n = 0;
    for (const VsopBody* body : {&VSOP87A_EARTH, &VSOP87A_MARS}) {
        const auto counts = scaledTermCounts(*body, factor);
        n += std::accumulate(counts.begin(), counts.end(), 0);
    }
    return n;
}

template <typename Call>
long allocationsOf(Call call) {
    const long before = allocationCount();
    call();
    return allocationCount() - before;
}

void report(benchmark::State& state, int terms, long allocationsPerCall) {
    state.counters["terms"] = terms;
    state.counters["ns/term"] = benchmark::Counter(static_cast<double>(terms),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
    state.counters["allocs/call"] = static_cast<double>(allocationsPerCall);
}

void evaluateBoth(benchmark::State& state, float factor) {
    double jd = ENCOUNTER_JD;
    auto call = [&] {
        Vec3 earth{}, mars{};
        evaluateEarth(jd, earth, factor);
        evaluateMars(jd, mars, factor);
        benchmark::DoNotOptimize(earth);
        benchmark::DoNotOptimize(mars);
        jd += 1e-6; // a new instant each time, as the clock gives
    };
    for (auto _ : state) {
        call();
    }
    report(state, termCount(factor), allocationsOf(call));
}

void BM_EvaluateEarthAndMars_Full(benchmark::State& state) {
    evaluateBoth(state, 1.0f);
}
void BM_EvaluateEarthAndMars_Quarter(benchmark::State& state) {
    evaluateBoth(state, 0.25f);
}

void BM_ComputeEncounterState(benchmark::State& state) {
    auto call = [] {
        computeEncounterState();
        benchmark::DoNotOptimize(encounterState);
    };
    for (auto _ : state) {
        call();
    }
    report(state, termCount(1.0f), allocationsOf(call));
}

// The floor: one std::cos per term on exactly the arguments the full evaluation uses.
void BM_BareCosineLoop(benchmark::State& state) {
    const double t = (ENCOUNTER_JD - 2451545.0) * 2.737850787132101e-6;
    std::vector<double> arguments;
    for (const VsopBody* body : {&VSOP87A_EARTH, &VSOP87A_MARS}) {
        const int n = std::accumulate(body->counts.begin(), body->counts.end(), 0);
        for (int i = 0; i < n; ++i) {
            arguments.push_back(body->terms[i].c * t + body->terms[i].b);
        }
    }
    auto call = [&] {
        double sum = 0.0;
        for (double x : arguments) {
            sum += std::cos(x);
        }
        benchmark::DoNotOptimize(sum);
    };
    for (auto _ : state) {
        call();
    }
    report(state, static_cast<int>(arguments.size()), allocationsOf(call));
}

// The sky for one night at a place: Mars's place now, tonight's pass and its track, its
// constellation.
void BM_SkyForOneNight(benchmark::State& state) {
    const Place berlin{52.52, 13.405, 34};
    const double now = 2461456.51; // 2027-02-20, the night of the approach
    for (auto _ : state) {
        benchmark::DoNotOptimize(horizontalOf(apparentMars(now), now, berlin));
        benchmark::DoNotOptimize(marsTonight(now, berlin));
        benchmark::DoNotOptimize(marsConstellation(now));
    }
}

// One night's faces: every named feature's crossings of the central meridian through the pass,
// with Mars's altitude and the sky's light at each (the pass itself found once, outside).
void BM_FacesForOneNight(benchmark::State& state) {
    const Place berlin{52.52, 13.405, 34};
    const Tonight night = marsTonight(2461456.51, berlin);
    for (auto _ : state) {
        benchmark::DoNotOptimize(faceCrossings(night, berlin));
    }
}

// Mars's loop of one apparition: its path day by day and its stops, from the approach (2027's).
void BM_MarsLoop(benchmark::State& state) {
    const ClosestApproach approach = approachAt(2461456.509);
    for (auto _ : state) {
        benchmark::DoNotOptimize(marsLoopAround(approach));
    }
}

// The nights of one apparition from one place (2027's from Berlin): ten months, night by night,
// as the Approaches window's third tab finds them.
void BM_ApparitionNights(benchmark::State& state) {
    const Place berlin{52.52, 13.405, 34};
    const NightsSpan span = apparitionSpan(2461456.509);
    for (auto _ : state) {
        benchmark::DoNotOptimize(apparitionNights(span.from, span.to, berlin));
    }
}

// The same nights marked where Syrtis Major (290° W) faces Earth while Mars is well placed.
void BM_NightsFacingAFeature(benchmark::State& state) {
    const NightsSpan span = apparitionSpan(2461456.509);
    const std::vector<ApparitionNight> nights =
        apparitionNights(span.from, span.to, Place{52.52, 13.405, 34});
    for (auto _ : state) {
        benchmark::DoNotOptimize(facingWhileWellPlaced(nights, 290.0));
    }
}

BENCHMARK(BM_ApparitionNights)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NightsFacingAFeature)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarsLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCosineLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkyForOneNight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FacesForOneNight)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateEarthAndMars_Full)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateEarthAndMars_Quarter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeEncounterState)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
