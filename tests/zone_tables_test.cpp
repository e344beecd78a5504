// The tz database's tables and gettext's catalogs as the towns read them: text and bytes alone.

#include "towns/message_catalog.h"
#include "towns/zone_tables.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(ZoneNames, LinksFollowedToTheZoneAndToTheNameListed) {
    ZoneNames names;
    names.readTzdata("# version 2025b\n"
                     "Z Europe/Kyiv 2:2:4 - LMT 1880\n"
                     "Z America/New_York -4:56:2 - LMT 1883 N 18 12:3:58\n"
                     "L Europe/Kyiv Europe/Kiev\n"
                     "L Europe/Kyiv Europe/Zaporozhye\n"
                     "L America/New_York US/Eastern\n"
                     "L US/Eastern US/Eastern_Again\n" // a link to a link
                     "L Loop/A Loop/B\nL Loop/B Loop/A\n"
                     "R Kyiv 1945 o - Jul 1 0 0 -\n"
                     "L Europe/Kyiv\n"               // a line cut short
                     "L Europe/Kyiv ../etc/passwd\n" // no zone's name
                     "X Europe/Kyiv Europe/Other\r\n");
    names.addListed("Europe/Kyiv");
    names.addListed("America/New_York");
    struct Case {
        const char* name;
        const char* zone; // its target and the name listed alike
        bool known;
    };
    const Case cases[] = {
        {"Europe/Kiev", "Europe/Kyiv", true},
        {"Europe/Zaporozhye", "Europe/Kyiv", true},
        {"Europe/Kyiv", "Europe/Kyiv", true},
        {"US/Eastern", "America/New_York", true},
        {"US/Eastern_Again", "America/New_York", true},
        {"Europe/Oslo", "Europe/Oslo", false}, // not in the database: as it is
        {"Loop/A", "Loop/A", false},           // the link back to it is not taken
        {"Loop/B", "Loop/A", true},
        {"../etc/passwd", "../etc/passwd", false},
        {"Europe/Other", "Europe/Other", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(names.targetOf(c.name), c.zone) << c.name;
        EXPECT_EQ(names.listedName(c.name), c.zone) << c.name;
        EXPECT_EQ(names.knows(c.name), c.known) << c.name;
    }
    EXPECT_EQ(names.namesOf("Europe/Zaporozhye"),
              (std::vector<std::string>{"Europe/Zaporozhye", "Europe/Kyiv", "Europe/Kiev"}));
    EXPECT_EQ(names.namesOf("America/New_York"),
              (std::vector<std::string>{"America/New_York", "US/Eastern", "US/Eastern_Again"}));
    EXPECT_EQ(names.namesOf("Nowhere/Else"), (std::vector<std::string>{"Nowhere/Else"}));

    // Where an older database lists the old name, the old name is the one taken, from the new.
    ZoneNames older;
    older.readTzdata("Z Europe/Kiev 2:2:4 - LMT 1880\nL Europe/Kiev Europe/Kyiv\n");
    older.addListed("Europe/Kiev");
    EXPECT_EQ(older.listedName("Europe/Kyiv"), "Europe/Kiev");
    EXPECT_EQ(older.listedName("Europe/Kiev"), "Europe/Kiev");
    // Listed under a link of its zone: that link.
    ZoneNames linkListed;
    linkListed.readTzdata("Z Asia/Kolkata 5:53:28 - LMT 1854\nL Asia/Kolkata Asia/Calcutta\n");
    linkListed.addListed("Asia/Calcutta");
    EXPECT_EQ(linkListed.listedName("Asia/Kolkata"), "Asia/Calcutta");
}

