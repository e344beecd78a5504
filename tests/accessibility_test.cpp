// What a screen reader is given of the window through Qt's accessibility interfaces, and the
// keyboard's way through the window. (The window's name and aim, the boxes' texts and what they
// are told as the seconds pass are read end to end, over AT-SPI, where the events really go.)

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

// Tab and Shift+Tab go through the diagram and the four boxes with a visible focus, which is not
// there until the keyboard is used; Escape hides the window as the close box does.
TEST(Accessibility, TheKeyboardReachesEveryPartAndTheDiagramIsInWords) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    MainWindow window(QRect(0, 0, 640, 480));
    window.show();
    // At opposition Earth and Mars stand at the same longitude, opposite the Sun's 154 degrees;
    // a minute past the least distance, Mars is moving away again.
    EXPECT_EQ(
        QAccessible::queryAccessibleInterface(window.diagramPane())->text(QAccessible::Description),
        "The orbits of Earth and Mars around the Sun, seen from above, over a photograph of "
        "Mars. Earth is at heliocentric longitude 334 degrees, Mars at 334 degrees. Mars is "
        "receding from Earth, 0.372719 au away.");

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
        EXPECT_EQ(QAccessible::queryAccessibleInterface(expected)->role(),
                  expected == order[4] ? QAccessible::Graphic : QAccessible::StaticText);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), order[3]);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
