#pragma once

// Towns by name: the offline town list of the system's geonames library, some 24,000 towns with
// their region, country, time zone and place, and the principal cities of the tz database's zones
// that the list lacks (Singapore, McMurdo). A town is found by its name in English, in the
// languages of its country and in the user's ("Munich", "München"), with accents and case aside
// ("tromso" finds Tromsø, "Zurich" finds Zürich), and shown in the user's language where the
// list has it. The functions that find a town by name take any list of towns as well; without one
// they search the system's. The zones are named as this system lists them, whatever name the list
// or TZ gives ("Europe/Kiev" is "Europe/Kyiv" here).

#include "ephemeris/sky.h"
#include "towns/place_text.h"
#include "towns/zone_tables.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta {

// A town's name, region and country in one language.
struct TownWords {
    std::string name, region, country;
    bool operator==(const TownWords&) const = default;
};

struct Town {
    std::string name;    // "Tromsø", "Munich": as the list has it in English, in every locale
    std::string region;  // "Troms og Finnmark"; may be empty
    std::string country; // "Norway"
    std::string zone;    // "Europe/Oslo"
    Place place;
    unsigned population = 0;   // 0 where the list gives none (a zone's city)
    std::string countryCode{}; // "NO"; may be empty
    // In the user's language where the list has it ("München", "Bayern", "Deutschland"); an empty
    // word is the English one.
    TownWords shown{};
    // In the languages of its country, where they differ from the English ("München"): they find
    // the town too.
    std::vector<TownWords> local{};
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
    // Every name's words folded, one space apart: town i's are from first_[i] to first_[i + 1].
    std::vector<std::string> words_;
    std::vector<std::size_t> first_;
};

// The system's towns, read from the geonames library, its catalogs of names and the tz database
// the first time they are asked for (once, by whichever thread asks first: see system_towns.cpp).
const TownList& systemTowns();
// The same read anew, for a measure of the time it takes; or shown in the languages of the
// catalogs given, as messageCatalogs names them ({"de_DE", "de"}), instead of the user's.
TownList readSystemTowns();
TownList readSystemTowns(const std::vector<std::string>& languages);

// "Tromsø, Troms og Finnmark, Norway"; the region is left out where it is the town's own name
// ("Berlin, Germany"). In the user's language where the list has it: "München, Bayern,
// Deutschland" in German.
std::string townTitle(const Town& town);
// The title in English, whatever the user's language: what the settings keep ("Munich, Bavaria,
// Germany"). townNamed finds the town by it in every locale.
std::string englishTitle(const Town& town);
// The town's name in the user's language where the list has it: "München".
std::string shownName(const Town& town);

// A name as it is compared: without accents or case, the letters that carry no accent but are
// typed without one on an English keyboard written plainly ("Tromsø" and "tromso" alike).
std::string foldedName(std::string_view text);

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

// The tz database's names of zones and links, and the zones this system lists (zone.tab's, the
// ones Qt lists), read the first time they are asked for: tzdata.zi's links, or where it is
// missing the zoneinfo folder's symbolic links.
const ZoneNames& systemZoneNames();
// The same read from another zoneinfo folder.
ZoneNames readZoneNames(const std::string& zoneinfo);
// A zone's name as this system lists it: "US/Eastern" is "America/New_York", "Europe/Kiev" is
// "Europe/Kyiv" where the system lists that (ZoneNames::listedName); any other text as it is.
std::string listedZone(std::string_view zone);

// The town of the system's list that a title kept in the settings names (englishTitle's, or
// any townNamed takes), where it lies at the place kept with it (within a kilometre): the kept
// town, to be shown in the user's language. Nothing for any other text or place.
std::optional<Town> townKept(std::string_view title, const Place& place);

// The system's time zone by its name in the tz database ("Europe/Berlin"): TZ, or what
// /etc/localtime links to, as timeZoneNameOf reads them, named as listedZone names it; empty
// when neither names one. With `tz` and `localtime` given, those instead.
std::string timeZoneName();
std::string timeZoneName(std::string_view tz, std::string_view localtime);

// The town of a time zone, by any of its names: the one the zone is named after (Europe/Oslo:
// Oslo), else the largest town in the zone; nothing for a zone no town keeps (UTC).
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
