// What a screen reader is given of the window through Qt's accessibility interfaces, and the
// keyboard's way through the window. (What it is told as the seconds pass is read end to end, over
// AT-SPI, where the events really go.)

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

QString textOf(QAccessibleInterface* element) {
    QAccessibleTextInterface* text = element->textInterface();
    return text == nullptr ? QString() : text->text(0, text->characterCount());
}

TEST(Accessibility, TheBoxesAndTheDiagramInWords) {
    setenv("TZ", "UTC", 1);
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    setCountdownChoice({});
    computeEncounterState();
    MainWindow window(QRect(0, 0, 640, 480));
    window.show();
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(top->text(QAccessible::Name), "Orvanta");
    EXPECT_EQ(top->text(QAccessible::Description),
              "A countdown to the closest approach of Mars to Earth on 27 August 2003");

    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(window.infoPane());
    ASSERT_EQ(pane->childCount(), 4);
    const char* expected[4][2] = {
        {"Current Time", "Wed, Aug 27, 2003, 09:52:19 AM"},
        {"Distance to Mars",
         "34,648,025.67 mi., 55,758,007.19 km., 0.372719 au., 3.100 Light Minutes"},
        {"Size & Brightness", "25.11 arcseconds, Magnitude: -2.88"},
        {"Closest Approach", "0 Days, 0 Hours, 0 Minutes"},
    };
    for (int b = 0; b < 4; ++b) {
        QAccessibleInterface* box = pane->child(b);
        EXPECT_EQ(box->role(), QAccessible::StaticText);
        EXPECT_EQ(box->text(QAccessible::Name), expected[b][0]);
        EXPECT_EQ(textOf(box), expected[b][1]);
    }

    QAccessibleInterface* diagram = QAccessible::queryAccessibleInterface(window.diagramPane());
    EXPECT_EQ(diagram->role(), QAccessible::Graphic);
    // At opposition Earth and Mars stand at the same longitude, opposite the Sun's 154 degrees;
    // a minute past the least distance, Mars is moving away again.
    EXPECT_EQ(diagram->text(QAccessible::Description),
              "The orbits of Earth and Mars around the Sun, seen from above, over a photograph of "
              "Mars. Earth is at heliocentric longitude 334 degrees, Mars at 334 degrees. Mars is "
              "receding from Earth, 0.372719 au away.");
}

// Tab and Shift+Tab go through the diagram and the four boxes with a visible focus, which is not
// there until the keyboard is used; Escape hides the window as the close box does.
TEST(Accessibility, TheKeyboardReachesEveryPart) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    MainWindow window(QRect(0, 0, 640, 480));
    window.show();
    const QImage unfocused = window.grab().toImage();
    QApplication::setActiveWindow(&window);
    // The window comes up with the focus on its first part, but no frame shows until a key moves
    // it.
    EXPECT_EQ(QApplication::focusWidget(), window.diagramPane());
    EXPECT_EQ(window.grab().toImage(), unfocused);
    QWidget* order[] = {window.infoPane()->box(0), window.infoPane()->box(1),
                        window.infoPane()->box(2), window.infoPane()->box(3), window.diagramPane()};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected);
        EXPECT_NE(window.grab().toImage(), unfocused) << "the focus is seen";
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), order[3]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
