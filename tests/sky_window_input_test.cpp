// The "Mars tonight" window taking what the user gives it: the date typed and stepped, and the
// keyboard through every part.

#include "app/mars_disk_panel.h"
#include "app/sky_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/faces_strip.h"
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
#include <QListWidget>
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

// The date field takes the years the tools take, on their calendar: a time before the first is
// refused and said, never moved to 1752; a clock before its zone's first rule is said to be local
// mean time; the last day's late hours stay as typed.
TEST(SkyWindow, TheDateFieldTakesTheYearsTheToolsTake) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow berlin(Place{52.52, 13.405, 34});
    auto* when = berlin.findChild<QDateTimeEdit*>();
    auto* label = berlin.findChild<QLabel*>(QStringLiteral("place"));
    EXPECT_EQ(when->minimumDate(), QDate(100, 1, 1));
    const auto type = [&](QDate day, QTime time) {
        when->setDateTime(QDateTime(day, time, Qt::UTC));
    };
    // Berlin's local mean time ran 53 min 28 s ahead: 00:30 on the first day is still year 99.
    type(QDate(100, 1, 1), QTime(0, 30));
    EXPECT_FALSE(berlin.shownInstant());
    EXPECT_TRUE(label->text().startsWith(
        QStringLiteral("Not taken: 0099-12-31T23:37 UT lies outside the years 0100 to 9999.")))
        << label->text().toStdString();
    type(QDate(100, 1, 2), QTime(0, 30));
    ASSERT_TRUE(berlin.shownInstant());
    EXPECT_EQ(when->text().toStdString(), "0100-01-02 00:30 LMT");
    EXPECT_TRUE(label->text().endsWith(QStringLiteral(
        "The zone's rules begin 1893-04-01: before, its times are local mean time (LMT).")))
        << label->text().toStdString();
    for (QToolButton* b : berlin.findChildren<QToolButton*>()) {
        if (b->text() == QStringLiteral("\u22121 day")) {
            b->click();
        }
    }
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("Not taken: 0099-12-31T23:37 UT")));
    EXPECT_EQ(when->text().toStdString(), "0100-01-02 00:30 LMT"); // the last good one stays
    SkyWindow sydney(Place{-33.87, 151.21, 0});
    auto* field = sydney.findChild<QDateTimeEdit*>();
    field->setDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 30), Qt::UTC));
    EXPECT_EQ(field->text().toStdString(), "9999-12-31 23:30 AEDT");
}

