// What the towns cost: reading the system's list once (the geonames library's towns, the names of
// each in its country's languages and the user's from the library's catalogs, the tz database's
// zones and zone cities), the search as a name is typed, and a whole typed place taken.
// Run it under LC_ALL=de_DE.UTF-8 as well: the user's language adds a catalog to the reading.

#include "towns/towns.h"

#include <benchmark/benchmark.h>

using namespace orvanta;

namespace {

void readTowns(benchmark::State& state) {
    std::size_t towns = 0;
    for (auto _ : state) {
        const TownList list = readSystemTowns();
        towns = list.towns().size();
        benchmark::DoNotOptimize(towns);
    }
    state.counters["towns"] = static_cast<double>(towns);
}
BENCHMARK(readTowns)->Unit(benchmark::kMillisecond);

void readZones(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(orvanta::readZoneNames("/usr/share/zoneinfo"));
    }
}
BENCHMARK(readZones)->Unit(benchmark::kMillisecond);

void townsAsTyped(benchmark::State& state) {
    const TownList& list = systemTowns();
    for (auto _ : state) {
        benchmark::DoNotOptimize(townsMatching(list, "mün", 12));
    }
}
BENCHMARK(townsAsTyped)->Unit(benchmark::kMillisecond);

void placeTyped(benchmark::State& state) {
    const TownList& list = systemTowns();
    std::string why;
    for (auto _ : state) {
        benchmark::DoNotOptimize(placeOfEntry(list, "Zürich, Schweiz", why));
    }
}
BENCHMARK(placeTyped)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
