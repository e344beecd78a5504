// Run by e2e/fit_test.sh on an X server with a window manager, at the pixel ratio it sets: Mars
// tonight and Approaches open whole on the screen, nothing cut off, beside the main window rather
// than over it, and again where they were left.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

// The window a menu entry opens, once the window manager has framed it.
QWidget* open(MainWindow& main, const QString& entry) {
    for (QAction* action : main.trayMenu()->actions()) {
        if (QString(action->text()).remove(QLatin1Char('&')) == entry) {
            action->trigger();
        }
    }
    QWidget* window = entry.startsWith("Mars") ? main.skyWindow() : main.approachesWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }));
    QTest::qWait(400); // and placed it anew for that frame
    return window;
}

TEST(Fit, TheWindowsOpenBesideTheMainWindowAndWhole) {
    computeEncounterState();
    MainWindow main(placeInWorkArea(QSize(MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT)));
    main.show();
    QTest::qWait(600); // framed, and its outer rectangle kept
    const QRect area = main.screen()->availableGeometry();
    for (const QString entry : {"Mars tonight…", "Approaches…"}) {
        QPointer<QWidget> window = open(main, entry);
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame) && !frame.intersects(main.frameGeometry()))
            << entry.toStdString();
        EXPECT_EQ(area.size().expandedTo(window->minimumSize() + frame.size() - window->size()),
                  area.size());
        EXPECT_FALSE(window->findChild<QScrollArea*>()->horizontalScrollBar()->isVisible());
        if (const QString shots = qEnvironmentVariable("ORVANTA_FIT_SHOTS"); !shots.isEmpty()) {
            QProcess::execute("import", {"-window", "root", shots + "-" + entry.left(4) + ".png"});
        }
        // Moved, closed and opened again: where it was left.
        window->move(area.left() + 20, frame.top());
        QTest::qWait(300);
        const QRect moved = window->frameGeometry();
        window->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
        EXPECT_EQ(open(main, entry)->frameGeometry(), moved);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
