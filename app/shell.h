#pragma once

#include "display/program.h"
#include "platform/platform.h"

#include <cstdint>

// Names and numbers the running program is found and driven by.
constexpr const char* MAIN_WINDOW_CLASS = "Orvanta 2003";
constexpr const char* MAIN_WINDOW_TITLE = "Orvanta 2003";
constexpr const char* APP_MESSAGE_NAME = "Orvanta Message";
constexpr const char* SINGLE_INSTANCE_NAME = "Orvanta Single Instance Mutex";
constexpr int MAIN_WINDOW_WIDTH = 640;
constexpr int MAIN_WINDOW_HEIGHT = 480;
constexpr int DIAGRAM_PANE_WIDTH = 440;

constexpr std::uint32_t TIMER_SECOND = 101;
constexpr std::uint32_t TIMER_QUARTER_HOUR = 102;
constexpr std::uint32_t TIMER_SECOND_PERIOD_MS = 1000;
constexpr std::uint32_t TIMER_QUARTER_HOUR_PERIOD_MS = 900000;
// While no notification area is there yet: another try every 2 s, 30 tries in all.
constexpr std::uint32_t TIMER_TRAY_RETRY = 103;
constexpr std::uint32_t TIMER_TRAY_RETRY_PERIOD_MS = 2000;
constexpr int TRAY_ATTEMPTS = 30;

constexpr std::uint32_t TRAY_ICON_ID = 42;
constexpr const char* TRAY_TIP = "Quellmark Orvanta 2003";

constexpr int IDI_APP = 104;
constexpr std::uint32_t ID_TRAY_EXIT = 40003;
constexpr std::uint32_t ID_TRAY_ABOUT = 40004;
// The user's choice to count down to the next closest approach instead of 2003's.
constexpr std::uint32_t ID_TRAY_NEXT_APPROACH = 40005;
constexpr const char* NEXT_APPROACH_SETTING = "countdown/nextApproach";

// Process-wide values of the shell, set by WinMain (and appInstance, which the panes read too).
extern std::uint32_t appMessage;
extern InstanceMarker singleInstanceMutex;
extern WindowHandle diagramPaneWindow;
extern WindowHandle infoPaneWindow;

// The program's entry: the command line and show command are ignored. Returns the exit code.
int WinMain(InstanceHandle instance, InstanceHandle previousInstance, const char* commandLine,
            int showCommand);

// The main window's class, for the program and for tools that draw the window without showing it.
bool registerMainWindowClass(InstanceHandle instance);
// The main window at `outer` (frame included), hidden, with its two panes created inside it (the
// diagram first); their handles become diagramPaneWindow and infoPaneWindow. Null when the window
// cannot be created.
WindowHandle createMainWindow(Rect outer);

MessageResult mainWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam);

void showAboutBox(WindowHandle owner);
bool aboutDialogProc(DialogHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam);
