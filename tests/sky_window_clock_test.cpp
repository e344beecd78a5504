// The "Mars tonight" window's clocks: the clock chosen beside the date field and kept, the disks'
// central meridian in UT, a time typed into a daylight-saving gap or overlap said so, the steps
// across a change, digits typed where a click put the cursor, and the calendar.

#include "app/mars_disk_panel.h"
#include "app/sky_window.h"
#include "ephemeris/julian_date.h"
#include "tests/pinned_at.h"
#include "tests/scoped_environment.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace orvanta;

namespace {

const Place BERLIN{52.52, 13.405, 34};

double utJd(int year, int month, int day, int hour, int minute) {
    return julianDateValue(julianDateFromCalendar(year, month, day, hour + minute / 60.0));
}

std::string placeWords(const SkyWindow& window) {
    return window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString();
}

std::string field(const SkyWindow& window) {
    return window.findChild<QDateTimeEdit*>()->text().toStdString();
}

QComboBox* clockOf(const SkyWindow& window) {
    return window.findChild<QDateTimeEdit*>()->parentWidget()->findChild<QComboBox*>();
}

// The disks' captions, now and at the highest; `lines` 1 for the first line alone.
std::string caption(const SkyWindow& window, int which, int lines = 2) {
    const QString text = window.disks()->findChildren<QLabel*>().at(which)->text();
    return text.section(QLatin1Char('\n'), 0, lines - 1).toStdString();
}

void press(SkyWindow& window, const char* shown) {
    for (QToolButton* b : window.findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        if (b->text() == QString::fromUtf8(shown)) {
            b->click();
        }
    }
}

// As the user types into the date field and presses Enter.
void type(SkyWindow& window, QDate day, QTime time) {
    window.findChild<QDateTimeEdit*>()->setDateTime(QDateTime(day, time, Qt::UTC));
}

// A settings folder of the test's own, holding `file` as the settings.
struct OwnSettings {
    explicit OwnSettings(const char* file) : folder("XDG_CONFIG_HOME", home.path().toStdString()) {
        QDir().mkpath(home.path() + "/orvanta");
        QFile kept(path());
        if (kept.open(QIODevice::WriteOnly)) {
            kept.write(file);
        }
    }
    QString path() const { return home.path() + "/orvanta/orvanta.conf"; }
    QTemporaryDir home;
    ScopedEnvironment folder;
};

// The clock is the place's at first; UT and the computer's are kept for the next window, and a
// kept value that is none of the three is said once and not used.
TEST(SkyWindowClock, TheClockChosenIsKept) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const ScopedEnvironment zone("TZ", "Asia/Kolkata"); // the computer's
    const struct {
        const char* file;
        ClockChoice read;
        const char* field;
        const char* rises;
        const char* clock;
        const char* said; // on the terminal
    } cases[] = {
        {"", ClockChoice::Place, "2027-02-20 01:14 CET", "Rises at 16:59 CET",
         "Times are on the clock of Berlin (Europe/Berlin)", ""},
        {"[sky]\nclock=ut\n", ClockChoice::Ut, "2027-02-20 00:14 UTC", "Rises at 15:59 UTC",
         "Times are UTC.", ""},
        {"[sky]\nclock=computer\n", ClockChoice::Computer, "2027-02-20 05:44 IST",
         "Rises at 21:29 IST", "Times are on this computer's clock (Asia/Kolkata).", ""},
        {"[sky]\nclock=UT\n", ClockChoice::Place, "2027-02-20 01:14 CET", "Rises at 16:59 CET",
         "Times are on the clock of Berlin",
         "the settings file's sky/clock \"UT\" is not place, ut or computer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const OwnSettings settings(c.file);
        testing::internal::CaptureStderr();
        auto window = std::make_unique<SkyWindow>(BERLIN);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(clockOf(*window)->currentIndex(), static_cast<int>(c.read));
        EXPECT_EQ(field(*window), c.field);
        EXPECT_NE(window->facts().toStdString().find(c.rises), std::string::npos);
        EXPECT_NE(placeWords(*window).find(c.clock), std::string::npos) << placeWords(*window);
        // Chosen in the window: kept for the next one, on the same instant.
        clockOf(*window)->setCurrentIndex(1);
        EXPECT_EQ(field(*window), "2027-02-20 00:14 UTC");
        QFile kept(settings.path());
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_NE(kept.readAll().indexOf("clock=ut\n"), -1);
        window = std::make_unique<SkyWindow>(BERLIN);
        EXPECT_EQ(clockOf(*window)->currentIndex(), static_cast<int>(ClockChoice::Ut));
        clockOf(*window)->setCurrentIndex(2);
        EXPECT_EQ(field(*window), "2027-02-20 05:44 IST");
    }
}

// Above each disk, the central meridian with its instant in UT, whichever clock the times are on;
// the highest's caption follows a change of clock.
TEST(SkyWindowClock, TheDisksTellTheCentralMeridianInUt) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(BERLIN);
    window.showClock(ClockChoice::Place);
    EXPECT_EQ(caption(window, 0), "Now, 01:14 CET: CM 158° at 00:14 UT\n"
                                  "13.8″, 100 % lit, Ls 66°, late northern spring");
    EXPECT_EQ(caption(window, 1), "Highest, 00:25 CET: CM 146° at 23:25 UT\n"
                                  "13.8″, 100 % lit, Ls 66°, late northern spring");
    window.showClock(ClockChoice::Ut);
    EXPECT_EQ(caption(window, 0, 1), "Now, 00:14 UTC: CM 158° at 00:14 UT");
    EXPECT_EQ(caption(window, 1, 1), "Highest, 23:25 UTC: CM 146° at 23:25 UT");
}

