#include "towns/towns.h"

#include "ephemeris/place.h"
#include "rules/whole_text.h"

#include <algorithm>
#include <cstdlib>
#include <geonames.h>
#include <limits>
#include <memory>
#include <unistd.h>

namespace orvanta {

namespace {

std::string textOf(const gchar* text) {
    return text != nullptr ? std::string(text) : std::string();
}

Town townAt(gint index) {
    const std::unique_ptr<GeonamesCity, void (*)(GeonamesCity*)> city(geonames_get_city(index),
                                                                      geonames_city_free);
    if (!city) {
        return {};
    }
    GeonamesCity* c = city.get();
    return Town{textOf(geonames_city_get_name(c)),
                textOf(geonames_city_get_state(c)),
                textOf(geonames_city_get_country(c)),
                textOf(geonames_city_get_timezone(c)),
                Place{geonames_city_get_latitude(c), geonames_city_get_longitude(c), 0},
                geonames_city_get_population(c)};
}

// A name as it is compared: without accents or case, the letters that carry no accent but are
// typed without one on an English keyboard written plainly ("Tromsø" and "tromso" alike).
std::string folded(std::string_view text) {
    const std::unique_ptr<gchar, void (*)(gpointer)> decomposed(
        g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_NFD), g_free);
    if (!decomposed) {
        return {};
    }
    struct Plain {
        gunichar letter;
        const char* written;
    };
    static constexpr Plain PLAIN[] = {{0x00F8, "o"},  {0x00E6, "ae"}, {0x00DF, "ss"},
                                      {0x0142, "l"},  {0x0111, "d"},  {0x0131, "i"},
                                      {0x0153, "oe"}, {0x00FE, "th"}, {0x00F0, "d"}};
    std::string plain;
    for (const gchar* at = decomposed.get(); *at != '\0'; at = g_utf8_next_char(at)) {
        const gunichar c = g_unichar_tolower(g_utf8_get_char(at));
        if (g_unichar_ismark(c)) {
            continue;
        }
        const auto* found = std::find_if(std::begin(PLAIN), std::end(PLAIN),
                                         [c](const Plain& p) { return p.letter == c; });
        if (found != std::end(PLAIN)) {
            plain += found->written;
        } else {
            gchar bytes[6];
            plain.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
        }
    }
    return plain;
}

// A name's words as they are matched: folded, split at whatever is neither letter nor digit
// ("Saint-Étienne" and "saint etienne" alike, "d'Oeste" two words), one space apart.
std::string wordsOf(std::string_view text) {
    const std::string plain = folded(text);
    std::string words;
    for (const gchar* at = plain.c_str(); *at != '\0'; at = g_utf8_next_char(at)) {
        if (g_unichar_isalnum(g_utf8_get_char(at))) {
            words.append(at, static_cast<std::size_t>(g_utf8_next_char(at) - at));
        } else if (!words.empty() && words.back() != ' ') {
            words += ' ';
        }
    }
    if (!words.empty() && words.back() == ' ') {
        words.pop_back();
    }
    return words;
}

// Whether the words typed, the last perhaps unfinished, begin the name's words from `at` on.
bool beginsWords(std::string_view name, std::size_t at, std::string_view typed) {
    while (true) {
        const std::size_t nameEnd = std::min(name.find(' ', at), name.size());
        const std::size_t typedEnd = std::min(typed.find(' '), typed.size());
        if (nameEnd - at < typedEnd || name.compare(at, typedEnd, typed, 0, typedEnd) != 0) {
            return false;
        }
        if (typedEnd == typed.size()) {
            return true;
        }
        if (nameEnd == name.size()) {
            return false;
        }
        at = nameEnd + 1;
        typed.remove_prefix(typedEnd + 1);
    }
}

// Text split at its commas, each part trimmed and folded: "Sydney, Nova Scotia" is
// {"sydney", "nova scotia"}.
std::vector<std::string> foldedParts(std::string_view text) {
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        parts.push_back(folded(trimmed(text.substr(from, comma - from))));
        from = comma + 1;
    }
    return parts;
}

// Whether `parts` begins with all of `of`, which a comma in a name makes more than one part, and if
// so drops them.
bool dropped(std::vector<std::string>& parts, const std::vector<std::string>& of) {
    if (of.front().empty() || parts.size() < of.size() ||
        !std::equal(of.begin(), of.end(), parts.begin())) {
        return false;
    }
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(of.size()));
    return true;
}

// Whether parts typed name the town: its name, then its region or country, or both, in any order.
// A name or region may hold commas itself ("Burgdorf, Hanover").
bool names(std::vector<std::string> parts, const Town& town) {
    if (!dropped(parts, foldedParts(town.name))) {
        return false;
    }
    const std::vector<std::string> region = foldedParts(town.region);
    const std::vector<std::string> country = foldedParts(town.country);
    while (!parts.empty()) {
        if (!dropped(parts, region) && !dropped(parts, country)) {
            return false;
        }
    }
    return true;
}

