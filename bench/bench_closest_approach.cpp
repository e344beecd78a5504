// The searches over three spans (search_benchmarks.h), the look-ahead the widget would make, and
// the Approaches window's chart, each with the heap allocations of one call, counted outside the
// timed loop.

#include "bench/search_benchmarks.h"
#include "ephemeris/approach_chart.h"
#include "ephemeris/closest_approach.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <benchmark/benchmark.h>

using namespace orvanta;

namespace {

constexpr double JD_2003 = 2452640.5; // 2003-01-01 0h UT

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

BENCHMARK(BM_NextClosestApproachAfter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DistanceChart_DefaultSpan)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    bench::registerSearchBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