// A time typed that the clocks skip is moved on by the skip, one they repeat is the first, and
// the window says which; the words stay with the instant until another is chosen.
TEST(SkyWindowClock, ATimeInAGapOrAnOverlapIsSaid) {
    const OwnSettings settings("");
    const ScopedEnvironment zone("TZ", "Europe/Berlin");
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const struct {
        Place place;
        ClockChoice clock;
        QDate day;
        QTime time;
        double shown; // UT
        const char* field;
        const char* said;
    } cases[] = {
        {BERLIN, ClockChoice::Place, QDate(2028, 3, 26), QTime(2, 30), utJd(2028, 3, 26, 1, 30),
         "2028-03-26 03:30 CEST",
         "02:30 does not exist on 26 March in Berlin: shown for 03:30 CEST. Seen from"},
        {BERLIN, ClockChoice::Place, QDate(2028, 10, 29), QTime(2, 30), utJd(2028, 10, 29, 0, 30),
         "2028-10-29 02:30 CEST",
         "02:30 comes twice on 29 October in Berlin: shown for the first, 02:30 CEST; the "
         "second, 02:30 CET, is 1 h later. Seen from"},
        {{-33.87, 151.21, 0},
         ClockChoice::Place,
         QDate(2027, 10, 3),
         QTime(2, 30),
         utJd(2027, 10, 2, 16, 30),
         "2027-10-03 03:30 AEDT",
         "02:30 does not exist on 3 October in Sydney: shown for 03:30 AEDT. Seen from"},
        // Pittsburgh keeps New York's clock, and the gap is told as Pittsburgh's.
        {{40.4406, -79.9959, 0},
         ClockChoice::Place,
         QDate(2029, 3, 11),
         QTime(2, 30),
         utJd(2029, 3, 11, 7, 30),
         "2029-03-11 03:30 EDT",
         "02:30 does not exist on 11 March in Pittsburgh: shown for 03:30 EDT. Seen from"},
        // Sydney's sky on Berlin's clock, this computer's.
        {{-33.87, 151.21, 0},
         ClockChoice::Computer,
         QDate(2028, 3, 26),
         QTime(2, 30),
         utJd(2028, 3, 26, 1, 30),
         "2028-03-26 03:30 CEST",
         "02:30 does not exist on 26 March on this computer's clock: shown for 03:30 CEST."},
        {BERLIN, ClockChoice::Ut, QDate(2028, 3, 26), QTime(2, 30), utJd(2028, 3, 26, 2, 30),
         "2028-03-26 02:30 UTC", "Seen from"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        SkyWindow window(c.place);
        window.showClock(c.clock);
        type(window, c.day, c.time);
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), c.shown, 1e-6);
        EXPECT_EQ(field(window), c.field);
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u) << placeWords(window);
        EXPECT_EQ(window.findChild<QDateTimeEdit*>()->accessibleDescription().isEmpty(),
                  std::string(c.said) == "Seen from");
        window.refresh(); // the minute's
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u);
        if (c.clock == ClockChoice::Place) { // the night of the typed time, not a day
            EXPECT_EQ(window.facts().toStdString().find("daylit"), std::string::npos);
        }
        // On another clock, or at another instant, it is not said.
        window.showClock(c.clock == ClockChoice::Ut ? ClockChoice::Place : ClockChoice::Ut);
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0), 0u) << placeWords(window);
        window.showClock(c.clock);
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u);
        press(window, "+1 h");
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0), 0u) << placeWords(window);
    }
}

