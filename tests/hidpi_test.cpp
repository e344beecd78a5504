// The window on a screen at a device pixel ratio of 2: the same 640 x 480 layout, the diagram
// rendered at the screen's resolution and the info pane composed at twice its size, so that lines
// stay sharp; moved to a screen at 1, all of it follows.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWindow>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(HiDpi, TheWindowAtTwiceTheResolution) {
    const FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    MainWindow window(QRect(0, 0, 640, 480));
    window.show();
    const QImage picture = window.grab().toImage();
    const OffscreenGlTarget& target = window.diagramPane()->diagramTarget();

    ASSERT_EQ(picture.size(), QSize(1280, 960));
    EXPECT_EQ(window.infoPane()->size(), QSize(200, 480));          // the layout is unchanged
    EXPECT_EQ(QSize(target.width, target.height), QSize(880, 960)); // a pixel for every one

    // The first box's frames (rows 36 and 37 of the 195 x 450 picture, stretched by 480 / 450):
    // a black line that reaches black and a white one two screen pixels thick. A blown-up
    // picture would smear each one-pixel line into grays over two or three rows.
    const int top = 2 * 36 * 480 / 450;
    int darkest = 255, white = 0;
    for (int y = top - 3; y < top + 8; ++y) {
        const int gray = qGray(picture.pixel(880 + 200, y));
        darkest = std::min(darkest, gray);
        white += gray > 225;
    }
    EXPECT_LE(darkest, 10);
    EXPECT_GE(white, 2);

    // The diagram's menu copies it at the screen's resolution, as drawn.
    QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, {100, 100}, {100, 100});
    QApplication::sendEvent(window.diagramPane(), &menuAsked);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
        if (QString(action->text()).remove(QLatin1Char('&')) == QStringLiteral("Copy picture")) {
            action->trigger();
        }
    }
    menu->close();
    EXPECT_EQ(QGuiApplication::clipboard()->image(), picture.copy(0, 0, 880, 960));

    // On a screen at a ratio of 1 the diagram follows, although Qt reports no change of size.
    window.windowHandle()->setScreen(QGuiApplication::screens().at(1));
    window.move(2600, 0);
    EXPECT_EQ(window.grab().toImage().size(), QSize(640, 480));
    EXPECT_EQ(QSize(target.width, target.height), QSize(440, 480));
    // Shown again from the tray, it stays on the screen it was put on.
    window.showAndRaise();
    EXPECT_EQ(window.pos(), QPoint(2600, 0));
}

} // namespace

int main(int argc, char** argv) {
    // Two screens: the first at a device pixel ratio of 2, the second at 1.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" ORVANTA_TWO_SCREENS);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