// Another night is the one a window opened at that instant shows, word for word, whichever way
// it was reached; the pinned clock stays, the minute's refresh keeps the chosen instant, and "Now"
// goes back to the clock's.
TEST(SkyWindow, ShowsAnyInstantAsAWindowOpenedThen) {
    const UtcClockReading pinnedAt{2027, 2, 20, 0, 14, 0};
    PinnedAt pinned(pinnedAt);
    const Place berlin{52.52, 13.405, 34};
    SkyWindow window(berlin);
    const std::string tonight = window.facts().toStdString();
    auto* when = window.findChild<QDateTimeEdit*>();
    const auto press = [&](const char* shown) {
        for (QToolButton* b : window.findChildren<QToolButton*>()) {
            if (b->text() == QString::fromUtf8(shown)) {
                b->click();
            }
        }
    };
    const struct {
        const char* step; // a button, or nullptr for the date field typed
        UtcClockReading shown;
        const char* field;
    } cases[] = {{"+1 h", {2027, 2, 20, 1, 14, 0}, "2027-02-20 02:14 CET"},
                 {"+1 day", {2027, 2, 21, 0, 14, 0}, "2027-02-21 01:14 CET"},
                 {"\u22121 h", {2027, 2, 19, 23, 14, 0}, "2027-02-20 00:14 CET"},
                 {"\u22121 day", {2027, 2, 19, 0, 14, 0}, "2027-02-19 01:14 CET"},
                 {nullptr, {2027, 8, 1, 21, 30, 0}, "2027-08-01 23:30 CEST"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        press("Now");
        if (c.step) {
            press(c.step);
        } else {
            when->setDateTime(QDateTime(QDate(2027, 8, 1), QTime(23, 30), Qt::UTC));
        }
        const double shown = julianDateValue(julianDateOfReading(c.shown));
        ASSERT_TRUE(window.shownInstant());
        EXPECT_NEAR(*window.shownInstant(), shown, 1e-6);
        EXPECT_EQ(when->text().toStdString(), c.field);
        const std::string facts = window.facts().toStdString();
        EXPECT_NE(facts, tonight);
        window.refresh(); // the minute's
        EXPECT_EQ(window.facts().toStdString(), facts);
        {
            pinned.clock.set(c.shown);
            computeEncounterState();
            const SkyWindow then(berlin);
            EXPECT_EQ(then.facts().toStdString(), facts);
            pinned.clock.set(pinnedAt);
            computeEncounterState();
        }
    }
    press("Now");
    EXPECT_FALSE(window.shownInstant());
    EXPECT_EQ(window.facts().toStdString(), tonight);
}

// Tab goes from the place through the date, its clock, its steps and "Now", the dome, the words,
// the disks and their orientation, each named for a screen reader; a painted part shows it has
// the focus.
TEST(SkyWindow, TheKeyboardReachesEveryPart) {
    const PinnedAt pinned({2027, 2, 20, 0, 14, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    window.show();
    QApplication::setActiveWindow(&window);
    auto* when = window.findChild<QDateTimeEdit*>();
    std::vector<QWidget*> order = {window.findChild<QLineEdit*>(QStringLiteral("placeField")), when,
                                   when->parentWidget()->findChild<QComboBox*>()};
    order.reserve(14);
    QWidget* dome = window.childAt(20, 20);
    // The steps beside the dome, not the calendar's own buttons.
    for (QToolButton* b : window.findChildren<QToolButton*>()) {
        if (b->parentWidget() == dome->parentWidget()) {
            order.push_back(b);
        }
    }
    order.insert(order.end(), {dome, window.findChild<QLabel*>(QStringLiteral("facts")),
                               window.disks()->faceList(), window.disks()->view(0),
                               window.disks()->view(1), window.disks()->orientation()});
    ASSERT_EQ(order.size(), 14u);
    std::vector<QImage> unfocused;
    unfocused.reserve(order.size());
    for (QWidget* part : order) {
        unfocused.push_back(part->grab().toImage());
    }
    order[0]->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> reached = {QApplication::focusWidget()};
    // The date field's Tab first walks its own fields, the year to the minute.
    for (int i = 0; i < 30 && reached.size() < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() != reached.back()) {
            reached.push_back(QApplication::focusWidget());
        }
    }
    EXPECT_EQ(reached, order);
    for (std::size_t i = 0; i < order.size(); ++i) {
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(order[i]);
        EXPECT_FALSE(told->text(QAccessible::Name).isEmpty()) << i;
    }
    for (QWidget* painted : {dome, static_cast<QWidget*>(window.disks()->view(1))}) {
        const std::size_t i = std::find(order.begin(), order.end(), painted) - order.begin();
        order[i - 1]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(painted->grab().toImage(), unfocused[i]) << i;
    }
}

} // namespace

// A crossing of the central meridian, clicked in the list or on the strip, is the instant the
// window then shows, its field on the place's clock; the list is what a screen reader reads.
TEST(SkyWindow, AFaceClickedIsShown) {
    PinnedAt pinned(UtcClockReading{2027, 2, 20, 0, 14, 0});
    SkyWindow window(Place{52.52, 13.405, 34});
    window.show();
    QListWidget* list = window.disks()->faceList();
    FacesStrip* strip = window.disks()->faces();
    const std::vector<FaceCrossing> crossings = strip->scene().crossings;
    ASSERT_GE(crossings.size(), 6u);
    ASSERT_EQ(list->count(), static_cast<int>(crossings.size()));
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(list);
    EXPECT_EQ(read->child(2)->text(QAccessible::Name), list->item(2)->text());
    EXPECT_TRUE(strip->accessibleDescription().contains(list->item(2)->text()));
    auto* when = window.findChild<QDateTimeEdit*>();
    const struct {
        bool onTheStrip;
        std::size_t crossing;
    } clicks[] = {{false, 2}, {true, crossings.size() - 1}, {false, 0}};
    for (const auto& click : clicks) {
        const FaceCrossing& c = crossings[click.crossing];
        SCOPED_TRACE(c.feature->name);
        if (click.onTheStrip) {
            QTest::mouseClick(strip, Qt::LeftButton, {},
                              QPoint(static_cast<int>(std::lround(strip->xOf(c.utJd))), 40));
        } else {
            list->scrollToItem(list->item(static_cast<int>(click.crossing)));
            QTest::mouseClick(
                list->viewport(), Qt::LeftButton, {},
                list->visualItemRect(list->item(static_cast<int>(click.crossing))).center());
        }
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.shownInstant());
        EXPECT_DOUBLE_EQ(*window.shownInstant(), c.utJd);
        EXPECT_EQ(when->dateTime().toString(QStringLiteral("HH:mm")),
                  zonedMinuteText(c.utJd, window.zone(), false));
    }
}
