// Against this machine's libgeonames and tz database, whose links and names the parsers must meet.

#include "ephemeris/place.h"
#include "tests/scoped_environment.h"
#include "towns/towns.h"

#include <filesystem>
#include <fstream>
#include <geonames.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace orvanta {
namespace {

TEST(SystemZones, TzInEveryFormGivesItsTown) {
    struct Case {
        const char* tz;
        const char* localtime;
        const char* zone;
        const char* town; // nullptr: none
    };
    const char* const utc = "/usr/share/zoneinfo/Etc/UTC";
    const Case cases[] = {
        {"Europe/Kyiv", utc, "Europe/Kyiv", "Kyiv, Kyiv City, Ukraine"},
        {"Europe/Kiev", utc, "Europe/Kyiv", "Kyiv, Kyiv City, Ukraine"},
        {"US/Eastern", utc, "America/New_York", "New York, United States of America"},
        {"Asia/Calcutta", utc, "Asia/Kolkata", "Kolkata, State of West Bengal, India"},
        {"Asia/Saigon", utc, "Asia/Ho_Chi_Minh", "Ho Chi Minh City, Vietnam"},
        {":/etc/localtime", "/usr/share/zoneinfo/Europe/Kiev", "Europe/Kyiv",
         "Kyiv, Kyiv City, Ukraine"},
        {"", "../usr/share/zoneinfo/US/Eastern", "America/New_York",
         "New York, United States of America"},
        {"/usr/share/zoneinfo/Europe/Berlin", utc, "Europe/Berlin", "Berlin, Germany"},
        {"America/Thunder_Bay", utc, "America/Toronto", "Toronto, Ontario, Canada"},
        {"UTC", utc, "Etc/UTC", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tz) + " " + c.localtime);
        const std::string zone = timeZoneName(c.tz, c.localtime);
        EXPECT_EQ(zone, c.zone);
        // By the zone listed or by the one TZ names, the same town.
        for (const std::string& name : {zone, timeZoneNameOf(c.tz, c.localtime)}) {
            const std::optional<Town> town = townOfZone(name);
            EXPECT_EQ(town ? englishTitle(*town) : "none", c.town ? c.town : "none");
        }
    }
    // The process's own TZ, which the tools and the window read.
    const ScopedEnvironment zone("TZ", "Asia/Saigon");
    EXPECT_EQ(townOfZone(timeZoneName())->name, "Ho Chi Minh City");
}

TEST(SystemZones, LinksOfAFolderWithoutTzdata) {
    namespace fs = std::filesystem;
    char folder[] = "/tmp/orvanta-zoneinfo-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const fs::path root(folder);
    for (const char* zone :
         {"Europe/Kyiv", "America/New_York", "Asia/Kolkata", "posix/Europe/Oslo"}) {
        fs::create_directories((root / zone).parent_path());
        std::ofstream(root / zone) << "TZif";
    }
    fs::create_directories(root / "US");
    fs::create_symlink("Kyiv", root / "Europe/Kiev");
    fs::create_symlink("../America/New_York", root / "US/Eastern");
    fs::create_hard_link(root / "Asia/Kolkata", root / "Asia/Calcutta");
    std::ofstream(root / "zone.tab") << "UA\t+5026+03031\tEurope/Kyiv\n"
                                     << "US\t+404251-0740023\tAmerica/New_York\n"
                                     << "IN\t+2232+08822\tAsia/Kolkata\n";
    const ZoneNames names = readZoneNames(folder);
    EXPECT_EQ(names.listedName("Europe/Kiev"), "Europe/Kyiv");
    EXPECT_EQ(names.listedName("US/Eastern"), "America/New_York");
    EXPECT_EQ(names.listedName("Asia/Calcutta"), "Asia/Kolkata");
    EXPECT_EQ(names.listedName("Asia/Kolkata"), "Asia/Kolkata");
    EXPECT_FALSE(names.knows("posix/Europe/Oslo"));
    EXPECT_FALSE(names.knows("Europe/Oslo"));
    fs::remove_all(root);
}

TEST(SystemTowns, TheZoneCitiesTheListLacksAndTheZonesItNamesOld) {
    const std::vector<Town>& towns = systemTowns().towns();
    const auto listed = static_cast<std::size_t>(geonames_get_n_cities());
    ASSERT_GT(towns.size(), listed);
    std::printf("%zu zone cities join the %zu towns of the list:", towns.size() - listed, listed);
    for (std::size_t i = listed; i < towns.size(); ++i) {
        std::printf(" %s;", englishTitle(towns[i]).c_str());
        // None where the list has a town of its name in its country.
        for (std::size_t j = 0; j < listed; ++j) {
            ASSERT_FALSE(towns[j].countryCode == towns[i].countryCode &&
                         foldedName(towns[j].name) == foldedName(towns[i].name))
                << englishTitle(towns[i]) << " and " << englishTitle(towns[j]);
        }
    }
    std::printf("\n");
    EXPECT_GT(towns.size() - listed, 50u);
    struct Case {
        const char *typed, *title, *zone;
    };
    const Case cases[] = {
        {"Center, North Dakota", "Center, North Dakota, United States",
         "America/North_Dakota/Center"},
        {"Uzhhorod", "Uzhhorod, Transcarpathia, Ukraine", "Europe/Kyiv"},
        {"Yellowknife", "Yellowknife, Northwest Territories, Canada", "America/Edmonton"},
        {"Baruun-Urt", "Baruun-Urt, Sühbaatar, Mongolia", "Asia/Ulaanbaatar"},
    };
    for (const Case& c : cases) {
        std::string why;
        const std::optional<PlaceEntry> entry = placeOfEntry(c.typed, why);
        ASSERT_TRUE(entry && entry->town) << c.typed << ": " << why;
        EXPECT_EQ(englishTitle(*entry->town), c.title);
        EXPECT_EQ(entry->town->zone, c.zone);
    }
    std::string why;
    const std::optional<PlaceEntry> center = placeOfEntry("Center, North Dakota", why);
    EXPECT_NEAR(center->place.latitude, 47 + 6 / 60.0 + 59 / 3600.0, 1e-9);
    EXPECT_NEAR(center->place.longitude, -(101 + 17 / 60.0 + 57 / 3600.0), 1e-9);
}

