#include "ephemeris/place.h"
#include "towns/place_text.h"
#include "towns/towns.h"

#include <clocale>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(Places, TypedInTheFormsPeopleWrite) {
    struct Case {
        const char* typed;
        double latitude, longitude, height;
    };
    const Case taken[] = {
        {"52.52, 13.40", 52.52, 13.40, 0},
        {"-35.28,149.13,580", -35.28, 149.13, 580},
        {"52,52 13,40", 52.52, 13.40, 0},
        {"52,52; 13,40", 52.52, 13.40, 0},
        {"52,52, 13,40", 52.52, 13.40, 0},
        {"52.5;13", 52.5, 13, 0},
        {"52, 13", 52, 13, 0},
        {"64.1355 N 21.8954 W", 64.1355, -21.8954, 0},
        {"0.2298S 78.525W", -0.2298, -78.525, 0},
        {"52°31′N 13°24′E", 52 + 31 / 60.0, 13.4, 0},
        {"52°31'N, 13°24'E", 52 + 31 / 60.0, 13.4, 0},
        {"33°52'04\"S 151°12'26\"E", -(33 + 52 / 60.0 + 4 / 3600.0), 151 + 12 / 60.0 + 26 / 3600.0,
         0},
        {"N52°31′ E13°24′", 52 + 31 / 60.0, 13.4, 0},
        {"13°24′E 52°31′N", 52 + 31 / 60.0, 13.4, 0},
        {"52,5°N 13,4°E", 52.5, 13.4, 0},
        {"52d31'N 13d24'E", 52 + 31 / 60.0, 13.4, 0},
        {"52.52 13.40", 52.52, 13.40, 0},
        {"52.52\t13.40 34", 52.52, 13.40, 34},
        {"\u221252.52, \u221213.40", -52.52, -13.40, 0},
        {"\u00A052.52, 13.40\u00A0", 52.52, 13.40, 0},
        {"52,52\u202F13,40", 52.52, 13.40, 0},
        {"52°\u00A031′\u00A0N 13°\u00A024′\u00A0E", 52 + 31 / 60.0, 13.4, 0},
    };
    std::string why;
    // A program's locale may write its decimals with a comma: a typed point still reads as one.
    const char* const locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (const Case& c : taken) {
        const std::optional<Place> place = parsePlace(c.typed, why);
        ASSERT_TRUE(place) << c.typed << ": " << why;
        EXPECT_NEAR(place->latitude, c.latitude, 1e-12) << c.typed;
        EXPECT_NEAR(place->longitude, c.longitude, 1e-12) << c.typed;
        EXPECT_EQ(place->height, c.height) << c.typed;
    }
    for (const char* refused :
         {"", "52.5", "91,0", "0,181", "1,2,3,4", "north,east", "1,2x", "0x10,1", "inf,1", "+52,13",
          "52°61′N 13°E", "52°N 13°N", "-52 S 13 E", "52.5°31′N 13E", "52.5,13.4,1e308",
          "52.5 13,4", "52.52 13.40 34 1", "\u2212\u221252, 13", "\u221252 S 13 E"}) {
        EXPECT_FALSE(parsePlace(refused, why)) << refused;
    }
    EXPECT_NE(locale, nullptr) << "the test locale de_DE.UTF-8 is not installed";
    std::setlocale(LC_NUMERIC, "C");
}

