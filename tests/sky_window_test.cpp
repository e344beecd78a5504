// The "Mars tonight" window at a pinned instant and place: the facts in words and the picture.

#include "app/mars_disk_panel.h"
#include "app/sky_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/mars_disk_view.h"
#include "panes/sky_dome.h"
#include "panes/texts.h"
#include "tests/pinned_at.h"
#include "tools/cli/arguments.h"
#include "tools/state/state_tool.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvanta;

namespace {

// The window keeps the place's own clock whatever the process's zone, so most tests set none.
TEST(SkyWindow, TheNightOfTheApproachFromBerlin) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    window.show();
    // The times and directions an independent implementation gives (tests/sky/reference.tsv),
    // on Berlin's clock.
    EXPECT_EQ(window.facts().toStdString(),
              "Rises at 16:59 CET in the east-north-east.\n"
              "Highest at 00:25 CET, 53° above the horizon in the south.\n"
              "Sets at 07:52 CET in the west-north-west.\n"
              "Now 52° above the horizon in the south-south-west.\n"
              "In the constellation Leo, at magnitude -1.2, 176° from the Sun.\n"
              "Mars is 2.4° south-east of η Leonis.\n"
              "Best seen from 18:50 CET to 05:50 CET (the Sun below −12°, Mars above 10°).");
    // Mars is drawn where it is now, low in the south-south-west of the dome, in red, and no
    // name, hour or star over it; the stars fill the north, where neither the track nor a name
    // is.
    QWidget* dome = window.childAt(20, 20);
    ASSERT_NE(dome, nullptr);
    const QImage picture = dome->grab().toImage();
    double x = 0, y = 0;
    int red = 0, stars = 0;
    for (int j = 0; j < picture.height(); ++j) {
        for (int i = 0; i < picture.width(); ++i) {
            const QColor c = picture.pixelColor(i, j);
            if (c.red() > 200 && c.green() < 100 && c.blue() < 80) {
                x += i, y += j, ++red;
            }
            stars += i > 20 && j > 60 && j < picture.height() / 3 &&
                     std::min({c.red(), c.green(), c.blue()}) > 160;
        }
    }
    ASSERT_GT(red, 100);
    for (int dx = -5; dx <= 5; ++dx) {
        for (int dy = -5; dy <= 5; ++dy) {
            const QColor c = picture.pixelColor(qRound(x / red) + dx, qRound(y / red) + dy);
            EXPECT_TRUE(dx * dx + dy * dy > 25 || (c.red() > 200 && c.green() < 100)) << dx << dy;
        }
    }
    EXPECT_GT(stars, 100);
}

