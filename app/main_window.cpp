#include "app/shell.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"

#include <array>
#include <cstdio>

using namespace orvanta;

namespace {

TrayIcon trayIconData{};
// Started at login, the program may come before the panel: it tries again for a while before it
// gives up on a tray icon. Without one a hidden window could never be reached again, so closing
// then ends the program; while it still waits, closing hides as usual.
enum class Tray { Shown, Waiting, Absent };
Tray tray = Tray::Absent;
int trayAttempts = 0;
// While counting to the next approach the tip names its date; 64 bytes, as the tip field holds.
char trayTip[64];
double tippedTarget = 0.0;

// The tray menu and the About box are kept here as data, in place of menu and dialog resources.
std::array<MenuItem, 4> trayMenu() {
    return {{
        {ID_TRAY_ABOUT, "About"},
        {ID_TRAY_NEXT_APPROACH, "Count down to the next approach",
         countdownToNextApproach() ? MenuCheck::Checked : MenuCheck::Unchecked},
        {0, nullptr},
        {ID_TRAY_EXIT, "Exit"},
    }};
}

constexpr std::array<DialogControl, 7> ABOUT_CONTROLS = {{
    {ControlKind::DefaultButton, static_cast<int>(COMMAND_OK), 72, 60, 50, 14, "OK", 0},
    {ControlKind::Text, -1, 33, 9, 69, 8, "Orvanta 2003", 0},
    {ControlKind::Text, -1, 33, 18, 36, 8, "Version 1.0", 0},
    {ControlKind::Text, -1, 33, 36, 148, 8, "Free software, without warranty", 0},
    {ControlKind::Icon, -1, 7, 7, 20, 20, nullptr, IDI_APP},
    {ControlKind::Text, -1, 33, 27, 104, 8, "By the Orvanta developers", 0},
    {ControlKind::Text, -1, 33, 45, 66, 8, "No web site", 0},
}};

constexpr DialogTemplate ABOUT_TEMPLATE{"Orvanta Countdown", 193, 81, 8, ABOUT_CONTROLS};

// "Quellmark Orvanta 2003", or with the date (UTC) of the next approach counted to.
const char* trayTipText() {
    tippedTarget = countdownTargetJd();
    if (!countdownToNextApproach()) {
        return TRAY_TIP;
    }
    const UtcClockReading day = calendarOfJulianDate(tippedTarget);
    std::snprintf(trayTip, sizeof trayTip, "Quellmark Orvanta %04d-%02d-%02d", int{day.year},
                  int{day.month}, int{day.day});
    return trayTip;
}

void refreshTrayTip() {
    trayIconData.tip = trayTipText();
    modifyTrayIcon(trayIconData);
}

void toggleNextApproach() {
    setCountdownToNextApproach(!countdownToNextApproach());
    saveSetting(NEXT_APPROACH_SETTING, countdownToNextApproach());
    computeEncounterState();
    invalidateWindow(infoPaneWindow);
    refreshTrayTip();
}

void retryTrayIcon(WindowHandle window) {
    if (addTrayIcon(trayIconData)) {
        tray = Tray::Shown;
    } else if (++trayAttempts >= TRAY_ATTEMPTS) {
        tray = Tray::Absent;
        showWindow(window); // hidden while waiting, it would now be out of reach
    } else {
        return;
    }
    killTimer(window, TIMER_TRAY_RETRY);
}

MessageResult onTrayMessage(WindowHandle window, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (lParam) {
    case MOUSE_LEFT_DOWN:
    case MOUSE_LEFT_DOUBLE_CLICK:
        showWindow(window);
        bringToForeground(window);
        return 0;
    case MOUSE_RIGHT_DOWN: {
        const MenuHandle menu = createPopupMenu(trayMenu());
        const Point cursor = cursorPosition();
        const std::uint32_t command = trackPopupMenu(menu, cursor);
        destroyMenu(menu);
        if (command == 0) {
            return 0;
        }
        if (command == ID_TRAY_EXIT) {
            destroyWindow(window);
        } else if (command == ID_TRAY_ABOUT) {
            showAboutBox(window);
        } else if (command == ID_TRAY_NEXT_APPROACH) {
            toggleNextApproach();
        }
        return defaultWindowProc(window, appMessage, wParam, lParam);
    }
    default:
        return defaultWindowProc(window, appMessage, wParam, lParam);
    }
}

} // namespace

MessageResult mainWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    if (message == appMessage) {
        return onTrayMessage(window, wParam, lParam);
    }
    switch (message) {
    case MSG_CREATE:
        trayIconData = TrayIcon{window, TRAY_ICON_ID, appMessage, IDI_APP, trayTipText()};
        tray = addTrayIcon(trayIconData) ? Tray::Shown : Tray::Waiting;
        if (tray == Tray::Waiting) {
            trayAttempts = 1;
            setTimer(window, TIMER_TRAY_RETRY, TIMER_TRAY_RETRY_PERIOD_MS);
        }
        setTimer(window, TIMER_SECOND, TIMER_SECOND_PERIOD_MS);
        setTimer(window, TIMER_QUARTER_HOUR, TIMER_QUARTER_HOUR_PERIOD_MS);
        return 0;
    case MSG_DESTROY:
        removeTrayIcon(trayIconData.owner, trayIconData.id);
        tray = Tray::Absent; // a retry still running ends with the window
        killTimer(window, TIMER_SECOND);
        killTimer(window, TIMER_QUARTER_HOUR);
        postQuit(0);
        return 0;
    case MSG_SIZE: {
        const int width = lowWord(lParam);
        const int height = highWord(lParam);
        // Not clamped: below 440 the info pane gets a negative width and so no visible area.
        moveWindow(diagramPaneWindow, 0, 0, DIAGRAM_PANE_WIDTH, height, true);
        moveWindow(infoPaneWindow, DIAGRAM_PANE_WIDTH, 0, width - DIAGRAM_PANE_WIDTH, height, true);
        showWindow(diagramPaneWindow);
        showWindow(infoPaneWindow);
        return 0;
    }
    case MSG_CLOSE:
        if (tray == Tray::Absent) {
            destroyWindow(window);
        } else {
            hideWindow(window);
        }
        return 0;
    case MSG_TIMER:
        if (wParam == TIMER_TRAY_RETRY) {
            retryTrayIcon(window);
            return 0;
        }
        computeEncounterState();
        invalidateWindow(infoPaneWindow);
        if (countdownTargetJd() != tippedTarget) { // the approach counted to has moved on
            refreshTrayTip();
        }
        return 0;
    default:
        return defaultWindowProc(window, message, wParam, lParam);
    }
}

void showAboutBox(WindowHandle owner) {
    runModalDialog(ABOUT_TEMPLATE, owner, &aboutDialogProc);
}

bool aboutDialogProc(DialogHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t) {
    // Only OK closes the box; Cancel (Escape, the close box) is left unhandled on purpose.
    if (message == MSG_COMMAND && wParam == COMMAND_OK) {
        endDialog(dialog, 0);
        return true;
    }
    return false;
}
