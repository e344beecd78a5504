// The tz database's tables and gettext's catalogs as the towns read them: text and bytes alone.

#include "towns/message_catalog.h"
#include "towns/zone_tables.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

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
        const char* target;
        const char* listed;
    };
    const Case cases[] = {
        {"Europe/Kiev", "Europe/Kyiv", "Europe/Kyiv"},
        {"Europe/Zaporozhye", "Europe/Kyiv", "Europe/Kyiv"},
        {"Europe/Kyiv", "Europe/Kyiv", "Europe/Kyiv"},
        {"US/Eastern", "America/New_York", "America/New_York"},
        {"US/Eastern_Again", "America/New_York", "America/New_York"},
        {"Europe/Oslo", "Europe/Oslo", "Europe/Oslo"}, // not in the database: as it is
        {"Loop/A", "Loop/A", "Loop/A"},                // the link back to it is not taken
        {"Loop/B", "Loop/A", "Loop/A"},
        {"../etc/passwd", "../etc/passwd", "../etc/passwd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(names.targetOf(c.name), c.target) << c.name;
        EXPECT_EQ(names.listedName(c.name), c.listed) << c.name;
    }
    EXPECT_TRUE(names.knows("Europe/Kiev"));
    EXPECT_TRUE(names.knows("Europe/Kyiv"));
    EXPECT_FALSE(names.knows("Europe/Other"));
    EXPECT_FALSE(names.knows("Europe/Oslo"));
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

// gettext's hash of an id, as msgfmt writes its table with it.
std::uint32_t hashOf(const std::string& id) {
    std::uint32_t hash = 0;
    for (const char c : id) {
        hash = (hash << 4) + static_cast<unsigned char>(c);
        if (const std::uint32_t high = hash & 0xf0000000u; high != 0) {
            hash ^= high >> 24;
            hash ^= high;
        }
    }
    return hash;
}

// A catalog as msgfmt writes one: the header, the table of ids, the table of translations, the
// hash table of `hashSize` slots (none for 0), then the strings, each with its NUL; the ids
// sorted as bytes.
std::string catalogBytes(const std::vector<std::pair<std::string, std::string>>& messages,
                         bool bigEndian = false, std::uint32_t hashSize = 0) {
    std::string bytes;
    const auto word = [&bytes, bigEndian](std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes += static_cast<char>((value >> shift) & 0xff);
        }
    };
    const auto count = static_cast<std::uint32_t>(messages.size());
    const std::uint32_t ids = 28, translations = ids + 8 * count;
    const std::uint32_t hashes = translations + 8 * count;
    word(0x950412de);
    word(0);
    word(count);
    word(ids);
    word(translations);
    word(hashSize);
    word(hashes);
    std::string strings;
    std::uint32_t at = hashes + 4 * hashSize;
    for (int side = 0; side < 2; ++side) {
        for (const auto& message : messages) {
            const std::string& text = side == 0 ? message.first : message.second;
            word(static_cast<std::uint32_t>(text.size()));
            word(at);
            strings += text + '\0';
            at += static_cast<std::uint32_t>(text.size() + 1);
        }
    }
    std::vector<std::uint32_t> slots(hashSize, 0);
    for (std::uint32_t i = 0; i < count && hashSize > 2; ++i) {
        const std::uint32_t hash = hashOf(messages[i].first);
        std::uint32_t slot = hash % hashSize;
        const std::uint32_t step = 1 + hash % (hashSize - 2);
        while (slots[slot] != 0) {
            slot = slot >= hashSize - step ? slot - (hashSize - step) : slot + step;
        }
        slots[slot] = i + 1;
    }
    for (const std::uint32_t slot : slots) {
        word(slot);
    }
    return bytes + strings;
}

TEST(MessageCatalogs, TranslationsFoundByTheirIds) {
    const std::vector<std::pair<std::string, std::string>> messages = {
        {"", "Content-Type: text/plain; charset=UTF-8\n"},
        {"2761369", "Wien"},
        {"2867714", "München"},
        {"703448", "Kyjiw"},
        {"AT", "Österreich"},
        {"DE.02", "Bayern"},
        {"empty", ""},
        {"plural", std::string("one\0many", 8)},
    };
    for (const auto& [bigEndian, hashSize] :
         {std::pair{false, 0u}, std::pair{true, 0u}, std::pair{false, 11u}, std::pair{true, 17u}}) {
        SCOPED_TRACE(std::to_string(bigEndian) + " " + std::to_string(hashSize));
        const std::string bytes = catalogBytes(messages, bigEndian, hashSize);
        const MessageCatalog catalog(bytes);
        ASSERT_TRUE(catalog.valid());
        EXPECT_EQ(catalog.find("2867714"), "München");
        EXPECT_EQ(catalog.find("2761369"), "Wien");
        EXPECT_EQ(catalog.find("703448"), "Kyjiw");
        EXPECT_EQ(catalog.find("DE.02"), "Bayern");
        EXPECT_EQ(catalog.find("plural"), "one");
        EXPECT_FALSE(catalog.find("empty"));
        EXPECT_FALSE(catalog.find("2867715"));
        EXPECT_FALSE(catalog.find("0"));
        EXPECT_FALSE(catalog.find("ZZ"));
        // Cut anywhere, or its words out of range, a catalog finds nothing beyond its bytes.
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            const MessageCatalog cut(std::string_view(bytes).substr(0, size));
            const std::optional<std::string_view> found = cut.find("703448");
            EXPECT_TRUE(!found || *found == "Kyjiw") << size;
        }
    }
    // A hash table full to the last slot ends its search too.
    const std::string full = catalogBytes(messages, false, 8);
    EXPECT_EQ(MessageCatalog(full).find("DE.02"), "Bayern");
    EXPECT_FALSE(MessageCatalog(full).find("nothing"));
    std::string wrong = catalogBytes(messages);
    wrong[0] = 'x';
    EXPECT_FALSE(MessageCatalog(wrong).valid());
    std::string later = catalogBytes(messages);
    later[6] = 2; // a major revision this reader does not know
    EXPECT_FALSE(MessageCatalog(later).valid());
    std::string huge = catalogBytes(messages);
    huge[8] = huge[9] = huge[10] = huge[11] = '\xff'; // more strings than bytes
    EXPECT_FALSE(MessageCatalog(huge).valid());
    EXPECT_FALSE(MessageCatalog().find(""));
}

// The geonames catalogs Debian ships are read as gettext reads them.
TEST(MessageCatalogs, TheSystemsGeonamesCatalogs) {
    std::ifstream file("/usr/share/locale/de/LC_MESSAGES/geonames.mo", std::ios::binary);
    ASSERT_TRUE(file) << "libgeonames' German catalog is not installed";
    std::ostringstream bytes;
    bytes << file.rdbuf();
    const std::string text = bytes.str();
    const MessageCatalog german(text);
    EXPECT_EQ(german.find("2867714"), "München");
    EXPECT_EQ(german.find("2761369"), "Wien");
    EXPECT_EQ(german.find("DE"), "Deutschland");
    EXPECT_EQ(german.find("DE.02"), "Bayern");
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
