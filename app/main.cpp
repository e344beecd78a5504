// The process entry: the Qt application object first (the window layer needs it), then the
// program's own start-up.

#include "app/shell.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {
bool displayAvailable() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs("orvanta: no display to show the widget on (DISPLAY is not set); "
                   "orvanta-state --lines prints what it would show\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    // Closing the window only hides it; the program ends through Exit in the tray menu.
    QApplication::setQuitOnLastWindowClosed(false);
    // The show command is not passed on: the first showing is always a plain show.
    return WinMain(currentInstance(), InstanceHandle{}, "", 10);
}