// The steps from the field's time across a change in Berlin: a day keeps the time on the clock,
// landing in the gap it is moved on and said so; an hour is an hour, through both 02:30s.
TEST(SkyWindowClock, StepsAcrossAChangeOfClocks) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(BERLIN);
    window.showClock(ClockChoice::Place);
    const struct {
        QDate day;
        QTime time;
        const char* step;
        const char* field;
        double shown;
        bool said;
    } cases[] = {
        {QDate(2028, 3, 25), QTime(12, 0), "+1 day", "2028-03-26 12:00 CEST",
         utJd(2028, 3, 26, 10, 0), false},
        {QDate(2028, 3, 26), QTime(12, 0), "\u22121 day", "2028-03-25 12:00 CET",
         utJd(2028, 3, 25, 11, 0), false},
        {QDate(2028, 3, 25), QTime(2, 30), "+1 day", "2028-03-26 03:30 CEST",
         utJd(2028, 3, 26, 1, 30), true},
        {QDate(2028, 3, 26), QTime(1, 30), "+1 h", "2028-03-26 03:30 CEST",
         utJd(2028, 3, 26, 1, 30), false},
        {QDate(2028, 3, 26), QTime(3, 30), "\u22121 h", "2028-03-26 01:30 CET",
         utJd(2028, 3, 26, 0, 30), false},
        {QDate(2028, 10, 28), QTime(12, 0), "+1 day", "2028-10-29 12:00 CET",
         utJd(2028, 10, 29, 11, 0), false},
        {QDate(2028, 10, 29), QTime(12, 0), "\u22121 day", "2028-10-28 12:00 CEST",
         utJd(2028, 10, 28, 10, 0), false},
        {QDate(2028, 10, 29), QTime(2, 30), "+1 h", "2028-10-29 02:30 CET",
         utJd(2028, 10, 29, 1, 30), false},
        {QDate(2028, 10, 29), QTime(3, 30), "\u22121 h", "2028-10-29 02:30 CET",
         utJd(2028, 10, 29, 1, 30), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        type(window, c.day, c.time);
        press(window, c.step);
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), c.shown, 1e-6);
        EXPECT_EQ(field(window), c.field);
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0) != 0, c.said) << placeWords(window);
    }
}

// The field as a user types into it: digits typed after a click go where the cursor is, the
// part they are typed into (the day, the hour, the year) taken anew, at its start, in it or at
// its end; Enter shows that instant.
TEST(SkyWindowClock, DigitsTypedAfterAClickGoWhereTheCursorIs) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(BERLIN);
    window.showClock(ClockChoice::Place);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* when = window.findChild<QDateTimeEdit*>();
    QLineEdit* edit = when->findChild<QLineEdit*>();
    const struct {
        int at; // the character the click lands before, in "2027-02-20 01:14 CET"
        const char* typed;
        const char* field;
        double shown;
    } cases[] = {
        {9, "25", "2027-02-25 01:14 CET", utJd(2027, 2, 25, 0, 14)},
        {12, "23", "2027-02-25 23:14 CET", utJd(2027, 2, 25, 22, 14)},
        {2, "2029", "2029-02-25 23:14 CET", utJd(2029, 2, 25, 22, 14)},
        {16, "05", "2029-02-25 23:05 CET", utJd(2029, 2, 25, 22, 5)},
        {6, "8", "2029-08-25 23:05 CEST", utJd(2029, 8, 25, 21, 5)},
        {8, "12", "2029-08-12 23:05 CEST", utJd(2029, 8, 12, 21, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        // Where the cursor stands before that character, in the field's own coordinates.
        const int was = edit->cursorPosition();
        edit->setCursorPosition(c.at);
        const QPoint spot = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        edit->setCursorPosition(was);
        QTest::mouseClick(edit, Qt::LeftButton, {}, spot);
        ASSERT_EQ(edit->cursorPosition(), c.at);
        EXPECT_FALSE(edit->hasSelectedText());
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(c.typed));
        window.refresh(); // the minute's, which leaves what is being typed alone
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(field(window), c.field);
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), c.shown, 1e-6);
    }
}

// The calendar beside the field picks the night: a day on with the arrow key and Enter, at the
// field's time.
TEST(SkyWindowClock, TheCalendarPicksTheNight) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(BERLIN);
    window.showClock(ClockChoice::Place);
    window.show();
    QApplication::setActiveWindow(&window);
    auto* when = window.findChild<QDateTimeEdit*>();
    ASSERT_TRUE(when->calendarPopup());
    QTest::mouseClick(when, Qt::LeftButton, {}, QPoint(when->width() - 6, when->height() / 2));
    QCalendarWidget* calendar = when->calendarWidget();
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 2, 20));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(field(window), "2027-02-21 01:14 CET");
    ASSERT_TRUE(window.shownInstant());
    EXPECT_NEAR(*window.shownInstant(), utJd(2027, 2, 21, 0, 14), 1e-6);
}

} // namespace
