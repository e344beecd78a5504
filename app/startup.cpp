#include "app/shell.h"
#include "ephemeris/encounter_state.h"

InstanceHandle appInstance;
std::uint32_t appMessage = 0;
InstanceMarker singleInstanceMutex;
WindowHandle diagramPaneWindow;
WindowHandle infoPaneWindow;

int WinMain(InstanceHandle instance, InstanceHandle, const char*, int) {
    appInstance = instance;
    // Registered before the single-instance test: a second instance needs it for its request.
    appMessage = registerMessage(APP_MESSAGE_NAME);

    bool alreadyRunning = false;
    singleInstanceMutex = createInstanceMarker(SINGLE_INSTANCE_NAME, alreadyRunning);
    if (alreadyRunning) {
        // Shown the way a left click on the tray icon shows it. Nothing else happens here, found
        // or not.
        postToNamedWindow(SINGLE_INSTANCE_NAME, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, appMessage, 0,
                          MOUSE_LEFT_DOWN);
        return 0;
    }

    // The numbers exist before anything can draw them.
    computeEncounterState();

    if (!registerWindowClass(WindowClass{MAIN_WINDOW_CLASS, &mainWindowProc, instance, IDI_APP})) {
        return 0;
    }

    const Rect area = workArea();
    const int x = area.right - MAIN_WINDOW_WIDTH;
    const int y = area.bottom - MAIN_WINDOW_HEIGHT;
    const WindowHandle window =
        createWindow(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WindowStyle::FixedTopLevel,
                     WindowHandle{}, Rect{x, y, x + MAIN_WINDOW_WIDTH, y + MAIN_WINDOW_HEIGHT});
    if (!window) {
        return 0;
    }

    showWindow(window);
    const int exitCode = runMessageLoop();
    closeInstanceMarker(singleInstanceMutex);
    return exitCode;
}