// At noon in a Berlin summer the dome is a daylit sky, not the night's, with the Sun drawn in
// the south and said in its words, and no figures; the compass's letters stand outside the horizon.
TEST(SkyWindow, TheDomeAtNoonIsDaylitWithTheSun) {
    const PinnedAt pinned({2027, 6, 21, 11, 0, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    window.show();
    SkyDome* dome = dynamic_cast<SkyDome*>(window.childAt(20, 20));
    ASSERT_NE(dome, nullptr);
    const QImage picture = dome->grab().toImage();
    EXPECT_NE(picture.pixelColor(5, 5), QColor(8, 10, 28));
    EXPECT_GT(picture.pixelColor(5, 5).blue(), 150);
    int sun = 0, figures = 0;
    for (int j = 0; j < picture.height(); ++j) {
        for (int i = 0; i < picture.width(); ++i) {
            const QColor c = picture.pixelColor(i, j);
            sun += j > picture.height() / 2 && c.red() > 240 && c.green() > 230 && c.blue() > 150 &&
                   c.blue() < 230;
            // The figures' blue in the north, where no text is: by day no stars are seen to
            // be joined.
            figures +=
                j > 60 && j < picture.height() / 3 &&
                std::hypot(i - picture.width() / 2, j - picture.height() / 2) < 150 &&
                std::abs(c.red() - 60) + std::abs(c.green() - 90) + std::abs(c.blue() - 150) < 30;
        }
    }
    EXPECT_GT(sun, 100);
    EXPECT_LT(figures, 20);
    const std::string name = dome->accessibleName().toStdString();
    EXPECT_NE(name.find("in daylight, the Sun 61"), std::string::npos) << name;
    const QPointF centre(200, 200);
    const double radius = 172;
    for (const QRectF& box : compassBoxes(centre, radius, QFontMetricsF(dome->font()))) {
        const double dx = std::max({box.left() - centre.x(), 0.0, centre.x() - box.right()});
        const double dy = std::max({box.top() - centre.y(), 0.0, centre.y() - box.bottom()});
        EXPECT_GT(std::hypot(dx, dy), radius + 2);
        EXPECT_TRUE(QRectF(0, 0, 400, 400).contains(box));
    }
}

// Clocks go forward in Berlin at 01:00 UTC on 2027-03-28: Mars rises and culminates in winter time
// (12:43:15 and 20:24:35 UTC) and sets in summer time (04:05:51 UTC).
TEST(SkyWindow, LocalTimesAcrossAChangeToSummerTime) {
    const PinnedAt pinned({2027, 3, 27, 20, 0, 0});
    const SkyWindow window(Place{52.52, 13.405, 34});
    const std::string facts = window.facts().toStdString();
    EXPECT_NE(facts.find("Rises at 13:43 CET "), std::string::npos) << facts;
    EXPECT_NE(facts.find("Highest at 21:25 CET,"), std::string::npos) << facts;
    EXPECT_NE(facts.find("Sets at 06:06 CEST "), std::string::npos) << facts;
}

// The place's own clock, whatever the computer's: a town's zone, the nearest town's for typed
// coordinates, UTC far from any; what was taken stays in the field.
TEST(SkyWindow, TellsThePlacesOwnClock) {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    setenv("TZ", "Europe/Berlin", 1); // the computer's clock, which the window must not tell
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("placeField"));
    const auto* when = window.findChild<QDateTimeEdit*>();
    const struct {
        const char* typed;
        const char* time; // one of the pass's, with its zone
        const char* clock;
        const char* shown; // what the field then holds
        const char* when;  // the date field: the same instant on the new clock
    } cases[] = {{"Sydney", "Rises at 19:52 AEDT",
                  "(Sydney, New South Wales, Australia). Times are on the clock of Sydney "
                  "(Australia/Sydney).",
                  "Sydney, New South Wales, Australia", "2027-02-20 11:14 AEDT"},
                 {"-33.87,151.21", "Rises at 19:52 AEDT", "the nearest town known here, 0 km",
                  nullptr, "2027-02-20 11:14 AEDT"},
                 {"0,-30", " UTC", "Times are UTC: no town known here lies within 400 km.", nullptr,
                  "2027-02-20 00:14 UTC"},
                 {"not a place", " UTC", "Not taken: \"not a place\" is not a town known here.",
                  nullptr, "2027-02-20 00:14 UTC"},
                 {"tromso", " CET", "Times are on the clock of Tromsø (Europe/Oslo).",
                  "Tromsø, Troms og Finnmark, Norway", "2027-02-20 01:14 CET"},
                 {"64°08′N 21°54′W", " GMT",
                  "Times are on the clock of Reykjavik (Atlantic/Reykjavik), the nearest town",
                  nullptr, "2027-02-20 00:14 GMT"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        field->setText(QString::fromUtf8(c.typed));
        QTest::keyClick(field, Qt::Key_Return);
        const std::string facts = window.facts().toStdString();
        const std::string words =
            window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString();
        EXPECT_NE(facts.find(c.time), std::string::npos) << facts;
        EXPECT_NE(words.find(c.clock), std::string::npos) << words;
        EXPECT_EQ(field->text().toStdString(), c.shown ? c.shown : c.typed);
        EXPECT_EQ(when->text().toStdString(), c.when);
    }
    unsetenv("TZ");
    qputenv("XDG_CONFIG_HOME", config);
}

// Text from outside is never markup: an image named in a typed place, or in the kept place's
// name, is shown as the words it is, and the pipe it names is never opened (a label that took it
// for markup would open it on the window's thread and wait there for good).
TEST(SkyWindow, OutsideTextIsShownAsItIsAndNeverMarkup) {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QString fifo = home.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto nobodyOpened = [&] {
        // Opening a pipe's writing end without waiting fails while no one holds its reading end.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        const bool unopened = fd < 0 && errno == ENXIO;
        if (fd >= 0) {
            ::close(fd);
        }
        return unopened;
    };
    const QString image = QStringLiteral("<img src=%1>").arg(fifo);
    QDir().mkpath(home.filePath(QStringLiteral("orvanta")));
    QFile kept(home.filePath(QStringLiteral("orvanta/orvanta.conf")));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("[sky]\nlatitude=52.52\nlongitude=13.405\nname=\"" + image.toUtf8() + "\"\n");
    kept.close();
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window;
    window.show();
    auto* label = window.findChild<QLabel*>(QStringLiteral("place"));
    QApplication::processEvents();
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->text().contains(QStringLiteral("(") + image + QStringLiteral(")")))
        << label->text().toStdString();
    EXPECT_TRUE(nobodyOpened());
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("placeField"));
    const struct {
        QString typed;
        QString shown; // in the "Not taken" line
    } cases[] = {
        {image, image},
        {QStringLiteral("<font color=red size=7>big</font>"),
         QStringLiteral("<font color=red size=7>big</font>")},
        {QStringLiteral("Zu\u0308rich\x1b]0;title\x07\x1b[2J"),
         QStringLiteral("Zu\u0308rich\\x1b]0;title\\x07\\x1b[2J")},
        {QString(1500, QLatin1Char('a')), QString(60, QLatin1Char('a')) + "...\" (1500 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.left(40).toStdString());
        field->setText(c.typed);
        QTest::keyClick(field, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_TRUE(label->text().contains(c.shown)) << label->text().toStdString();
        EXPECT_LT(label->text().size(), 400); // the place and the clock still in view
        EXPECT_TRUE(nobodyOpened());
    }
    qputenv("XDG_CONFIG_HOME", config);
}

// With nothing kept, the sky is the time zone's town's; where the zone has none, the equator's,
// drawn, with plain words on what to do.
TEST(SkyWindow, StartsFromTheTownOfTheTimeZoneOrAsks) {
    QTemporaryDir home;
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const struct {
        const char* zone;
        const char* words;
    } cases[] = {
        {"Europe/Oslo", "(Oslo, Norway, the town of your time zone). Times are on the clock of "
                        "Oslo (Europe/Oslo)."},
        {"UTC", "No town is known for your time zone: type a town or a latitude and longitude "
                "below. Seen from 0.00° N, 0.00° E (the equator at Greenwich, until then). Times "
                "are UTC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        setenv("TZ", c.zone, 1);
        SkyWindow window;
        const std::string words =
            window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString();
        EXPECT_NE(words.find(c.words), std::string::npos) << words;
        ASSERT_TRUE(window.tonight());
        EXPECT_FALSE(window.tonight()->samples.empty());
        EXPECT_FALSE(window.facts().isEmpty());
    }
    unsetenv("TZ");
    qputenv("XDG_CONFIG_HOME", config);
}

// The window and orvanta-state --sky show the same pass and the same best stretch: on the pass,
// just after a set, just before a rise, and never high in a dark sky (the times compared in UTC).
TEST(SkyWindow, ShowsThePassOrvantaStatePrints) {
    setenv("TZ", "UTC", 1);
    const struct {
        UtcClockReading at;
        const char* place;
    } cases[] = {{{2027, 2, 20, 0, 14, 0}, "52.52,13.405,34"},
                 {{2027, 2, 20, 7, 0, 0}, "52.52,13.405,34"},
                 {{2027, 2, 19, 15, 50, 0}, "52.52,13.405,34"},
                 {{2026, 6, 21, 12, 0, 0}, "69.65,18.96,0"},
                 {{2027, 2, 20, 12, 0, 0}, "-14.3,-170.7,0"},
                 // Far from the bright stars, near a fainter one.
                 {{2028, 1, 10, 12, 0, 0}, "52.52,13.405,34"}};
    for (const auto& c : cases) {
        char utc[64];
        std::snprintf(utc, sizeof utc, "%04d-%02d-%02dT%02d:%02d:00", c.at.year, c.at.month,
                      c.at.day, c.at.hour, c.at.minute);
        SCOPED_TRACE(std::string(utc) + " " + c.place);
        std::string out, err;
        ASSERT_EQ(runStateTool({"--sky", "--utc", utc, "--place", c.place}, out, err), 0) << err;
        FixedUtcClock clock(c.at);
        computeEncounterState();
        double lat = 0, lon = 0, height = 0;
        std::sscanf(c.place, "%lf,%lf,%lf", &lat, &lon, &height);
        const SkyWindow window(Place{lat, lon, height});
        const std::string facts = window.facts().toStdString();
        const auto local = [&](const std::string& iso) {
            return zonedMinuteText(julianDateValue(julianDateOfReading(
                                       parseUtcArgument("--utc", iso.substr(0, 16) + ":00"))),
                                   window.zone());
        };
        // "rise 2027-02-19T15:59Z azimuth 63.4" is "Rises at 15:59 in ...", "none" no such line.
        const std::pair<const char*, const char*> said[] = {{"rise", "Rises at "},
                                                            {"transit", "Highest at "},
                                                            {"set", "Sets at "},
                                                            {"best", "Best seen from "}};
        for (const auto& [name, words] : said) {
            const std::size_t at = out.find(std::string("\n") + name + ' ');
            ASSERT_NE(at, std::string::npos) << out;
            std::istringstream fields(out.substr(at + 2 + std::strlen(name)));
            std::string first, second;
            fields >> first >> second;
            const std::string shown =
                first == "none"
                    ? words
                    : words + local(first).toStdString() +
                          (name == std::string("best") ? " to " + local(second).toStdString() : "");
            EXPECT_EQ(facts.find(shown) != std::string::npos, first != "none") << out << facts;
        }
        // One rule for the star: "near η Leo 2.36 south-east" is "Mars is 2.4° south-east of
        // η Leonis", "near none" no star named.
        const std::size_t near = out.find("\nnear ");
        ASSERT_NE(near, std::string::npos) << out;
        const std::string line = out.substr(near + 6, out.find('\n', near + 6) - near - 6);
        if (line == "none") {
            EXPECT_EQ(facts.find("Mars is "), std::string::npos) << facts;
            continue;
        }
        // The name may hold spaces: the degrees and the direction are the last two words.
        const std::size_t numbers = line.rfind(' ', line.rfind(' ') - 1);
        std::istringstream fields(line.substr(numbers));
        std::string direction;
        double degrees = 0;
        fields >> degrees >> direction;
        const std::size_t sentence = facts.find("Mars is ");
        ASSERT_NE(sentence, std::string::npos) << facts;
        const std::string told = facts.substr(sentence, facts.find('\n', sentence) - sentence);
        EXPECT_NE(told.find("° " + direction + " of "), std::string::npos) << told;
        EXPECT_NE(told.find(line.substr(0, numbers)), std::string::npos) << out << told;
        EXPECT_EQ(facts.find("No star within 10°") != std::string::npos, degrees > 10);
    }
    unsetenv("TZ");
}

// The edges a user reaches first: a Mars that never rises, one lost in the Sun's glare, one in a
// daylit sky, a star too far off to be "near"; the telescope's views, now and at the highest,
// offered only for a Mars that can be seen then.
TEST(SkyWindow, SaysWhatCanBeSeenAtTheEdges) {
    setenv("TZ", "UTC", 1);
    const struct {
        UtcClockReading at;
        Place place;
        std::vector<std::string> said, notSaid; // not of const char*: two would be a range
        bool highestShown, nowShown;
    } cases[] = {
        {{2027, 2, 20, 0, 14, 0},
         {-90, 0, 2800},
         {"Mars does not rise here now; at its highest, ", " below the horizon."},
         {"Highest at", "Best seen from"},
         false,
         false},
        {{2028, 3, 21, 12, 0, 0},
         {52.52, 13.405, 34},
         {"Too close to the Sun to be seen (", " from the Sun."},
         {},
         false,
         false},
        // Nunki 22.7° away, but β Capricorni within 10°.
        {{2028, 1, 10, 12, 0, 0},
         {52.52, 13.405, 34},
         {"Mars is 5.8° south-east of β Capricorni (Dabih)."},
         {"No star"},
         false,
         false},
        {{2026, 11, 15, 7, 17, 0},
         {52.52, 13.405, 34},
         {", in a daylit sky."},
         {"Too close"},
         true,
         false},
        {{2027, 2, 20, 0, 14, 0},
         {52.52, 13.405, 34},
         {"south-east of η Leonis."},
         {"No star"},
         true,
         true},
        // Singapore, 21:00: β Virginis, 1.35° by the independent reference.
        {{2029, 6, 1, 13, 0, 0},
         {1.29, 103.85, 15},
         {"Mars is 1.4° south-east of β Virginis (Zavijava)."},
         {"No star"},
         true,
         true},
    };
    for (const auto& c : cases) {
        FixedUtcClock clock(c.at);
        computeEncounterState();
        SkyWindow window(c.place);
        window.show();
        const std::string facts = window.facts().toStdString();
        SCOPED_TRACE(facts);
        for (const std::string& words : c.said) {
            EXPECT_NE(facts.find(words), std::string::npos) << words;
        }
        for (const std::string& words : c.notSaid) {
            EXPECT_EQ(facts.find(words), std::string::npos) << words;
        }
        EXPECT_EQ(window.disks()->view(1)->isVisible(), c.highestShown);
        EXPECT_EQ(window.disks()->view(0)->isVisible(), c.nowShown);
    }
    unsetenv("TZ");
}

} // namespace
