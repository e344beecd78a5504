#include "towns/towns.h"

#include "ephemeris/place.h"
#include "rules/whole_text.h"

#include <algorithm>
#include <glib.h>
#include <limits>
#include <memory>

namespace orvanta {

namespace {

// A name folded: see foldedName. With `umlauts`, ä, ö and ü are written as German writes them
// without their dots ("Muenchen").
std::string folded(std::string_view text, bool umlauts = false) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
        std::string plain(text);
        std::transform(plain.begin(), plain.end(), plain.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        return plain;
    }
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
    constexpr gunichar DIAERESIS = 0x0308;
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
            continue;
        }
        gchar bytes[6];
        plain.append(bytes, static_cast<std::size_t>(g_unichar_to_utf8(c, bytes)));
        const gchar* const next = g_utf8_next_char(at);
        if (umlauts && (c == 'a' || c == 'o' || c == 'u') && *next != '\0' &&
            g_utf8_get_char(next) == DIAERESIS) {
            plain += 'e';
        }
    }
    return plain;
}

// A name's words as they are matched: folded, split at whatever is neither letter nor digit
// ("Saint-Étienne" and "saint etienne" alike, "d'Oeste" two words), one space apart.
std::string wordsOf(std::string_view text, bool umlauts = false) {
    const std::string plain = folded(text, umlauts);
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

// Whether the words typed begin the name's words from one of them on.
bool hasWordsBegun(std::string_view name, std::string_view typed) {
    for (std::size_t at = 0; at < name.size(); at = std::min(name.find(' ', at), name.size()) + 1) {
        if (beginsWords(name, at, typed)) {
            return true;
        }
    }
    return false;
}

std::string titleOf(const TownWords& words) {
    std::string title = words.name;
    if (!words.region.empty() && words.region != words.name) {
        title += ", " + words.region;
    }
    if (!words.country.empty()) {
        title += ", " + words.country;
    }
    return title;
}

// Text split at its commas, each part trimmed and folded: "Sydney, Nova Scotia" is
// {"sydney", "nova scotia"}.
std::vector<std::string> foldedParts(std::string_view text, bool umlauts = false) {
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        parts.push_back(folded(trimmed(text.substr(from, comma - from)), umlauts));
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

// Whether a name has an a, o or u with a diaeresis, which German writes as ae, oe, ue.
bool hasUmlaut(std::string_view name) {
    for (const std::string_view umlaut :
         {"\u00E4", "\u00F6", "\u00FC", "\u00C4", "\u00D6", "\u00DC", "\u0308"}) {
        if (name.find(umlaut) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The town's words in every language it is known in: English first, then the user's, then its
// country's.
std::vector<TownWords> wordsOfTown(const Town& town) {
    std::vector<TownWords> all{{town.name, town.region, town.country},
                               {town.shown.name.empty() ? town.name : town.shown.name,
                                town.shown.region.empty() ? town.region : town.shown.region,
                                town.shown.country.empty() ? town.country : town.shown.country}};
    all.insert(all.end(), town.local.begin(), town.local.end());
    return all;
}

// The same for a name, folded plainly or with German's umlauts.
bool droppedName(std::vector<std::string>& parts, std::string_view name) {
    return dropped(parts, foldedParts(name)) || dropped(parts, foldedParts(name, true));
}

// Whether parts typed name the town: one of its names, then its region or country, or both, in
// any order, each in any language the town is known in. A name or region may hold commas itself
// ("Burgdorf, Hanover").
bool names(const std::vector<std::string>& typed, const Town& town) {
    const std::vector<TownWords> words = wordsOfTown(town);
    const auto droppedPlace = [&words](std::vector<std::string>& parts) {
        return std::any_of(words.begin(), words.end(), [&parts](const TownWords& w) {
            return droppedName(parts, w.region) || droppedName(parts, w.country);
        });
    };
    for (const TownWords& name : words) {
        std::vector<std::string> parts = typed;
        if (!droppedName(parts, name.name)) {
            continue;
        }
        while (!parts.empty() && droppedPlace(parts)) {
        }
        if (parts.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string foldedName(std::string_view text) {
    return folded(text);
}

TownList::TownList(std::vector<Town> towns) : towns_(std::move(towns)) {
    words_.reserve(towns_.size());
    first_.reserve(towns_.size() + 1);
    for (const Town& town : towns_) {
        first_.push_back(words_.size());
        const auto first = static_cast<std::ptrdiff_t>(words_.size());
        const std::vector<TownWords> all = wordsOfTown(town);
        for (auto words = all.begin(); words != all.end(); ++words) {
            const auto sameName = [&words](const TownWords& w) { return w.name == words->name; };
            if (std::any_of(all.begin(), words, sameName)) {
                continue;
            }
            for (const bool umlauts : {false, true}) {
                if (umlauts && !hasUmlaut(words->name)) {
                    break;
                }
                std::string name = wordsOf(words->name, umlauts);
                if (std::find(words_.begin() + first, words_.end(), name) == words_.end()) {
                    words_.push_back(std::move(name));
                }
            }
        }
    }
    first_.push_back(words_.size());
}

std::vector<const Town*> TownList::withWords(std::string_view typed) const {
    const std::string words = wordsOf(typed);
    std::vector<const Town*> found;
    if (words.empty()) {
        return found;
    }
    for (std::size_t i = 0; i < towns_.size(); ++i) {
        if (std::any_of(words_.begin() + static_cast<std::ptrdiff_t>(first_[i]),
                        words_.begin() + static_cast<std::ptrdiff_t>(first_[i + 1]),
                        [&words](std::string_view name) { return hasWordsBegun(name, words); })) {
            found.push_back(&towns_[i]);
        }
    }
    return found;
}

std::string townTitle(const Town& town) {
    return titleOf(wordsOfTown(town)[1]);
}

std::string englishTitle(const Town& town) {
    return titleOf(wordsOfTown(town)[0]);
}

std::string shownName(const Town& town) {
    return town.shown.name.empty() ? town.name : town.shown.name;
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

std::optional<Town> townOfZone(std::string_view name) {
    const std::string zone = listedZone(name);
    const std::string city = folded(cityOfZone(zone));
    std::optional<Town> named, largest;
    for (const Town& town : systemTowns().towns()) {
        if (zone.empty() || town.zone != zone) {
            continue;
        }
        if (!city.empty() && folded(town.name) == city &&
            (!named || town.population > named->population)) {
            named = town;
        }
        if (!largest || town.population > largest->population) {
            largest = town;
        }
    }
    return named ? named : largest;
}

std::optional<Town> townKept(std::string_view title, const Place& place) {
    std::optional<Town> town = townNamed(title);
    if (!town || kmBetween(town->place, place) > 1) {
        return std::nullopt;
    }
    return town;
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
    const std::string plain = withPlainSpaces(typed);
    const std::string text(trimmed(plain));
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
