#pragma once

// The small window layer the program is written against: windows driven by a procedure that
// receives message numbers, timers by identifier, the tray icon, a popup menu, a modal dialog and
// the single-instance marker. Two implementations exist, chosen at link time: platform/qt (the real
// one) and platform/fake (a recorder for unit tests).

#include <cstddef>
#include <cstdint>
#include <span>

// Message numbers and values the program's behaviour is defined by.
constexpr std::uint32_t MSG_CREATE = 1;
constexpr std::uint32_t MSG_DESTROY = 2;
constexpr std::uint32_t MSG_SIZE = 5;
constexpr std::uint32_t MSG_PAINT = 15;
constexpr std::uint32_t MSG_CLOSE = 16;
constexpr std::uint32_t MSG_INIT_DIALOG = 272;
constexpr std::uint32_t MSG_COMMAND = 273;
constexpr std::uint32_t MSG_TIMER = 275;

// What happened over the tray icon, as the lParam of its callback message.
constexpr std::intptr_t MOUSE_LEFT_DOWN = 513;
constexpr std::intptr_t MOUSE_LEFT_DOUBLE_CLICK = 515;
constexpr std::intptr_t MOUSE_RIGHT_DOWN = 516;

// Dialog commands.
constexpr std::uintptr_t COMMAND_OK = 1;
constexpr std::uintptr_t COMMAND_CANCEL = 2;

// A window, alive or not. Handles are never reused, so a call on a destroyed window does nothing.
struct WindowHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(WindowHandle, WindowHandle) = default;
};

// The running program, for registering classes and loading its embedded resources.
struct InstanceHandle {
    const void* module = nullptr;
    explicit operator bool() const { return module != nullptr; }
    friend bool operator==(InstanceHandle, InstanceHandle) = default;
};

using MessageResult = std::intptr_t;
using WindowProc = MessageResult (*)(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

struct Rect {
    int left, top, right, bottom; // right and bottom exclusive
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x, y;
    friend bool operator==(const Point&, const Point&) = default;
};

inline std::intptr_t sizeParam(int width, int height) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(height) & 0xFFFF) << 16 |
                                      (static_cast<std::uint32_t>(width) & 0xFFFF));
}
inline int lowWord(std::intptr_t value) {
    return static_cast<int>(value & 0xFFFF);
}
inline int highWord(std::intptr_t value) {
    return static_cast<int>((value >> 16) & 0xFFFF);
}

// ---- the program -----------------------------------------------------------------------------

InstanceHandle currentInstance();

// A process-wide message number for a name: the same name gives the same number in every process
// of the program, in the range 0xC000-0xFFFF.
std::uint32_t registerMessage(const char* name);

// ---- windows ---------------------------------------------------------------------------------

enum class WindowStyle {
    FixedTopLevel, // caption with a close box and system menu, no minimise, maximise or sizing
    Child,         // borderless, inside its parent
};

struct WindowClass {
    const char* name;
    WindowProc procedure;
    InstanceHandle instance;
    int iconId; // 0: none
};

bool registerWindowClass(const WindowClass& windowClass);

// Creates a hidden window; for a top-level window the rectangle is the outer one, frame included.
// MSG_CREATE reaches the procedure before this returns. Null on failure.
WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect, InstanceHandle instance);
void destroyWindow(WindowHandle window);
void moveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint);
void showWindow(WindowHandle window);
void hideWindow(WindowHandle window);
void bringToForeground(WindowHandle window);
void invalidateWindow(WindowHandle window); // repaint later, without erasing

MessageResult sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);
bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
MessageResult defaultWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// MSG_TIMER with the identifier as wParam, every period, until killed or the window is destroyed.
void setTimer(WindowHandle window, std::uint32_t id, std::uint32_t periodMs);
void killTimer(WindowHandle window, std::uint32_t id);

// The primary display's desktop less panels and taskbars.
Rect workArea();

// Runs until postQuit; returns its code.
int runMessageLoop();
void postQuit(int code);

// ---- shell -----------------------------------------------------------------------------------

struct TrayIcon {
    WindowHandle owner;
    std::uint32_t id;
    std::uint32_t callbackMessage; // sent to the owner: wParam the id, lParam MOUSE_*
    int iconId;
    const char* tip;
};

// False where there is no notification area or the icon cannot be added.
bool addTrayIcon(const TrayIcon& icon);
void removeTrayIcon(WindowHandle owner, std::uint32_t id);

Point cursorPosition();

struct MenuItem {
    std::uint32_t command; // 0: a separator
    const char* text;
};
struct MenuHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
};
MenuHandle createPopupMenu(std::span<const MenuItem> items);
// Shows the menu with its top-left corner at `at`; returns the chosen command, or 0 when dismissed
// or when there is no menu.
std::uint32_t trackPopupMenu(MenuHandle menu, Point at, WindowHandle owner);
void destroyMenu(MenuHandle menu);

// A dialog laid out in dialog units (a quarter of the average character width horizontally, an
// eighth of the character height vertically, of its font).
enum class ControlKind { DefaultButton, Text, Icon };
struct DialogControl {
    ControlKind kind;
    int id;
    int x, y, width, height;
    const char* text; // the icon's resource number for ControlKind::Icon, as text
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
// Shows the dialog centred in the work area and runs its own loop until endDialog; the owner takes
// no input meanwhile. Controls report MSG_COMMAND with their identifier; Escape and the close box
// report COMMAND_CANCEL. Returns endDialog's result, or -1 if the dialog cannot be shown.
int runModalDialog(InstanceHandle instance, const DialogTemplate& dialog, WindowHandle owner,
                   DialogProc procedure);
void endDialog(DialogHandle dialog, int result);

// ---- process ---------------------------------------------------------------------------------

// A per-user, per-display marker that one instance of the program holds while it runs. A marker
// left behind by a crashed instance does not count.
struct InstanceMarker {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
};
InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted);
void closeInstanceMarker(InstanceMarker marker);

// Finds the top-level window with this class and title, hidden or not, in this process or in the
// instance that holds the marker, and posts it a message without waiting. False if none is found.
bool postToNamedWindow(const char* className, const char* title, std::uint32_t message,
                       std::uintptr_t wParam, std::intptr_t lParam);
