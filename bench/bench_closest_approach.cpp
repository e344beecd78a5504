// The closest-approach search over the seventy years around the encounter, the look-ahead the
// widget would make, and the Approaches window's chart. Each benchmark reports the work of one call
// in evaluations of both bodies at one instant (quarter precision to scan and bracket, full series
// to settle each instant) and its heap allocations, counted outside the timed loop.

#include "ephemeris/approach_chart.h"
#include "ephemeris/closest_approach.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <benchmark/benchmark.h>

using namespace orvanta;

namespace {

constexpr double JD_1990 = 2447892.5; // 1990-01-01 0h UT
constexpr double JD_2060 = 2473459.5; // 2060-01-01 0h UT
constexpr double JD_2003 = 2452640.5; // 2003-01-01 0h UT

void BM_FindClosestApproaches_1990To2060(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(findClosestApproaches(JD_1990, JD_2060));
    }
    ApproachSearchWork work{0, 0};
    const long before = allocationCount();
    const auto approaches = findClosestApproaches(JD_1990, JD_2060, &work);
    state.counters["allocs/call"] = static_cast<double>(allocationCount() - before);
    const auto found = static_cast<double>(approaches.size());
    state.counters["approaches"] = found;
    state.counters["quarter evals"] = static_cast<double>(work.quarterEvaluations);
    state.counters["full evals"] = static_cast<double>(work.fullEvaluations);
    state.counters["full/approach"] = static_cast<double>(work.fullEvaluations) / found;
}

void BM_NextClosestApproachAfter(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(nextClosestApproachAfter(JD_2003));
    }
    const long before = allocationCount();
    benchmark::DoNotOptimize(nextClosestApproachAfter(JD_2003));
    state.counters["allocs/call"] = static_cast<double>(allocationCount() - before);
}

// What the Approaches window computes when it opens: the default span, 15 years before now to 32
// after it, searched and its distance curve sampled.
void BM_DistanceChart_DefaultSpan(benchmark::State& state) {
    constexpr double JD_2011 = 2455562.5; // 2011-01-01 0h UT
    constexpr double JD_2058 = 2472729.5; // 2058-01-01 0h UT
    for (auto _ : state) {
        benchmark::DoNotOptimize(distanceChart(JD_2011, JD_2058));
    }
    const DistanceChart chart = distanceChart(JD_2011, JD_2058);
    state.counters["approaches"] = static_cast<double>(chart.approaches.size());
    state.counters["samples"] = static_cast<double>(chart.curve.size());
}

BENCHMARK(BM_FindClosestApproaches_1990To2060)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextClosestApproachAfter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DistanceChart_DefaultSpan)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