TEST(SystemTowns, NamesAsPeopleTypeThemInEveryLanguageOfTheTown) {
    struct Case {
        const char* typed;
        const char* title; // in English
    };
    // The plain names are town_names_test.sh's, in every locale.
    const Case cases[] = {
        {"zurich", "Zurich, Canton of Zurich, Switzerland"},
        {"Zuerich", "Zurich, Canton of Zurich, Switzerland"},
        {"Muenchen", "Munich, Bavaria, Germany"},
        {"munchen", "Munich, Bavaria, Germany"},
        {"München, Bayern, Deutschland", "Munich, Bavaria, Germany"},
        {"München, Germany", "Munich, Bavaria, Germany"},
        {"krakow", "Krakow, Lesser Poland Voivodeship, Poland"},
        {"Koeln", "Cologne, North Rhine-Westphalia, Germany"},
        {"Wien, Österreich", "Vienna, Austria"},
        {"Évora", "Evora, Évora, Portugal"},
        {"Київ", "Kyiv, Kyiv City, Ukraine"},
        {"Genève", "Geneva, Canton of Geneva, Switzerland"},
        {"\u00A0Zürich\u00A0", "Zurich, Canton of Zurich, Switzerland"},
        {"McMurdo", "McMurdo, Antarctica"},
    };
    for (const Case& c : cases) {
        std::string why;
        const std::optional<PlaceEntry> entry = placeOfEntry(c.typed, why);
        ASSERT_TRUE(entry && entry->town) << c.typed << ": " << why;
        EXPECT_EQ(englishTitle(*entry->town), c.title) << c.typed;
        // The English title, as the settings keep it, finds the town again.
        const std::optional<Town> kept = townKept(c.title, entry->place);
        ASSERT_TRUE(kept) << c.title;
        EXPECT_EQ(englishTitle(*kept), c.title);
    }
    EXPECT_FALSE(townKept("Munich, Bavaria, Germany", Place{52.52, 13.40, 0}));
    EXPECT_FALSE(townKept("as you set it", Place{52.52, 13.40, 0}));
}

TEST(SystemTowns, ShownInTheUsersLanguageKeptInEnglish) {
    const TownList german = readSystemTowns({"de_DE", "de"});
    const TownList ukrainian = readSystemTowns({"uk"});
    struct Case {
        const TownList* list;
        const char* typed;
        const char* shown;
        const char* name; // shown alone
        const char* english;
    };
    const Case cases[] = {
        {&german, "Munich", "München, Bayern, Deutschland", "München", "Munich, Bavaria, Germany"},
        {&german, "Vienna", "Wien, Österreich", "Wien", "Vienna, Austria"},
        {&german, "Kyiv", "Kyiw, Stadt Kiew, Ukraine", "Kyiw", "Kyiv, Kyiv City, Ukraine"},
        {&german, "McMurdo", "McMurdo, Antarctica", "McMurdo", "McMurdo, Antarctica"},
        {&ukrainian, "Kyiv", "Київ, Місто Київ, Україна", "Київ", "Kyiv, Kyiv City, Ukraine"},
    };
    for (const Case& c : cases) {
        std::string why;
        const std::optional<PlaceEntry> entry = placeOfEntry(*c.list, c.typed, why);
        ASSERT_TRUE(entry && entry->town) << c.typed << ": " << why;
        EXPECT_EQ(townTitle(*entry->town), c.shown) << c.typed;
        EXPECT_EQ(shownName(*entry->town), c.name) << c.typed;
        EXPECT_EQ(englishTitle(*entry->town), c.english) << c.typed;
        // The title shown, typed back, is the town.
        const std::optional<PlaceEntry> back = placeOfEntry(*c.list, c.shown, why);
        ASSERT_TRUE(back && back->town) << c.shown;
        EXPECT_EQ(englishTitle(*back->town), c.english);
    }
    std::string why;
    EXPECT_FALSE(placeOfEntry(german, "Munch", why));
    EXPECT_EQ(why, "is not a town known here (did you mean München, Bayern, Deutschland?)");
}

} // namespace
} // namespace orvanta
