// The window on a screen at a device pixel ratio of 2: the same 640 x 480 layout, the diagram
// rendered at the screen's resolution and the info pane composed at twice its size, so that lines
// stay sharp; moved to a screen at 1, all of it follows.

#include "app/shell.h"
#include "display/diagram_pane.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "platform/qt/registry.h"
#include "tests/support.h"

#include <QGuiApplication>
#include <QImage>
#include <QWindow>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(HiDpi, TheWindowAtTwiceTheResolution) {
    const FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    appInstance = currentInstance();
    computeEncounterState();
    ASSERT_TRUE(registerMainWindowClass(appInstance));
    const WindowHandle window = createMainWindow(Rect{0, 0, 640, 480});
    showWindow(window);
    const QImage picture = windowPicture(window);

    ASSERT_EQ(picture.size(), QSize(1280, 960));
    EXPECT_EQ(clientRect(infoPaneWindow), (Rect{0, 0, 200, 480})); // the layout is unchanged
    EXPECT_EQ(diagramTarget.width, 880); // while the diagram has a pixel for every screen pixel
    EXPECT_EQ(diagramTarget.height, 960);

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

    // On a screen at a ratio of 1 the diagram follows, although Qt reports no change of size.
    QWidget* widget = qtlayer::liveWindow(window);
    widget->windowHandle()->setScreen(QGuiApplication::screens().at(1));
    widget->move(2600, 0);
    EXPECT_EQ(windowPicture(window).size(), QSize(640, 480));
    EXPECT_EQ(diagramTarget.width, 440);
    EXPECT_EQ(diagramTarget.height, 480);
    destroyWindow(window);
}

} // namespace