TEST(Places, TimeZoneOfTzOrOfTheLocaltimeLink) {
    struct Case {
        const char* tz;
        const char* localtime;
        const char* zone;
    };
    const char* const oslo = "/usr/share/zoneinfo/Europe/Oslo";
    const Case cases[] = {
        {"Europe/Berlin", oslo, "Europe/Berlin"},
        {":Europe/Berlin", oslo, "Europe/Berlin"},
        {"/usr/share/zoneinfo/Europe/Berlin", oslo, "Europe/Berlin"},
        {":/usr/share/zoneinfo/America/Argentina/Buenos_Aires", "",
         "America/Argentina/Buenos_Aires"},
        {"/usr/share/zoneinfo/posix/Asia/Tokyo", "", "Asia/Tokyo"},
        {"right/UTC", "", "UTC"},
        {"Etc/GMT+5", "", "Etc/GMT+5"},
        {"EST5EDT", "", "EST5EDT"},
        {"", oslo, "Europe/Oslo"},
        {":", oslo, "Europe/Oslo"},
        {":/etc/localtime", oslo, "Europe/Oslo"},
        {"", "../usr/share/zoneinfo/Europe/Oslo", "Europe/Oslo"},
        {"", "/usr/share/zoneinfo/posix/Europe/Oslo", "Europe/Oslo"},
        {"", "", ""},
        {"", "/etc/zones/Oslo", ""},
        {"", "/usr/share/myzoneinfo/Europe/Oslo", ""},
        {"CET-1CEST,M3.5.0,M10.5.0/3", oslo, ""},
        {"<+03>-3", oslo, ""},
        {"/etc/mytz", oslo, ""},
        {"/usr/share/zoneinfo/../../../etc/passwd", oslo, ""},
        {"../etc/passwd", oslo, ""},
        {"Europe//Berlin", oslo, ""},
        {"Europe/Berlin/", oslo, ""},
        {"Europe/Berlin\n", oslo, ""},
        {"Europe/Berlin\x1b[2J", oslo, ""},
        {"::Europe/Berlin", oslo, ""},
        {"Europe/_Berlin", oslo, ""},
        {"Etc/zoneinfo/Europe/Oslo", oslo, ""},
        {"", "/usr/share/zoneinfo/Etc/myzoneinfo/Oslo", "Etc/myzoneinfo/Oslo"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(timeZoneNameOf(c.tz, c.localtime), c.zone) << c.tz << " " << c.localtime;
    }
    EXPECT_EQ(timeZoneNameOf(std::string(65, 'A'), ""), "");
    EXPECT_EQ(timeZoneNameOf(std::string(64, 'A'), ""), std::string(64, 'A'));
}

TEST(Towns, FoundByNameAccentsAndCaseAside) {
    struct Case {
        const char* typed;
        const char* title;
        const char* zone;
    };
    const Case towns[] = {
        {"Reykjavik", "Reykjavik, Capital Region, Iceland", "Atlantic/Reykjavik"},
        {"Quito", "Quito, Pichincha, Ecuador", "America/Guayaquil"},
        {"Tromsø", "Tromsø, Troms og Finnmark, Norway", "Europe/Oslo"},
        {"tromso", "Tromsø, Troms og Finnmark, Norway", "Europe/Oslo"},
        {"São Paulo", "São Paulo, Brazil", "America/Sao_Paulo"},
        {" sao paulo ", "São Paulo, Brazil", "America/Sao_Paulo"},
        {"Sydney", "Sydney, New South Wales, Australia", "Australia/Sydney"},
        {"Sydney, Canada", "Sydney, Nova Scotia, Canada", "America/Glace_Bay"},
        {"Berlin, Germany", "Berlin, Germany", "Europe/Berlin"},
        {"Marseille 13", "Marseille 13, Provence-Alpes-Côte d'Azur Region, France", "Europe/Paris"},
        {"Burgdorf, Hanover, Lower Saxony, Germany", "Burgdorf, Hanover, Lower Saxony, Germany",
         "Europe/Berlin"},
        {"burgdorf, hanover", "Burgdorf, Hanover, Lower Saxony, Germany", "Europe/Berlin"},
        {"Tēpī, Southern Nations, Nationalities, and People's Region, Ethiopia",
         "Tēpī, Southern Nations, Nationalities, and People's Region, Ethiopia",
         "Africa/Addis_Ababa"},
    };
    for (const Case& c : towns) {
        std::string why;
        const std::optional<PlaceEntry> entry = placeOfEntry(c.typed, why);
        ASSERT_TRUE(entry && entry->town) << c.typed << ": " << why;
        EXPECT_EQ(englishTitle(*entry->town), c.title);
        EXPECT_EQ(entry->town->zone, c.zone);
        EXPECT_EQ(entry->place.latitude, entry->town->place.latitude);
    }
    struct Refused {
        const char* typed;
        const char* why;
    };
    for (const Refused& r : {Refused{"Xanadu", "is not a town known here"},
                             Refused{"berl", "is not a town known here (did you mean Berlin, "
                                             "Germany?)"},
                             Refused{"Sydney, France", "is not a town known here (did you mean "
                                                       "Sydney, New South Wales, Australia?)"},
                             Refused{"  ", "is empty: give a town, or a latitude and longitude"},
                             Refused{"91, 0", "lies beyond latitude ±90 or longitude ±180"}}) {
        std::string why;
        EXPECT_FALSE(placeOfEntry(r.typed, why)) << r.typed;
        EXPECT_EQ(why, r.why);
    }
}

TEST(Towns, MatchedByTheWordsBegunInARow) {
    const TownList list({
        {"Frankfurt am Main", "Hesse", "Germany", "Europe/Berlin", {50.1, 8.7, 0}, 650000},
        {"Saint-Étienne", "Auvergne-Rhône-Alpes", "France", "Europe/Paris", {45.4, 4.4, 0}, 176280},
        {"Zurich", "Canton of Zurich", "Switzerland", "Europe/Zurich", {47.4, 8.6, 0}, 341730},
        {"Łódź", "Łódź Voivodeship", "Poland", "Europe/Warsaw", {51.8, 19.5, 0}, 768755},
        {"Santa Bárbara d'Oeste",
         "São Paulo",
         "Brazil",
         "America/Sao_Paulo",
         {-22.8, -47.4, 0},
         188000},
        {"West New York", "New Jersey", "United States", "America/New_York", {40.8, -74, 0}, 53366},
        {"New York", "New York", "United States", "America/New_York", {40.7, -74, 0}, 8804190},
    });
    struct Case {
        const char* typed;
        std::vector<std::string> largestFirst;
    };
    const Case cases[] = {
        {"fra am", {"Frankfurt am Main"}},
        {"am main", {"Frankfurt am Main"}},
        {"frankfurt main", {}},
        {"main am", {}},
        {"saint etienne", {"Saint-Étienne"}},
        {"SAINT-ÉTIENNE", {"Saint-Étienne"}},
        {"Zürich", {"Zurich"}},
        {"lodz", {"Łódź"}},
        {"d'oeste", {"Santa Bárbara d'Oeste"}},
        {"bar d o", {"Santa Bárbara d'Oeste"}},
        {"new york", {"New York", "West New York"}},
        {"york new", {}},
        {"ork", {}},
        {"new york, Germany", {"New York", "West New York"}},
        {" - ", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names;
        for (const Town& town : townsMatching(list, c.typed, 5)) {
            names.push_back(town.name);
        }
        EXPECT_EQ(names, c.largestFirst) << c.typed;
    }
    EXPECT_EQ(townsMatching(list, "new", 1).size(), 1u);
}

TEST(Towns, OfATimeZoneAndNearestAPlace) {
    EXPECT_EQ(townOfZone("Europe/Oslo")->name, "Oslo");
    EXPECT_EQ(townOfZone("America/New_York")->name, "New York");
    EXPECT_EQ(townOfZone("Europe/Berlin")->name, "Berlin");
    EXPECT_FALSE(townOfZone("UTC"));
    EXPECT_FALSE(townOfZone(""));
    const std::optional<NearTown> near = nearestTown(Place{52.52, 13.40, 0});
    ASSERT_TRUE(near);
    EXPECT_EQ(near->town.name, "Berlin");
    EXPECT_LT(near->km, 2);
    EXPECT_NEAR(kmBetween(Place{0, 0, 0}, Place{0, 90, 0}), 6371 * M_PI / 2, 1e-6);
    EXPECT_EQ(townsMatching("berl", 2).size(), 2u);
    EXPECT_EQ(townsMatching("berl", 2).front().name, "Berlin");
}

} // namespace
} // namespace orvanta
