// The system's towns and zones, read from its files: the geonames library's towns and the
// catalogs of their names, the tz database's zones, links and zone cities.
//
// Threads: everything here is read once, into function-local statics that C++ initialises once
// whichever thread asks first, and never changed after. The names in other languages are read
// from the geonames catalogs' bytes by this file itself, never through gettext: nothing here sets
// the environment or the locale (which other threads read without a lock), and the English names
// are taken from the library's own record, so that what is read is the same in every locale the
// process runs in, set or not.

#include "ephemeris/place.h"
#include "towns/message_catalog.h"
#include "towns/towns.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <geonames.h>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

namespace {

constexpr const char* ZONEINFO = "/usr/share/zoneinfo";
// Where gettext finds the geonames catalogs (the library binds no folder of its own), and
// Ubuntu's language packs.
constexpr const char* LOCALE_FOLDERS[] = {"/usr/share/locale", "/usr/share/locale-langpack"};

// Each country with the locales of its languages: {"CH", "de_CH fr_CH it_CH wae_CH"}.
struct CountryLocales {
    const char* country;
    const char* locales;
};
constexpr CountryLocales COUNTRY_LOCALES[] = {
#include "towns/local_languages.inc"
};

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? text.str() : std::string();
}

// A file's bytes mapped for reading; none where it cannot be.
class MappedFile {
  public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd < 0) {
            return;
        }
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            void* const at = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                                    MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                bytes_ = std::string_view(static_cast<const char*>(at),
                                          static_cast<std::size_t>(info.st_size));
            }
        }
        ::close(fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (!bytes_.empty()) {
            ::munmap(const_cast<char*>(bytes_.data()), bytes_.size());
        }
    }
    std::string_view bytes() const { return bytes_; }

  private:
    std::string_view bytes_;
};

// A language as gettext reads it: the catalogs it tries in turn, those the system has.
using Language = std::vector<const MessageCatalog*>;

// The first translation of `id` in a language's catalogs, as gettext takes it; nothing where
// none has one.
std::optional<std::string_view> translated(const Language& language, std::string_view id) {
    for (const MessageCatalog* catalog : language) {
        if (const std::optional<std::string_view> found = catalog->find(id)) {
            return found;
        }
    }
    return std::nullopt;
}

// The geonames catalogs, each opened the first time a language asks for it.
class GeonamesCatalogs {
  public:
    // The catalogs of the names given ({"de_AT", "de"}) that the system has.
    Language language(const std::vector<std::string>& names) {
        Language catalogs;
        for (const std::string& name : names) {
            auto found = open_.find(name);
            if (found == open_.end()) {
                found = open_.emplace(name, std::make_unique<Open>(name)).first;
            }
            if (found->second->catalog.valid()) {
                catalogs.push_back(&found->second->catalog);
            }
        }
        return catalogs;
    }

  private:
    struct Open {
        explicit Open(const std::string& language)
            : file(pathOf(language)), catalog(file.bytes()) {}
        MappedFile file;
        MessageCatalog catalog;
    };
    static std::string pathOf(const std::string& language) {
        for (const char* folder : LOCALE_FOLDERS) {
            std::string path = std::string(folder) + "/" + language + "/LC_MESSAGES/geonames.mo";
            if (::access(path.c_str(), R_OK) == 0) {
                return path;
            }
        }
        return {};
    }
    std::map<std::string, std::unique_ptr<Open>, std::less<>> open_;
};

// A town of the list with the ids its names are translated by.
struct ListedCity {
    std::string id;     // geonames.org's: "2867714"
    std::string admin1; // the region's code in its country: "02" (Bavaria)
    Town town;
};

