// The tz database's tables as the towns read them: tzdata.zi's zones and links, then a zone table
// and a country table, all three the same bytes. Every name answered is one the database could
// hold; a link is followed to its zone and back; a row is a place on the globe.

#include "towns/zone_tables.h"

#include "fuzz/fuzz_input.h"
#include "towns/place_text.h"

#include <algorithm>
#include <cmath>

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    ZoneNames names;
    names.readTzdata(text);
    const std::vector<ZoneRow> rows = readZoneTable(text);
    for (const ZoneRow& row : rows) {
        fuzz::check(std::fabs(row.place.latitude) <= 90 && std::fabs(row.place.longitude) <= 180,
                    "a row's place is on the globe", row.zone);
        fuzz::check(isZoneName(row.zone) && !row.countries.empty(),
                    "a row has a zone and a country", row.zone);
        names.addListed(row.zone);
        const std::string city = cityOfZone(row.zone);
        fuzz::check(city.find('/') == std::string::npos && city.find('_') == std::string::npos,
                    "a zone's city is one name", city);
    }
    for (const auto& [code, country] : readCountryTable(text)) {
        fuzz::check(code.size() == 2 && !country.empty(), "a country has a code and a name", code);
    }
    // Each word of the text as a name asked for.
    std::size_t from = 0;
    for (int asked = 0; asked < 64 && from < text.size(); ++asked) {
        const std::size_t end = std::min(text.find_first_of(" \t\n", from), text.size());
        const std::string_view name = text.substr(from, end - from);
        from = end + 1;
        const std::string target = names.targetOf(name);
        fuzz::check(target == name || (names.knows(name) && isZoneName(target)),
                    "a link's zone is a zone's name", target);
        const std::vector<std::string> all = names.namesOf(name);
        fuzz::check(!all.empty() && all.front() == name, "a name is among its own", name);
        fuzz::check(std::find(all.begin(), all.end(), target) != all.end(),
                    "the zone is among its names", target);
        for (const std::string& other : all) {
            fuzz::check(other == name || names.targetOf(other) == target,
                        "every name of a zone stands for it", other);
        }
        const std::string listed = names.listedName(name);
        fuzz::check(std::find(all.begin(), all.end(), listed) != all.end(),
                    "the name listed is one of the zone's", listed);
    }
    return 0;
}
