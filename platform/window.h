#pragma once

// The window room of the layer: classes, windows driven by a procedure that receives message
// numbers, posted and sent messages, timers by identifier, the work area and the message loop.

#include <cstdint>

// Message numbers and values the program's behaviour is defined by.
constexpr std::uint32_t MSG_CREATE = 1;
constexpr std::uint32_t MSG_DESTROY = 2;
constexpr std::uint32_t MSG_SIZE = 5;
constexpr std::uint32_t MSG_PAINT = 15;
constexpr std::uint32_t MSG_CLOSE = 16;
constexpr std::uint32_t MSG_INIT_DIALOG = 272;
constexpr std::uint32_t MSG_COMMAND = 273;
constexpr std::uint32_t MSG_TIMER = 275;

// Registered messages (registerMessage) lie in this range, so they never meet a fixed one.
constexpr std::uint32_t FIRST_REGISTERED_MESSAGE = 0xC000;
constexpr std::uint32_t LAST_REGISTERED_MESSAGE = 0xFFFF;

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
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x, y;
    friend bool operator==(const Point&, const Point&) = default;
};

// MSG_SIZE carries the client width in the low and the height in the high 16 bits of lParam.
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

InstanceHandle currentInstance();

// A process-wide message number for a name: the same name gives the same number in every process
// of the program, in the registered range.
std::uint32_t registerMessage(const char* name);
// Whether this process has registered the number.
bool isRegisteredMessage(std::uint32_t message);

enum class WindowStyle {
    FixedTopLevel, // caption with a close box and system menu, no minimise, maximise or sizing
    Child,         // borderless, inside its parent
};

// What the default procedure fills a window's background with when asked to erase it.
enum class ClassBackground { None, Gray };

struct WindowClass {
    const char* name;
    WindowProc procedure;
    InstanceHandle instance;
    int iconId = 0;          // 0: none
    bool ownSurface = false; // a drawing surface of its own for the window's whole life
    ClassBackground background = ClassBackground::None;
    // Sizes, the client rectangle and the surface in the screen's device pixels rather than the
    // layout's pixels, where a screen has more of them (HiDPI); the same at a ratio of 1.
    bool devicePixels = false;
};

// False when the name is taken or the class is incomplete.
bool registerWindowClass(const WindowClass& windowClass);

// Creates a hidden window; for a top-level window the rectangle is the outer one, frame included.
// MSG_CREATE reaches the procedure before this returns; a procedure answering -1 refuses the
// window. Null on failure.
WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect);
// MSG_DESTROY reaches the window, then its children (each before its own children). Modal dialogs
// owned by the window end first, with result 0; its timers stop.
void destroyWindow(WindowHandle window);
// A negative width or height is taken as 0: the window then has no visible area.
void moveWindow(WindowHandle window, int x, int y, int width, int height, bool repaint);
// A window learns its client size through MSG_SIZE: when it is first shown, at once when its size
// changes while it is visible, and on its next showing when it changed while hidden.
void showWindow(WindowHandle window);
void hideWindow(WindowHandle window);
void bringToForeground(WindowHandle window);
void invalidateWindow(WindowHandle window); // repaint later, without erasing
// The client rectangle, (0, 0) at its top-left; empty for a window that is gone.
Rect clientRect(WindowHandle window);

MessageResult sendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam);
// Queued behind everything posted before; false when the window is gone.
bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
// What a window does with a message its procedure does not handle: MSG_CLOSE destroys it, and
// MSG_ERASE_BACKGROUND fills the window with its class's background.
MessageResult defaultWindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam);

// MSG_TIMER with the identifier as wParam, every period, until killed or the window is destroyed.
// Setting an existing identifier again restarts it with the new period.
void setTimer(WindowHandle window, std::uint32_t id, std::uint32_t periodMs);
void killTimer(WindowHandle window, std::uint32_t id);

// The primary display's desktop less panels and taskbars.
Rect workArea();

// Runs until postQuit; returns its code. Messages posted before the quit are handled first.
int runMessageLoop();
void postQuit(int code);