TEST(ZoneTables, RowsOfZonesAndCountries) {
    const std::vector<ZoneRow> rows = readZoneTable(
        "# tzdb timezone descriptions\n"
        "SG,AQ,MY\t+0117+10351\tAsia/Singapore\tpeninsular Malaysia, Concordia\n"
        "AQ\t-7750+16636\tAntarctica/McMurdo\tNew Zealand time - McMurdo, South Pole\n"
        "US\t+404251-0740023\tAmerica/New_York\n"
        "\n"
        "XX\t+9100+00000\tNowhere/North\n"   // beyond the pole
        "XX\t+0060+00000\tNowhere/Minutes\n" // 60 minutes
        "xx\t+0000+00000\tNowhere/Lower\n"   // not a country code
        "XX\t+0000+000000\tNowhere/Digits\n" // digits of neither form
        "XX\t+0000+00000\t../etc/passwd\n"   // no zone's name
        "XX +0000+00000 Nowhere/Spaces\n"    // not tab-separated
        "XX\t+0000+00000\tA/B\tc\td\n");     // a field too many
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].countries, (std::vector<std::string>{"SG", "AQ", "MY"}));
    EXPECT_EQ(rows[0].zone, "Asia/Singapore");
    EXPECT_NEAR(rows[0].place.latitude, 1 + 17 / 60.0, 1e-12);
    EXPECT_NEAR(rows[0].place.longitude, 103 + 51 / 60.0, 1e-12);
    EXPECT_EQ(rows[0].comment, "peninsular Malaysia, Concordia");
    EXPECT_NEAR(rows[1].place.latitude, -(77 + 50 / 60.0), 1e-12);
    EXPECT_NEAR(rows[1].place.longitude, 166 + 36 / 60.0, 1e-12);
    EXPECT_NEAR(rows[2].place.latitude, 40 + 42 / 60.0 + 51 / 3600.0, 1e-12);
    EXPECT_NEAR(rows[2].place.longitude, -(74 + 0 / 60.0 + 23 / 3600.0), 1e-12);
    EXPECT_EQ(rows[2].comment, "");

    const auto countries = readCountryTable("# ISO 3166 alpha-2 country codes\n"
                                            "SG\tSingapore\nAQ\tAntarctica\r\n"
                                            "GB\tBritain (UK)\nxx\tLower\nYY\n");
    EXPECT_EQ(countries.size(), 3u);
    EXPECT_EQ(countries.at("AQ"), "Antarctica");
    EXPECT_EQ(countries.at("GB"), "Britain (UK)");

    for (const auto& [zone, city] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Antarctica/McMurdo", "McMurdo"},
             {"America/Argentina/Buenos_Aires", "Buenos Aires"},
             {"Asia/Singapore", "Singapore"},
             {"UTC", ""},
             {"Etc/GMT+5", ""},
             {"EST5EDT", ""},
             {"../etc/passwd", ""}}) {
        EXPECT_EQ(cityOfZone(zone), city) << zone;
    }
}

using namespace std::string_view_literals;

// Written by msgfmt's rules: little-endian with a full hash table, big-endian with none.
constexpr std::string_view HASHED =
    "\336\022\004\225\000\000\000\000\003\000\000\000\034\000\000\0004\000\000\000\003\000"
    "\000\000L\000\000\000\006\000\000\000X\000\000\000\005\000\000\000_\000\000\000\006\000"
    "\000\000e\000\000\000\005\000\000\000l\000\000\000\006\000\000\000r\000\000\000\010\000"
    "\000\000y\000\000\000\002\000\000\000\003\000\000\000\001\000\000\000703448\000DE.02\000"
    "plural\000Kyjiw\000Bayern\000one\000many\000"sv;
constexpr std::string_view BIG_ENDIAN_CATALOG =
    "\225\004\022\336\000\000\000\000\000\000\000\004\000\000\000\034\000\000\000<\000\000"
    "\000\000\000\000\000\134\000\000\000\006\000\000\000\134\000\000\000\005\000\000\000c"
    "\000\000\000\005\000\000\000i\000\000\000\006\000\000\000o\000\000\000\005\000\000\000v"
    "\000\000\000\006\000\000\000|\000\000\000\000\000\000\000\203\000\000\000\010\000\000"
    "\000\204703448\000DE.02\000empty\000plural\000Kyjiw\000Bayern\000\000one\000many\000"sv;

