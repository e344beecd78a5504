// Qt lists some zones only under their new names: each town's zone must still be its clock.

// GLib's headers first: after Qt's, their word "signals" is Qt's keyword.
// clang-format off
#include <geonames.h>
// clang-format on

#include "app/settings.h"
#include "app/sky_window.h"
#include "app/time_zones.h"
#include "tests/pinned_at.h"
#include "towns/towns.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <set>

using namespace orvanta;

namespace {

// 2027-02-20 00:14 UT, the night of the approach.
const QDateTime NIGHT(QDate(2027, 2, 20), QTime(0, 14), Qt::UTC);

TEST(TimeZones, EveryZoneOfTheTownsIsAClockQtLists) {
    std::set<std::string> zones;
    const gint count = geonames_get_n_cities();
    std::size_t linked = 0;
    for (gint i = 0; i < count; ++i) {
        GeonamesCity* const city = geonames_get_city(i);
        const std::string zone = geonames_city_get_timezone(city);
        geonames_city_free(city);
        const bool listed = QTimeZone::isTimeZoneIdAvailable(QByteArray::fromStdString(zone));
        linked += listed ? 0 : 1;
        if (zones.insert(zone).second) {
            const std::optional<QTimeZone> clock = qtTimeZoneOf(zone);
            ASSERT_TRUE(clock && clock->isValid()) << zone;
            EXPECT_TRUE(QTimeZone::isTimeZoneIdAvailable(clock->id())) << zone;
        }
    }
    std::printf("%zu of %d towns keep a zone this Qt lists under another name (of %zu zones); "
                "each is its clock through the tz database's links\n",
                linked, count, zones.size());
    EXPECT_GT(linked, 200u);
    for (const Town& town : systemTowns().towns()) {
        ASSERT_TRUE(QTimeZone::isTimeZoneIdAvailable(QByteArray::fromStdString(town.zone)))
            << englishTitle(town) << " " << town.zone;
    }
}

TEST(TimeZones, AZoneByAnyOfItsNames) {
    struct Case {
        const char* zone;
        const char* id; // nullptr: no clock
        const char* abbreviation;
    };
    const Case cases[] = {
        {"Europe/Kiev", "Europe/Kyiv", "EET"},
        {"Europe/Zaporozhye", "Europe/Kyiv", "EET"},
        {"America/Thunder_Bay", "America/Toronto", "EST"},
        {"Asia/Calcutta", "Asia/Kolkata", "IST"},
        {"Antarctica/McMurdo", "Antarctica/McMurdo", "NZDT"},
        {"Asia/Kathmandu", "Asia/Kathmandu", "+0545"}, // a zone at :45
        {"Etc/UTC", "UTC", "UTC"},                     // listed as UTC
        {"EST5EDT", "EST5EDT", "EST"},                 // a zone of the database Qt lists not
        {"Foo", nullptr, nullptr},                     // Qt would read a rule: UTC
        {"right/Europe/Berlin", nullptr, nullptr},     // its leap seconds off by 27 s
        {"", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<QTimeZone> clock = qtTimeZoneOf(c.zone);
        ASSERT_EQ(clock.has_value(), c.id != nullptr) << c.zone;
        if (clock) {
            EXPECT_EQ(clock->id().toStdString(), c.id) << c.zone;
            EXPECT_EQ(clock->abbreviation(NIGHT).toStdString(), c.abbreviation) << c.zone;
        }
    }
}

// The window's clock for a town or coordinates, as the place's line tells it.
struct Told {
    QByteArray zone;
    std::string words;
};

Told clockOf(const std::string& typed) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("placeField"));
    field->setText(QString::fromStdString(typed));
    QTest::keyClick(field, Qt::Key_Return);
    return {window.zone().id(),
            window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString()};
}

TEST(TimeZones, TheWindowTellsEachTownsOwnClockAndKeepsItInEnglish) {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    struct Case {
        const char *typed, *id, *clock; // coordinates: the nearest town's clock
    };
    const Case cases[] = {
        {"Kyiv", "Europe/Kyiv", "Kyiv (Europe/Kyiv)"},
        {"Zaporizhzhya", "Europe/Kyiv", "Zaporizhzhya (Europe/Kyiv)"},
        {"Thunder Bay", "America/Toronto", "Thunder Bay (America/Toronto)"},
        {"McMurdo", "Antarctica/McMurdo", "McMurdo (Antarctica/McMurdo)"},
        {"50,45 30,52", "Europe/Kyiv", "Kyiv (Europe/Kyiv)"},
        {"77°33′S 166°10′E", "Antarctica/McMurdo", "McMurdo (Antarctica/McMurdo)"},
        {"1.29 103.85", "Asia/Singapore", "Singapore (Asia/Singapore)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const Told told = clockOf(c.typed);
        EXPECT_EQ(told.zone.toStdString(), c.id);
        EXPECT_NE(told.words.find(std::string("Times are on the clock of ") + c.clock),
                  std::string::npos)
            << told.words;
    }
    // Kept in English however typed, so another locale finds it; an old zone name is its clock.
    clockOf("München");
    EXPECT_EQ(readSetting("sky/name").value_or(QString()).toStdString(),
              "Munich, Bavaria, Germany");
    EXPECT_EQ(readSetting("sky/town").value_or(QString()).toStdString(), "Munich");
    EXPECT_EQ(readSetting("sky/zone").value_or(QString()).toStdString(), "Europe/Berlin");

    saveSettings({{"sky/latitude", QStringLiteral("50.4547")},
                  {"sky/longitude", QStringLiteral("30.5238")},
                  {"sky/name", QStringLiteral("Kyiv, Kyiv City, Ukraine")},
                  {"sky/town", QStringLiteral("Kyiv")},
                  {"sky/zone", QStringLiteral("Europe/Kiev")}});
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const SkyWindow window;
    EXPECT_EQ(window.zone().id().toStdString(), "Europe/Kyiv");
    const std::string words =
        window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString();
    EXPECT_NE(
        words.find("(Kyiv, Kyiv City, Ukraine). Times are on the clock of Kyiv (Europe/Kyiv)."),
        std::string::npos)
        << words;
    qputenv("XDG_CONFIG_HOME", config);
}

} // namespace