std::vector<Town> geonamesTowns() {
    std::vector<Town> towns;
    const gint count = geonames_get_n_cities();
    towns.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (gint i = 0; i < count; ++i) {
        towns.push_back(townAt(i));
    }
    return towns;
}

} // namespace

TownList::TownList(std::vector<Town> towns) : towns_(std::move(towns)) {
    words_.reserve(towns_.size());
    for (const Town& town : towns_) {
        words_.push_back(wordsOf(town.name));
    }
}

std::vector<const Town*> TownList::withWords(std::string_view typed) const {
    const std::string words = wordsOf(typed);
    std::vector<const Town*> found;
    if (words.empty()) {
        return found;
    }
    for (std::size_t i = 0; i < towns_.size(); ++i) {
        const std::string_view name = words_[i];
        for (std::size_t at = 0; at < name.size();
             at = std::min(name.find(' ', at), name.size()) + 1) {
            if (beginsWords(name, at, words)) {
                found.push_back(&towns_[i]);
                break;
            }
        }
    }
    return found;
}

const TownList& systemTowns() {
    static const TownList towns(geonamesTowns());
    return towns;
}

std::string townTitle(const Town& town) {
    std::string title = town.name;
    if (!town.region.empty() && town.region != town.name) {
        title += ", " + town.region;
    }
    if (!town.country.empty()) {
        title += ", " + town.country;
    }
    return title;
}

std::vector<Town> townsMatching(const TownList& towns, std::string_view typed, std::size_t most) {
    std::vector<const Town*> found = towns.withWords(typed.substr(0, typed.find(',')));
    std::stable_sort(found.begin(), found.end(),
                     [](const Town* a, const Town* b) { return a->population > b->population; });
    found.resize(std::min(found.size(), most));
    std::vector<Town> largest;
    largest.reserve(found.size());
    for (const Town* town : found) {
        largest.push_back(*town);
    }
    return largest;
}

std::optional<Town> townNamed(const TownList& towns, std::string_view typed) {
    const std::vector<std::string> parts = foldedParts(typed);
    if (parts.front().empty()) {
        return std::nullopt;
    }
    // The largest of the name, in every region or country the title names after it.
    for (const Town& town : townsMatching(towns, typed, std::numeric_limits<std::size_t>::max())) {
        if (names(parts, town)) {
            return town;
        }
    }
    return std::nullopt;
}

std::string timeZoneName() {
    const char* const tz = std::getenv("TZ");
    char link[4096];
    const ssize_t length = ::readlink("/etc/localtime", link, sizeof link - 1);
    return timeZoneNameOf(
        tz != nullptr ? tz : "",
        std::string_view(link, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::optional<Town> townOfZone(std::string_view zone) {
    std::string city(zone.substr(zone.rfind('/') + 1));
    std::replace(city.begin(), city.end(), '_', ' ');
    city = folded(city);
    std::optional<Town> named, largest;
    for (const Town& town : systemTowns().towns()) {
        if (zone.empty() || town.zone != zone) {
            continue;
        }
        if (folded(town.name) == city && (!named || town.population > named->population)) {
            named = town;
        }
        if (!largest || town.population > largest->population) {
            largest = town;
        }
    }
    return named ? named : largest;
}

std::optional<NearTown> nearestTown(const Place& place) {
    std::optional<NearTown> nearest;
    for (const Town& town : systemTowns().towns()) {
        const double km = kmBetween(place, town.place);
        if (!nearest || km < nearest->km) {
            nearest = NearTown{town, km};
        }
    }
    return nearest;
}

std::optional<PlaceEntry> placeOfEntry(const TownList& towns, std::string_view typed,
                                       std::string& error) {
    const std::string text(trimmed(typed));
    if (text.empty()) {
        error = "is empty: give a town, or a latitude and longitude";
        return std::nullopt;
    }
    // A digit makes it coordinates, unless a town's name has one ("Marseille 13"), and then
    // what is wrong with the coordinates is the message.
    const bool digits = text.find_first_of("0123456789") != std::string::npos;
    std::string notCoordinates;
    if (digits) {
        if (const std::optional<Place> place = parsePlace(text, notCoordinates)) {
            return PlaceEntry{*place, std::nullopt};
        }
    }
    if (std::optional<Town> town = townNamed(towns, text)) {
        const Place place = town->place;
        return PlaceEntry{place, std::move(town)};
    }
    if (digits) {
        error = notCoordinates;
        return std::nullopt;
    }
    const std::vector<Town> like = townsMatching(towns, text, 1);
    error = like.empty()
                ? "is not a town known here"
                : "is not a town known here (did you mean " + townTitle(like.front()) + "?)";
    return std::nullopt;
}

} // namespace orvanta
