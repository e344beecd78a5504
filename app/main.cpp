// The process entry: the platform settled and the display checked first (Qt would abort the process
// without a word a user can act on), then the single-instance rule, then the numbers, so that they
// exist before anything can draw them, then the window. OpenGL loads on a thread of its own from
// the single-instance rule on, and the diagram renders its first picture there too.

#include "app/main_window.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "ephemeris/encounter_state.h"
#include "panes/offscreen_gl_target.h"
#include "rules/warning.h"

#include <QApplication>
#include <QScreen>

using namespace orvanta;

int main(int argc, char** argv) {
    choosePlatform(argc, argv);
    if (const std::string problem = displayProblem(); !problem.empty()) {
        warn(problem + "; orvanta-state --lines prints what it would show");
        return 1;
    }
    QApplication application(argc, argv);
    // The desktop entry's name: Wayland shows the window with the entry's icon and name by it (on
    // X11 the window class, "orvanta", matches the entry's StartupWMClass).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanta.Orvanta"));
    // Closing the window only hides it; the program ends through Exit in the tray menu.
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::primaryScreen() == nullptr) {
        warn("the display has no screen to show the window on");
        return 1;
    }

    MainWindow* window = nullptr;
    const SingleInstance instance(SINGLE_INSTANCE_NAME, [&window] {
        if (window != nullptr) {
            window->showAndRaise(); // as a left click on the tray icon does
        }
    });
    if (instance.outcome() == SingleInstance::Outcome::AlreadyRunning) {
        SingleInstance::requestShow(SINGLE_INSTANCE_NAME); // found or not, nothing else happens
        return 0;
    }

    // Only the instance that draws loads OpenGL, while the rest of it starts.
    OffscreenGlTarget::loadInBackground();
    loadCountdownChoice();
    computeEncounterState();

    MainWindow mainWindow(placeInWorkArea(QSize(MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT)));
    window = &mainWindow;
    mainWindow.show(); // the first size places and shows the panes
    const int exitCode = QApplication::exec();
    window = nullptr;
    return exitCode;
}
