#pragma once

// Towns by name, from the offline town list of the system's geonames library: some 24,000 towns
// with their region, country, time zone and place. Accents and case are not needed to find one
// ("tromso" finds Tromsø, "Zürich" finds Zurich). The functions that find a town by name take any
// list of towns as well; without one they search the system's.

#include "ephemeris/sky.h"
#include "towns/place_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta {

struct Town {
    std::string name;    // "Tromsø"
    std::string region;  // "Troms og Finnmark"; may be empty
    std::string country; // "Norway"
    std::string zone;    // "Europe/Oslo"
    Place place;
    unsigned population = 0;
};

// Towns, with the words of each name folded once, when the list is made, for the searches.
class TownList {
  public:
    explicit TownList(std::vector<Town> towns);
    const std::vector<Town>& towns() const { return towns_; }
    // The towns whose name has the words typed in a row, each word at least begun ("fra am"
    // finds Frankfurt am Main, "am main" too), in the list's order.
    std::vector<const Town*> withWords(std::string_view typed) const;

  private:
    std::vector<Town> towns_;
    std::vector<std::string> words_; // a town's: its name's words folded, one space apart
};

// The system's towns, read from the geonames library the first time they are asked for.
const TownList& systemTowns();

// "Tromsø, Troms og Finnmark, Norway"; the region is left out where it is the town's own name
// ("Berlin, Germany").
std::string townTitle(const Town& town);

// The towns a name being typed may become, largest first, at most `most` of them.
std::vector<Town> townsMatching(const TownList& towns, std::string_view typed, std::size_t most);
inline std::vector<Town> townsMatching(std::string_view typed, std::size_t most) {
    return townsMatching(systemTowns(), typed, most);
}

// The town a name stands for: "Sydney" (the largest of that name), or a title as townTitle writes
// it ("Sydney, Nova Scotia, Canada", "Sydney, Canada").
std::optional<Town> townNamed(const TownList& towns, std::string_view typed);
inline std::optional<Town> townNamed(std::string_view typed) {
    return townNamed(systemTowns(), typed);
}

// The system's time zone by its name in the tz database ("Europe/Berlin"): TZ, or what
// /etc/localtime links to, as timeZoneNameOf reads them; empty when neither names one.
std::string timeZoneName();

// The town of a time zone: the one the zone is named after (Europe/Oslo: Oslo), else the largest
// town in the zone; nothing for a zone no town keeps (UTC).
std::optional<Town> townOfZone(std::string_view zone);

struct NearTown {
    Town town;
    double km;
};
// The known town nearest a place.
std::optional<NearTown> nearestTown(const Place& place);
// How far a town may lie for its clock to be taken as a place's: beyond a few hundred km the
// nearest town may well keep another zone.
constexpr double NEAREST_TOWN_REACH_KM = 400.0;

// A place as a user types it: a latitude and longitude in any form parsePlace takes, or a town.
// Nothing, with what was not understood in `error`, for anything else.
struct PlaceEntry {
    // A place is an entry of its own: typed as coordinates.
    PlaceEntry(Place at,
               std::optional<Town> of = std::nullopt) // implicit: a bare place is an entry
        : place(at), town(std::move(of)) {}
    Place place;
    std::optional<Town> town;
};
std::optional<PlaceEntry> placeOfEntry(const TownList& towns, std::string_view typed,
                                       std::string& error);
inline std::optional<PlaceEntry> placeOfEntry(std::string_view typed, std::string& error) {
    return placeOfEntry(systemTowns(), typed, error);
}

} // namespace orvanta
