#pragma once

// The searches over three spans: the closest approaches alone, and with the oppositions and the
// stationary points beside them. Each reports, per approach found, the Earth-and-Mars evaluations
// it made with the full series and with cut ones (an apparent place takes several), counted by the
// series itself outside the timed loop, with the heap allocations of one call. Both benchmark
// processes register them: the plain one, and the one holding a QApplication, where the series must
// run as fast.

#include "ephemeris/closest_approach.h"
#include "ephemeris/opposition.h"
#include "ephemeris/vsop87.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <string>

namespace orvanta::bench {

struct SearchedSpan {
    const char* name;
    int fromYear, toYear;
};

inline constexpr SearchedSpan SEARCHED_SPANS[] = {
    {"1990To2060", 1990, 2060}, {"1900To2100", 1900, 2100}, {"1000To2000", 1000, 2000}};

// `search` returns how many approaches it found.
template <typename Search>
void measureSearch(benchmark::State& state, Search search) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(search());
    }
    const long allocations = allocationCount();
    const EvaluationCount before = evaluationCount();
    const std::size_t approaches = search();
    const EvaluationCount after = evaluationCount();
    state.counters["allocs/call"] = static_cast<double>(allocationCount() - allocations);
    const double bodiesPerApproach = 2.0 * static_cast<double>(approaches);
    state.counters["approaches"] = static_cast<double>(approaches);
    state.counters["full/approach"] =
        static_cast<double>(after.full - before.full) / bodiesPerApproach;
    state.counters["cut/approach"] =
        static_cast<double>(after.cut - before.cut) / bodiesPerApproach;
}

inline void registerSearchBenchmarks() {
    for (const SearchedSpan& span : SEARCHED_SPANS) {
        const double from = julianDateOfYear(span.fromYear);
        const double to = julianDateOfYear(span.toYear);
        benchmark::RegisterBenchmark(
            (std::string("BM_FindClosestApproaches_") + span.name).c_str(),
            [=](benchmark::State& state) {
                measureSearch(state, [=] { return findClosestApproaches(from, to).size(); });
            })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_ApparitionsBetween_") + span.name).c_str(),
                                     [=](benchmark::State& state) {
                                         measureSearch(state, [=] {
                                             return apparitionsBetween(from, to).approaches.size();
                                         });
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace orvanta::bench
