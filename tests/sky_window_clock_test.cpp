// The "Mars tonight" window's clocks, driven by real clicks and keys where the widgets matter.

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
#include <QKeySequence>
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

std::string placeWords(const SkyWindow& window) {
    return window.findChild<QLabel*>(QStringLiteral("place"))->text().toStdString();
}

std::string field(const SkyWindow& window) {
    return window.findChild<QDateTimeEdit*>()->text().toStdString();
}

QComboBox* clockOf(const SkyWindow& window) {
    return window.findChild<QDateTimeEdit*>()->parentWidget()->findChild<QComboBox*>();
}

std::string caption(const SkyWindow& window, int which, int lines = 2) {
    const QString text = window.disks()->findChildren<QLabel*>().at(which)->text();
    return text.section(QLatin1Char('\n'), 0, lines - 1).toStdString();
}

void press(SkyWindow& window, const char* shown) {
    for (QToolButton* b : window.findChildren<QToolButton*>()) {
        if (b->text() == QString::fromUtf8(shown)) {
            b->click();
        }
    }
}

// A step's key, as its button's tip names it ("An hour later (Alt+Shift+Right)"), pressed in the
// date field, which keeps the focus.
void pressKey(SkyWindow& window, const char* shown) {
    QWidget* field = window.findChild<QDateTimeEdit*>();
    field->setFocus();
    for (QToolButton* b : window.findChildren<QToolButton*>()) {
        if (b->text() == QString::fromUtf8(shown)) {
            const QString key = b->toolTip().section('(', -1).chopped(1);
            QTest::keySequence(field, QKeySequence::fromString(key, QKeySequence::NativeText));
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), field);
}

QDateTime iso(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
}

double ut(const char* text) {
    const QDateTime t = iso(text);
    return julianDateValue(julianDateFromCalendar(t.date().year(), t.date().month(), t.date().day(),
                                                  t.time().hour() + t.time().minute() / 60.0));
}

// As the user types into the date field and presses Enter.
void type(SkyWindow& window, const char* typed) {
    const QDateTime t = iso(typed);
    window.findChild<QDateTimeEdit*>()->setDateTime(QDateTime(t.date(), t.time(), Qt::UTC));
}

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

// A kept value that is none of the three (case matters) is refused aloud, not guessed at.
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

// Observers compare CM with UT-based charts, so UT is given whatever the clock.
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

// The rule itself is wall_clock_test's; this shows only that the window uses it.
TEST(SkyWindowClock, ATimeInAGapOrAnOverlapIsSaid) {
    const OwnSettings settings("");
    const ScopedEnvironment zone("TZ", "Europe/Berlin");
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    const Place pittsburgh{40.4406, -79.9959, 0}, sydney{-33.87, 151.21, 0};
    const struct {
        Place place;
        ClockChoice clock;
        const char* typed; // on the clock shown
        const char* shown; // UT
        const char* said;
    } cases[] = {
        {BERLIN, ClockChoice::Place, "2028-10-29T02:30", "2028-10-29T00:30",
         "02:30 comes twice on 29 October in Berlin: shown for the first, 02:30 CEST; the "
         "second, 02:30 CET, is 1 h later. Seen from"},
        // Pittsburgh keeps New York's clock: the town is named, not the zone.
        {pittsburgh, ClockChoice::Place, "2029-03-11T02:30", "2029-03-11T07:30",
         "02:30 does not exist on 11 March in Pittsburgh: shown for 03:30 EDT. Seen from"},
        {sydney, ClockChoice::Computer, "2028-03-26T02:30", "2028-03-26T01:30",
         "02:30 does not exist on 26 March on this computer's clock: shown for 03:30 CEST."},
        {BERLIN, ClockChoice::Ut, "2028-03-26T02:30", "2028-03-26T02:30", "Seen from"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        SkyWindow window(c.place);
        window.showClock(c.clock);
        type(window, c.typed);
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), ut(c.shown), 1e-6);
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u) << placeWords(window);
        EXPECT_EQ(window.findChild<QDateTimeEdit*>()->accessibleDescription().isEmpty(),
                  std::string(c.said) == "Seen from");
        window.refresh(); // the minute's must not clear it
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u);
        if (c.clock == ClockChoice::Place) { // the night of the typed time, not a day
            EXPECT_EQ(window.facts().toStdString().find("daylit"), std::string::npos);
        }
        // The words belong to that instant on that clock.
        window.showClock(c.clock == ClockChoice::Ut ? ClockChoice::Place : ClockChoice::Ut);
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0), 0u) << placeWords(window);
        window.showClock(c.clock);
        EXPECT_EQ(placeWords(window).rfind(c.said, 0), 0u);
        press(window, "+1 h");
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0), 0u) << placeWords(window);
    }
}

// One press of each step's key across a change (the buttons' clicks are sky_window_input_test's);
// the arithmetic is wall_clock_test's.
TEST(SkyWindowClock, StepsAcrossAChangeOfClocks) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(BERLIN);
    window.showClock(ClockChoice::Place);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const struct {
        const char* typed;
        const char* step;
        const char* field;
        const char* shown; // UT
        bool said;
    } cases[] = {
        {"2028-03-25T02:30", "+1 day", "2028-03-26 03:30 CEST", "2028-03-26T01:30", true},
        {"2028-03-26T12:00", "\u22121 day", "2028-03-25 12:00 CET", "2028-03-25T11:00", false},
        {"2028-10-29T02:30", "+1 h", "2028-10-29 02:30 CET", "2028-10-29T01:30", false},
        {"2028-03-26T03:30", "\u22121 h", "2028-03-26 01:30 CET", "2028-03-26T00:30", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        type(window, c.typed);
        pressKey(window, c.step);
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), ut(c.shown), 1e-6);
        EXPECT_EQ(field(window), c.field);
        EXPECT_EQ(placeWords(window).rfind("Seen from", 0) != 0, c.said) << placeWords(window);
    }
    pressKey(window, "Now");
    EXPECT_FALSE(window.shownInstant());
}

// Real clicks and keys: a section typed into at its start, middle or end is taken anew.
TEST(SkyWindowClock, DigitsTypedAfterAClickAndTheCalendar) {
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
        const char* shown; // UT
    } cases[] = {
        {9, "25", "2027-02-25 01:14 CET", "2027-02-25T00:14"},
        {12, "23", "2027-02-25 23:14 CET", "2027-02-25T22:14"},
        {2, "2029", "2029-02-25 23:14 CET", "2029-02-25T22:14"},
        {16, "05", "2029-02-25 23:05 CET", "2029-02-25T22:05"},
        {6, "8", "2029-08-25 23:05 CEST", "2029-08-25T21:05"},
        {8, "12", "2029-08-12 23:05 CEST", "2029-08-12T21:05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
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
        EXPECT_NEAR(*window.shownInstant(), ut(c.shown), 1e-6);
    }
    // The calendar popup keeps the field's time when only the day is picked.
    ASSERT_TRUE(when->calendarPopup());
    QTest::mouseClick(when, Qt::LeftButton, {}, QPoint(when->width() - 6, when->height() / 2));
    QCalendarWidget* calendar = when->calendarWidget();
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2029, 8, 12));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(field(window), "2029-08-13 23:05 CEST");
    ASSERT_TRUE(window.shownInstant());
    EXPECT_NEAR(*window.shownInstant(), ut("2029-08-13T21:05"), 1e-6);
}

} // namespace
