// The program's windows on a small screen (run by e2e/fit_test.sh on a real X server with a window
// manager, at the pixel ratio it sets): Mars tonight and Approaches open on the screen, whole, with
// nothing cut off, beside the main window rather than over it, and again where they were left.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

std::string text(const QRect& r) {
    return QStringLiteral("%1x%2+%3+%4")
        .arg(r.width())
        .arg(r.height())
        .arg(r.x())
        .arg(r.y())
        .toStdString();
}

QWidget* open(MainWindow& main, const QString& entry) {
    for (QAction* action : main.trayMenu()->actions()) {
        if (action->text() == entry) {
            action->trigger();
        }
    }
    QWidget* window = entry.startsWith("Mars") ? main.skyWindow() : main.approachesWindow();
    // Decorated: the frame the window manager gave it is known.
    EXPECT_TRUE(window != nullptr && QTest::qWaitForWindowExposed(window) &&
                QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }));
    QTest::qWait(300); // the window manager's last move
    return window;
}

TEST(Fit, TheWindowsOpenBesideTheMainWindowAndWhole) {
    computeEncounterState();
    MainWindow main(placeInWorkArea(QSize(MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT)));
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QTest::qWait(600); // its frame, and its outer rectangle kept
    const QRect area = main.screen()->availableGeometry();
    std::vector<QWidget*> windows;
    for (const QString entry : {"Mars tonight…", "Approaches…"}) {
        QWidget* window = open(main, entry);
        ASSERT_NE(window, nullptr);
        windows.push_back(window);
        const QRect frame = window->frameGeometry();
        const QSize decoration = frame.size() - window->size();
        EXPECT_TRUE(area.contains(frame))
            << entry.toStdString() << text(frame) << " on " << text(area);
        EXPECT_TRUE(area.size().expandedTo(window->minimumSize() + decoration) == area.size());
        EXPECT_FALSE(frame.intersects(main.frameGeometry())) << entry.toStdString();
        const auto* content = window->findChild<QScrollArea*>();
        ASSERT_NE(content, nullptr);
        EXPECT_FALSE(content->horizontalScrollBar()->isVisible()) << entry.toStdString();
        if (const QString shot = qEnvironmentVariable("ORVANTA_FIT_SHOTS"); !shot.isEmpty()) {
            QProcess::execute(
                "import",
                {"-window", "root", shot + (windows.size() == 1 ? "-sky.png" : "-approaches.png")});
        }
    }
    // Moved, closed and opened again: where it was left.
    for (QWidget* window : windows) {
        const QString entry = window->windowTitle() + QStringLiteral("…");
        window->move(area.left() + 20, window->frameGeometry().top());
        QTest::qWait(300);
        const QRect moved = window->frameGeometry();
        window->close();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return (entry.startsWith("Mars") ? main.skyWindow() : main.approachesWindow()) ==
                   nullptr;
        }));
        EXPECT_EQ(text(open(main, entry)->frameGeometry()), text(moved)) << entry.toStdString();
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