TEST(MessageCatalogs, TranslationsFoundByTheirIds) {
    for (const std::string_view bytes : {HASHED, BIG_ENDIAN_CATALOG}) {
        SCOPED_TRACE(bytes.size());
        const MessageCatalog catalog(bytes);
        ASSERT_TRUE(catalog.valid());
        EXPECT_EQ(catalog.find("703448"), "Kyjiw");
        EXPECT_EQ(catalog.find("DE.02"), "Bayern");
        EXPECT_EQ(catalog.find("plural"), "one");
        for (const char* absent : {"empty", "703449", "0", "ZZ"}) {
            EXPECT_FALSE(catalog.find(absent)) << absent;
        }
        // Cut anywhere, a catalog finds nothing beyond its bytes.
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const std::optional<std::string_view> found =
                MessageCatalog(bytes.substr(0, size)).find("703448");
            EXPECT_TRUE(!found || *found == "Kyjiw") << size;
        }
    }
    // A wrong magic, a major revision this reader does not know, more strings than bytes.
    for (const auto& [at, byte] : {std::pair{0, 'x'}, std::pair{6, '\2'}, std::pair{10, '\377'}}) {
        std::string wrong(HASHED);
        wrong[at] = byte;
        EXPECT_FALSE(MessageCatalog(wrong).valid()) << at;
    }
    EXPECT_FALSE(MessageCatalog().find(""));
}

TEST(MessageCatalogs, ChosenAsGettextChoosesThem) {
    using List = std::vector<std::string>;
    EXPECT_EQ(catalogsOfLocale("de_AT.UTF-8"), (List{"de_AT", "de"}));
    EXPECT_EQ(catalogsOfLocale("de_DE@euro"), (List{"de_DE@euro", "de@euro", "de_DE", "de"}));
    EXPECT_EQ(catalogsOfLocale("sr_RS.UTF-8@latin"),
              (List{"sr_RS@latin", "sr@latin", "sr_RS", "sr"}));
    EXPECT_EQ(catalogsOfLocale("uk"), (List{"uk"}));
    EXPECT_EQ(catalogsOfLocale("C.UTF-8"), List{});
    EXPECT_EQ(catalogsOfLocale("POSIX"), List{});
    EXPECT_EQ(catalogsOfLocale(""), List{});
    EXPECT_EQ(catalogsOfLocale("../../../tmp/de"), List{});
    struct Case {
        const char *language, *all, *messages, *lang;
        List catalogs;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, nullptr, {}},
        {nullptr, "de_DE.UTF-8", nullptr, nullptr, {"de_DE", "de"}},
        {nullptr, nullptr, "fr_CH.UTF-8", "de_DE.UTF-8", {"fr_CH", "fr"}},
        {nullptr, "", "", "de_AT.UTF-8", {"de_AT", "de"}},
        {"uk:de", nullptr, nullptr, "de_DE.UTF-8", {"uk", "de"}},
        {"pt_BR:C:de", nullptr, nullptr, "C.UTF-8", {"pt_BR", "pt"}},
        {"de", "C.UTF-8", nullptr, nullptr, {"de"}}, // C.UTF-8 is not "C": LANGUAGE counts
        {"de", "C", nullptr, "de_DE.UTF-8", {}},     // in the C locale LANGUAGE is not read
        {"de", "POSIX", nullptr, nullptr, {}},
        {"de", nullptr, nullptr, nullptr, {}},
        {"", "de_DE.UTF-8", nullptr, nullptr, {"de_DE", "de"}},
        {"de::fr", "de_DE.UTF-8", nullptr, nullptr, {"de", "fr"}},
        {"../x:uk", "de_DE.UTF-8", nullptr, nullptr, {"uk"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(messageCatalogs(c.language, c.all, c.messages, c.lang), c.catalogs)
            << (c.language ? c.language : "-") << " " << (c.all ? c.all : "-") << " "
            << (c.messages ? c.messages : "-") << " " << (c.lang ? c.lang : "-");
    }
}

} // namespace
} // namespace orvanta
