#include "towns/towns.h"

#include "ephemeris/place.h"

#include <algorithm>
#include <geonames.h>
#include <limits>
#include <memory>

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

template <typename Visit>
void forEachTown(Visit visit) {
    const gint count = geonames_get_n_cities();
    for (gint i = 0; i < count; ++i) {
        visit(townAt(i));
    }
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

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string_view::npos ? std::string()
                                           : std::string(text.substr(first, last - first + 1));
}

// Every town the library finds for the words typed, largest first.
std::vector<Town> query(const std::string& typed) {
    guint length = 0;
    const std::unique_ptr<gint, void (*)(gpointer)> found(
        geonames_query_cities_sync(typed.c_str(), GEONAMES_QUERY_DEFAULT, &length, nullptr,
                                   nullptr),
        g_free);
    std::vector<Town> towns;
    for (guint i = 0; found && i < length; ++i) {
        towns.push_back(townAt(found.get()[i]));
    }
    std::stable_sort(towns.begin(), towns.end(),
                     [](const Town& a, const Town& b) { return a.population > b.population; });
    return towns;
}

} // namespace

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

std::vector<Town> townsMatching(std::string_view typed, std::size_t most) {
    const std::string words = trimmed(typed.substr(0, typed.find(',')));
    if (words.empty()) {
        return {};
    }
    std::vector<Town> towns = query(words);
    if (towns.size() > most) {
        towns.resize(most);
    }
    return towns;
}

std::optional<Town> townNamed(std::string_view typed) {
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= typed.size();) {
        const std::size_t comma = std::min(typed.find(',', from), typed.size());
        parts.push_back(folded(trimmed(typed.substr(from, comma - from))));
        from = comma + 1;
    }
    if (parts.empty() || parts.front().empty()) {
        return std::nullopt;
    }
    // The largest of the name, in every region or country the title names after it.
    for (const Town& town : townsMatching(typed, std::numeric_limits<std::size_t>::max())) {
        const std::string region = folded(town.region), country = folded(town.country);
        const bool inAll = std::all_of(parts.begin() + 1, parts.end(), [&](const std::string& p) {
            return p == region || p == country;
        });
        if (folded(town.name) == parts.front() && inAll) {
            return town;
        }
    }
    return std::nullopt;
}

std::optional<Town> townOfZone(std::string_view zone) {
    std::string city(zone.substr(zone.rfind('/') + 1));
    std::replace(city.begin(), city.end(), '_', ' ');
    city = folded(city);
    std::optional<Town> named, largest;
    forEachTown([&](Town town) {
        if (zone.empty() || town.zone != zone) {
            return;
        }
        if (folded(town.name) == city && (!named || town.population > named->population)) {
            named = town;
        }
        if (!largest || town.population > largest->population) {
            largest = std::move(town);
        }
    });
    return named ? named : largest;
}

std::optional<NearTown> nearestTown(const Place& place) {
    std::optional<NearTown> nearest;
    forEachTown([&](Town town) {
        const double km = kmBetween(place, town.place);
        if (!nearest || km < nearest->km) {
            nearest = NearTown{std::move(town), km};
        }
    });
    return nearest;
}

std::optional<PlaceEntry> placeOfEntry(std::string_view typed, std::string& error) {
    const std::string text = trimmed(typed);
    if (text.empty()) {
        error = "is empty: give a town, or a latitude and longitude";
        return std::nullopt;
    }
    // A digit makes it coordinates: no town's name has one.
    if (text.find_first_of("0123456789") != std::string::npos) {
        const std::optional<Place> place = parsePlace(text, error);
        return place ? std::optional(PlaceEntry{*place, std::nullopt}) : std::nullopt;
    }
    if (std::optional<Town> town = townNamed(text)) {
        const Place place = town->place;
        return PlaceEntry{place, std::move(town)};
    }
    const std::vector<Town> like = townsMatching(text, 1);
    error = like.empty()
                ? "is not a town known here"
                : "is not a town known here (did you mean " + townTitle(like.front()) + "?)";
    return std::nullopt;
}

} // namespace orvanta
