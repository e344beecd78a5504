// The process entry: the platform settled and the display checked first (Qt would abort the process
// without a word a user can act on), then the Qt application object (the window layer needs it),
// then the program's own start-up.

#include "app/shell.h"
#include "platform/qt/session.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    choosePlatform();
    if (const std::string problem = displayProblem(); !problem.empty()) {
        std::fprintf(stderr, "orvanta: %s; orvanta-state --lines prints what it would show\n",
                     problem.c_str());
        return 1;
    }
    QApplication application(argc, argv);
    // The desktop entry's name: Wayland shows the window with the entry's icon and name by it (on
    // X11 the window class, "orvanta", matches the entry's StartupWMClass).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvanta.Orvanta"));
    // Closing the window only hides it; the program ends through Exit in the tray menu.
    QApplication::setQuitOnLastWindowClosed(false);
    // The show command is not passed on: the first showing is always a plain show.
    return WinMain(currentInstance(), InstanceHandle{}, "", 10);
}