std::string textOf(const gchar* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// The library keeps a town as a GVariant (its header says so) of id, name, region code, region,
// country code, country, zone, population, latitude and longitude. Its getters give the names
// through gettext, in the process's locale: the record gives them in English. A record of another
// form is read through the getters, without the ids of translations.
ListedCity listedCity(GeonamesCity* city) {
    if (g_variant_is_of_type(city, G_VARIANT_TYPE("(sssssssudd)"))) {
        const gchar *id, *name, *admin1, *region, *code, *country, *zone;
        guint32 population = 0;
        double latitude = 0, longitude = 0;
        g_variant_get(city, "(&s&s&s&s&s&s&sudd)", &id, &name, &admin1, &region, &code, &country,
                      &zone, &population, &latitude, &longitude);
        return {id, admin1,
                Town{name, region, country, zone, Place{latitude, longitude, 0}, population, code}};
    }
    return {{},
            {},
            Town{textOf(geonames_city_get_name(city)), textOf(geonames_city_get_state(city)),
                 textOf(geonames_city_get_country(city)), textOf(geonames_city_get_timezone(city)),
                 Place{geonames_city_get_latitude(city), geonames_city_get_longitude(city), 0},
                 geonames_city_get_population(city), textOf(geonames_city_get_country_code(city))}};
}

std::vector<ListedCity> listedCities() {
    std::vector<ListedCity> cities;
    const gint count = geonames_get_n_cities();
    cities.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (gint i = 0; i < count; ++i) {
        const std::unique_ptr<GeonamesCity, void (*)(GeonamesCity*)> city(geonames_get_city(i),
                                                                          geonames_city_free);
        if (city) {
            cities.push_back(listedCity(city.get()));
        }
    }
    return cities;
}

// The city's words in a language, each word it does not translate in English.
TownWords wordsIn(const Language& language, const ListedCity& city) {
    const Town& town = city.town;
    const std::string& code = town.countryCode;
    const auto in = [&language](std::string_view id, const std::string& english) {
        return std::string(translated(language, id).value_or(english));
    };
    return {in(city.id, town.name),
            town.region.empty() ? std::string() : in(code + "." + city.admin1, town.region),
            in(code, town.country)};
}

// The languages of each country, as gettext would take them in its locales: those the system
// has a catalog of.
class CountryLanguages {
  public:
    explicit CountryLanguages(GeonamesCatalogs& catalogs) : catalogs_(catalogs) {}
    const std::vector<Language>& of(const std::string& code) {
        auto found = countries_.find(code);
        if (found != countries_.end()) {
            return found->second;
        }
        std::vector<Language> languages;
        const auto* country =
            std::find_if(std::begin(COUNTRY_LOCALES), std::end(COUNTRY_LOCALES),
                         [&code](const CountryLocales& c) { return c.country == code; });
        if (country != std::end(COUNTRY_LOCALES)) {
            std::istringstream locales(country->locales);
            for (std::string locale; locales >> locale;) {
                if (Language language = catalogs_.language(catalogsOfLocale(locale));
                    !language.empty() &&
                    std::find(languages.begin(), languages.end(), language) == languages.end()) {
                    languages.push_back(std::move(language));
                }
            }
        }
        return countries_.emplace(code, std::move(languages)).first->second;
    }

  private:
    GeonamesCatalogs& catalogs_;
    std::map<std::string, std::vector<Language>, std::less<>> countries_;
};

// The town in the user's language and its country's, where they differ from its English.
void addLanguages(const Language& user, CountryLanguages& countries, ListedCity& city) {
    Town& town = city.town;
    if (city.id.empty()) {
        return;
    }
    const TownWords english{town.name, town.region, town.country};
    if (!user.empty()) {
        const TownWords shown = wordsIn(user, city);
        town.shown = {shown.name != town.name ? shown.name : std::string(),
                      shown.region != town.region ? shown.region : std::string(),
                      shown.country != town.country ? shown.country : std::string()};
    }
    for (const Language& language : countries.of(town.countryCode)) {
        TownWords local = wordsIn(language, city);
        if (local != english &&
            std::find(town.local.begin(), town.local.end(), local) == town.local.end()) {
            town.local.push_back(std::move(local));
        }
    }
}

// The region a zone of three parts names between its area and its city: "North Dakota" for
// America/North_Dakota/Center; none where it is the country (America/Argentina/Jujuy).
std::string regionOfZone(std::string_view zone) {
    const std::size_t first = zone.find('/'), last = zone.rfind('/');
    std::string region(zone.substr(first + 1, last - first - 1));
    std::replace(region.begin(), region.end(), '_', ' ');
    return first == last || region == "Argentina" ? std::string() : region;
}

// How near a town of the list with the same zone stands for a zone's city already, under a name
// of its own (San José for America/Costa_Rica, Kuwait City for Asia/Kuwait).
constexpr double SAME_CITY_KM = 20.0;

// The zone cities the list lacks: a zone's principal city (Singapore, McMurdo) joins where the
// list has no town of its name in its country, nor a town of its zone close by. Named in
// English, found by that name alone. zone.tab names a city's own country; zone1970.tab adds the
// zones it lacks.
void addZoneCities(std::vector<Town>& towns) {
    const std::filesystem::path folder(ZONEINFO);
    const auto countries = readCountryTable(fileText(folder / "iso3166.tab"));
    std::set<std::string> named; // "SG singapore"
    std::multimap<std::string, Place> zones;
    for (const Town& town : towns) {
        named.insert(town.countryCode + " " + foldedName(town.name));
        zones.emplace(town.zone, town.place);
    }
    const auto close = [&zones](const std::string& zone, const Place& place) {
        const auto [from, to] = zones.equal_range(zone);
        return std::any_of(from, to, [&place](const auto& town) {
            return kmBetween(town.second, place) <= SAME_CITY_KM;
        });
    };
    std::set<std::string> seen;
    std::vector<Town> cities;
    for (const char* table : {"zone.tab", "zone1970.tab"}) {
        for (const ZoneRow& row : readZoneTable(fileText(folder / table))) {
            const std::string city = cityOfZone(row.zone);
            const std::string& code = row.countries.front();
            const std::string zone = listedZone(row.zone);
            if (!seen.insert(row.zone).second || city.empty() ||
                !named.insert(code + " " + foldedName(city)).second || close(zone, row.place)) {
                continue;
            }
            const auto country = countries.find(code);
            cities.push_back(Town{city, regionOfZone(row.zone),
                                  country != countries.end() ? country->second : code, zone,
                                  row.place, 0, code});
        }
    }
    towns.insert(towns.end(), cities.begin(), cities.end());
}

std::string readLink(const std::string& path) {
    char link[4096];
    const ssize_t length = ::readlink(path.c_str(), link, sizeof link - 1);
    return std::string(link, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Where a system has no tzdata.zi: the links of the zoneinfo folder, symbolic (to their target)
// and hard (to the first name of the same file), without its posix/ and right/ copies.
void readFolderLinks(const std::filesystem::path& zoneinfo, ZoneNames& names) {
    namespace fs = std::filesystem;
    std::map<std::pair<dev_t, ino_t>, std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator at(zoneinfo, error), end; !error && at != end;
         at.increment(error)) {
        const std::string name = at->path().lexically_relative(zoneinfo).generic_string();
        if (at->is_directory() && (name == "posix" || name == "right")) {
            at.disable_recursion_pending();
            continue;
        }
        struct stat info {};
        if (at->is_symlink()) {
            const fs::path target = at->path().parent_path() / fs::read_symlink(at->path(), error);
            names.addLink(target.lexically_normal().lexically_relative(zoneinfo).generic_string(),
                          name);
        } else if (at->is_regular_file() && ::stat(at->path().c_str(), &info) == 0) {
            const auto [first, added] = files.emplace(std::pair{info.st_dev, info.st_ino}, name);
            if (added) {
                names.addZone(name);
            } else {
                names.addLink(first->second, name);
            }
        }
    }
}

} // namespace

ZoneNames readZoneNames(const std::string& zoneinfo) {
    const std::filesystem::path folder(zoneinfo);
    ZoneNames names;
    names.readTzdata(fileText(folder / "tzdata.zi"));
    if (names.empty()) {
        readFolderLinks(folder, names);
    }
    for (const ZoneRow& row : readZoneTable(fileText(folder / "zone.tab"))) {
        names.addListed(row.zone);
    }
    return names;
}

const ZoneNames& systemZoneNames() {
    static const ZoneNames names = readZoneNames(ZONEINFO);
    return names;
}

std::string listedZone(std::string_view zone) {
    return systemZoneNames().listedName(zone);
}

std::string timeZoneName(std::string_view tz, std::string_view localtime) {
    const std::string zone = timeZoneNameOf(tz, localtime);
    return zone.empty() ? zone : listedZone(zone);
}

std::string timeZoneName() {
    const char* const tz = std::getenv("TZ");
    return timeZoneName(tz != nullptr ? tz : "", readLink("/etc/localtime"));
}

TownList readSystemTowns() {
    return readSystemTowns(messageCatalogs(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                           std::getenv("LC_MESSAGES"), std::getenv("LANG")));
}

TownList readSystemTowns(const std::vector<std::string>& user) {
    std::vector<ListedCity> cities = listedCities();
    GeonamesCatalogs catalogs;
    const Language language = catalogs.language(user);
    CountryLanguages countries(catalogs);
    std::map<std::string, std::string, std::less<>> zones; // as the list names them: as listed
    std::vector<Town> towns;
    towns.reserve(cities.size());
    for (ListedCity& city : cities) {
        addLanguages(language, countries, city);
        auto zone = zones.find(city.town.zone);
        if (zone == zones.end()) {
            zone = zones.emplace(city.town.zone, listedZone(city.town.zone)).first;
        }
        city.town.zone = zone->second;
        towns.push_back(std::move(city.town));
    }
    addZoneCities(towns);
    return TownList(std::move(towns));
}

const TownList& systemTowns() {
    static const TownList towns = readSystemTowns();
    return towns;
}

} // namespace orvanta
