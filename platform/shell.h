#pragma once

// The shell room of the layer: the notification-area (tray) icon, a popup menu and modal dialogs.

#include "platform/window.h"

#include <cstdint>
#include <span>

// What happened over the tray icon, as the lParam of its callback message.
constexpr std::intptr_t MOUSE_LEFT_DOWN = 513;
constexpr std::intptr_t MOUSE_LEFT_DOUBLE_CLICK = 515;
constexpr std::intptr_t MOUSE_RIGHT_DOWN = 516;

// Dialog commands.
constexpr std::uintptr_t COMMAND_OK = 1;
constexpr std::uintptr_t COMMAND_CANCEL = 2;

struct TrayIcon {
    WindowHandle owner;
    std::uint32_t id;
    std::uint32_t callbackMessage; // posted to the owner: wParam the id, lParam MOUSE_*
    int iconId;
    const char* tip;
};

// False where there is no notification area or the icon cannot be added.
bool addTrayIcon(const TrayIcon& icon);
// A new tip for the icon of that owner and id; false when there is no such icon.
bool modifyTrayIcon(const TrayIcon& icon);
void removeTrayIcon(WindowHandle owner, std::uint32_t id);

Point cursorPosition();

enum class MenuCheck { None, Unchecked, Checked };
struct MenuItem {
    std::uint32_t command; // 0: a separator
    const char* text;
    MenuCheck check = MenuCheck::None; // a check box before the text, ticked or not
};
struct MenuHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
};
MenuHandle createPopupMenu(std::span<const MenuItem> items);
// Shows the menu with its top-left corner at `at`; returns the chosen command, or 0 when dismissed
// or when there is no menu.
std::uint32_t trackPopupMenu(MenuHandle menu, Point at);
void destroyMenu(MenuHandle menu);

// A dialog laid out in dialog units (a quarter of the average character width horizontally, an
// eighth of the character height vertically, of its font).
enum class ControlKind { DefaultButton, Text, Icon };
struct DialogControl {
    ControlKind kind;
    int id;
    int x, y, width, height;
    const char* text; // the button's or the text's; none for an icon
    int iconId;       // the icon's resource number; 0 for the others
};
struct DialogTemplate {
    const char* caption;
    int width, height;
    int fontPoints;
    std::span<const DialogControl> controls;
};
using DialogHandle = WindowHandle;
using DialogProc = bool (*)(DialogHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam);
// Shows the dialog centred in the work area and runs its own loop until endDialog or until its
// owner is destroyed (result 0); the owner takes no input meanwhile, but posted messages and timers
// keep being handled. Controls report MSG_COMMAND with their identifier; Escape and the close box
// report COMMAND_CANCEL. Returns the result, or -1 if the dialog cannot be shown.
int runModalDialog(const DialogTemplate& dialog, WindowHandle owner, DialogProc procedure);
void endDialog(DialogHandle dialog, int result);
