#include "app/shell.h"
#include "display/diagram_pane.h"
#include "display/info_pane.h"
#include "ephemeris/encounter_state.h"

using namespace orvanta;

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

    // The numbers exist before anything can draw them, counting to what the user last chose.
    setCountdownToNextApproach(loadSetting(NEXT_APPROACH_SETTING, false));
    computeEncounterState();

    if (!registerMainWindowClass(instance)) {
        return 0;
    }
    const Rect area = workArea();
    const int x = area.right - MAIN_WINDOW_WIDTH;
    const int y = area.bottom - MAIN_WINDOW_HEIGHT;
    const WindowHandle window =
        createMainWindow(Rect{x, y, x + MAIN_WINDOW_WIDTH, y + MAIN_WINDOW_HEIGHT});
    if (!window) {
        return 0;
    }

    // The first showing reports the size, and the layout places and shows the panes.
    showWindow(window);
    const int exitCode = runMessageLoop();
    closeInstanceMarker(singleInstanceMutex);
    return exitCode;
}

bool registerMainWindowClass(InstanceHandle instance) {
    return registerWindowClass(WindowClass{MAIN_WINDOW_CLASS, &mainWindowProc, instance, IDI_APP});
}

WindowHandle createMainWindow(Rect outer) {
    const WindowHandle window = createWindow(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE,
                                             WindowStyle::FixedTopLevel, WindowHandle{}, outer);
    if (window) {
        // Hidden at a placeholder size until the main window's layout places them. A pane that
        // cannot be made leaves its handle null, and the layout passes it by.
        diagramPaneWindow = createOrbitDiagramPane(window);
        infoPaneWindow = createInfoPane(window);
    }
    return window;
}
