// A place typed as coordinates or as a town of a small list (towns.tsv): a place on the globe, or
// one printable line; and every town offered for the text, typed back as its title, is that town.

#include "towns/towns.h"

#include "fuzz/fuzz_input.h"

#include <cmath>
#include <fstream>
#include <sstream>

using namespace orvanta;

namespace {

// The longest message: the reason, and a title to try instead.
constexpr std::size_t LONGEST_MESSAGE = 200;

// "NAME\tREGION\tCOUNTRY\tZONE\tLATITUDE\tLONGITUDE\tPOPULATION[\tLOCAL]" a line, LOCAL the
// town's name, region and country in the languages of its country, "NAME;REGION;COUNTRY" each,
// '|' between them; '#' starts a comment.
TownList townsOfList() {
    std::ifstream file(ORVANTA_FUZZ_TOWNS);
    fuzz::check(file.good(), "the town list is read", ORVANTA_FUZZ_TOWNS);
    std::vector<Town> towns;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) {
            fields.push_back(field);
        }
        fuzz::check(fields.size() == 7 || fields.size() == 8, "a town has seven fields or eight",
                    line);
        Town town{fields[0],
                  fields[1],
                  fields[2],
                  fields[3],
                  Place{std::stod(fields[4]), std::stod(fields[5]), 0},
                  static_cast<unsigned>(std::stoul(fields[6]))};
        std::istringstream local(fields.size() == 8 ? fields[7] : std::string());
        for (std::string words; std::getline(local, words, '|');) {
            std::istringstream in(words);
            TownWords named;
            std::getline(in, named.name, ';');
            std::getline(in, named.region, ';');
            std::getline(in, named.country, ';');
            town.local.push_back(named);
        }
        towns.push_back(std::move(town));
    }
    return TownList(std::move(towns));
}

bool onTheGlobe(const Place& place) {
    return std::isfinite(place.latitude) && std::isfinite(place.longitude) &&
           std::isfinite(place.height) && std::fabs(place.latitude) <= 90 &&
           std::fabs(place.longitude) <= 180;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TownList list = townsOfList();
    const std::string_view typed = fuzz::textOf(data, size);
    std::string why;
    if (const std::optional<PlaceEntry> entry = placeOfEntry(list, typed, why)) {
        fuzz::check(onTheGlobe(entry->place), "the place is on the globe");
        fuzz::check(!entry->town || entry->town->place.latitude == entry->place.latitude,
                    "a town's entry is at the town");
    } else {
        fuzz::check(fuzz::isOneLine(why) && why.size() <= LONGEST_MESSAGE,
                    "the message is one printable line", why);
    }
    for (const Town& town : townsMatching(list, typed, 8)) {
        const std::string title = townTitle(town);
        const std::optional<PlaceEntry> back = placeOfEntry(list, title, why);
        fuzz::check(back && back->town && townTitle(*back->town) == title,
                    "a town offered, typed as its title, is that town", title);
    }
    return 0;
}
