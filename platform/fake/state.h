#pragma once

// State shared by the rooms of the recording window layer. Internal to platform/fake.

#include "platform/fake/fake.h"

#include <deque>
#include <map>
#include <sstream>

namespace fakelayer {

struct Posted {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

struct Timer {
    std::uint32_t period;
    std::uint64_t due;
};

struct WindowState {
    fake::Window shown; // what the tests see
    WindowProc procedure = nullptr;
    bool ownSurface = false;
    bool sizePending = true; // a size not yet reported through MSG_SIZE
    bool paintPending = false;
    std::map<std::uint32_t, Timer> timers;
};

struct Dialog {
    WindowHandle owner;
    bool ended = false;
    int result = 0;
};

struct FakeSurface {
    WindowHandle window;            // null for a memory surface
    std::uint32_t picture = 0;      // selected into a memory surface
    std::uint32_t firstPicture = 0; // the one it was made with
    int pixelFormat = 0;
};

struct Picture {
    Size size;
    std::uint32_t selectedInto = 0;
    bool deleteWhenDeselected = false;
};

struct Resource {
    Size size;
    std::vector<std::uint8_t> bytes;
};

struct State {
    std::vector<std::string> calls;
    std::set<std::string> failing;
    std::map<std::string, WindowClass> classes;
    std::map<std::uint32_t, WindowState> windows;
    std::map<std::uint32_t, Dialog> dialogs;
    std::map<std::string, std::uint32_t> messages;
    std::map<std::uint32_t, std::string> markers; // held by this process
    std::map<std::string, bool> settings;
    std::map<std::uint32_t, FakeSurface> surfaces;
    std::map<std::uint32_t, Picture> pictures;
    std::map<std::uint32_t, std::vector<std::uint8_t>> dibPixels;
    std::map<int, Resource> resources;
    std::set<std::uint32_t> glContexts;
    std::uint32_t currentGlContext = 0;
    std::vector<fake::GlCall> glCalls;
    std::vector<fake::Drawn> drawn;
    TextMetrics textMetrics{16, 7};
    std::uint32_t nextId = 1;
    WindowHandle foreground;
    std::optional<fake::Tray> tray;
    Rect workArea{0, 0, 1024, 738};
    Point cursor{0, 0};
    bool trayAvailable = true;
    bool markerHeldElsewhere = false;
    bool namedWindowReachable = true;
    std::deque<std::uint32_t> menuCommands;
    std::deque<Posted> queue;
    std::optional<int> quit;
    std::uint64_t now = 0;
    std::uint64_t timeLimit = 0;
    std::function<void()> idle;
    int idleLimit = 0;
    int idleRuns = 0;
    std::function<void(DialogHandle)> dialogHook;
    int dialogLimit = 0;
    std::function<void(const std::string&)> observer;
};

State& state();

// Records the call; false when the tests made calls of this name fail.
bool record(const std::string& name, const std::string& detail = "");

template <typename... Parts>
std::string text(const Parts&... parts) {
    std::ostringstream out;
    const char* separator = "";
    ((out << separator << parts, separator = " "), ...);
    return out.str();
}
std::string describe(WindowHandle w);
std::string describe(const Rect& r);

WindowState* live(WindowHandle w);
MessageResult deliver(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam);

// Delivers the oldest posted message; false when there is none.
bool deliverPosted();
// Erases and paints a visible window that waits for it; false when none does.
bool deliverPaint();
// Fires the timer due first, advancing the virtual clock, if one is due within the time allowed.
bool fireTimer();

} // namespace fakelayer
