#include "platform/fake/fake_platform.h"

#include <map>
#include <sstream>
#include <utility>

namespace {

struct Posted {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

struct Dialog {
    bool ended = false;
    int result = 0;
};

struct State {
    std::vector<std::string> calls;
    std::set<std::string> failing;
    std::map<std::string, WindowClass> classes;
    std::map<std::uint32_t, fake::Window> windows;
    std::map<std::uint32_t, WindowProc> procedures;
    std::map<std::uint32_t, Dialog> dialogs;
    std::map<std::string, std::uint32_t> messages;
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
    std::function<void()> idle;
    int idleLimit = 0;
    std::function<void(DialogHandle)> dialogHook;
    int dialogLimit = 0;
    std::function<void(const std::string&)> observer;
};

State& state() {
    static State s;
    return s;
}

bool record(const std::string& name, const std::string& detail = "") {
    State& s = state();
    const std::string line = detail.empty() ? name : name + " " + detail;
    s.calls.push_back(line);
    if (s.observer) {
        s.observer(line);
    }
    return s.failing.count(name) == 0;
}

std::string text(const auto&... parts) {
    std::ostringstream out;
    const char* separator = "";
    ((out << separator << parts, separator = " "), ...);
    return out.str();
}

std::string describe(WindowHandle w) {
    return "#" + std::to_string(w.id);
}
std::string describe(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

fake::Window* live(WindowHandle w) {
    auto it = state().windows.find(w.id);
    return it != state().windows.end() && it->second.alive ? &it->second : nullptr;
}

MessageResult deliver(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) {
    if (live(w) == nullptr) {
        return 0;
    }
    return state().procedures[w.id](w, message, wParam, lParam);
}

} // namespace

namespace fake {

void reset() {
    state() = State{};
}
std::vector<std::string>& calls() {
    return state().calls;
}
std::vector<std::string> callsStartingWith(const std::string& prefix) {
    std::vector<std::string> matching;
    for (const std::string& call : state().calls) {
        if (call.rfind(prefix, 0) == 0) {
            matching.push_back(call);
        }
    }
    return matching;
}
void fail(const std::string& callName) {
    state().failing.insert(callName);
}
const Window& window(WindowHandle handle) {
    return state().windows.at(handle.id);
}
WindowHandle foregroundWindow() {
    return state().foreground;
}
std::optional<Tray> trayIcon() {
    return state().tray;
}
void setWorkArea(Rect area) {
    state().workArea = area;
}
void setCursor(Point at) {
    state().cursor = at;
}
void setTrayAvailable(bool available) {
    state().trayAvailable = available;
}
void setMarkerHeldElsewhere(bool held) {
    state().markerHeldElsewhere = held;
}
void setNamedWindowReachable(bool reachable) {
    state().namedWindowReachable = reachable;
}
void queueMenuCommand(std::uint32_t command) {
    state().menuCommands.push_back(command);
}
void onIdle(std::function<void()> hook, int limit) {
    state().idle = std::move(hook);
    state().idleLimit = limit;
}
void onDialog(std::function<void(DialogHandle)> hook, int limit) {
    state().dialogHook = std::move(hook);
    state().dialogLimit = limit;
}
void onCall(std::function<void(const std::string&)> observer) {
    state().observer = std::move(observer);
}

} // namespace fake

InstanceHandle currentInstance() {
    static const int module = 0;
    record("currentInstance");
    return InstanceHandle{&module};
}

std::uint32_t registerMessage(const char* name) {
    if (!record("registerMessage", name)) {
        return 0;
    }
    auto [it, added] = state().messages.emplace(name, 0xC000 + state().messages.size());
    return it->second;
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (!record("registerWindowClass", text(windowClass.name, "icon", windowClass.iconId))) {
        return false;
    }
    return state().classes.emplace(windowClass.name, windowClass).second;
}

WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect, InstanceHandle) {
    const bool ok =
        record("createWindow", text(className, style == WindowStyle::Child ? "child" : "top",
                                    describe(parent), describe(rect)));
    auto cls = state().classes.find(className);
    if (!ok || cls == state().classes.end()) {
        return {};
    }
    const WindowHandle w{state().nextId++};
    fake::Window created;
    created.className = className;
    created.title = title;
    created.parent = parent;
    created.rect = rect;
    state().windows[w.id] = created;
    state().procedures[w.id] = cls->second.procedure;
    if (deliver(w, MSG_CREATE, 0, 0) == -1) {
        state().windows[w.id].alive = false;
        return {};
    }
    return w;
}

void destroyWindow(WindowHandle w) {
    record("destroyWindow", describe(w));
    if (live(w) == nullptr) {
        return;
    }
    deliver(w, MSG_DESTROY, 0, 0);
    for (auto& [id, child] : state().windows) {
        if (child.parent == w && child.alive) {
            destroyWindow(WindowHandle{id});
        }
    }
    fake::Window& gone = state().windows[w.id];
    gone.alive = false;
    gone.visible = false;
    gone.timers.clear();
    for (auto& [id, dialog] : state().dialogs) {
        dialog.ended = true; // the owner takes its boxes with it
    }
}

void moveWindow(WindowHandle w, int x, int y, int width, int height, bool repaint) {
    record("moveWindow", text(describe(w), x, y, width, height, repaint ? "repaint" : ""));
    if (fake::Window* window = live(w)) {
        window->rect = Rect{x, y, x + width, y + height};
    }
}

void showWindow(WindowHandle w) {
    record("showWindow", describe(w));
    if (fake::Window* window = live(w)) {
        window->visible = true;
    }
}

void hideWindow(WindowHandle w) {
    record("hideWindow", describe(w));
    if (fake::Window* window = live(w)) {
        window->visible = false;
    }
}

void bringToForeground(WindowHandle w) {
    record("bringToForeground", describe(w));
    if (live(w) != nullptr) {
        state().foreground = w;
    }
}

void invalidateWindow(WindowHandle w) {
    record("invalidateWindow", describe(w));
    if (fake::Window* window = live(w)) {
        ++window->invalidations;
    }
}

MessageResult sendMessage(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    record("sendMessage", text(describe(w), message, wParam, lParam));
    return deliver(w, message, wParam, lParam);
}

bool postMessage(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    if (!record("postMessage", text(describe(w), message, wParam, lParam)) || live(w) == nullptr) {
        return false;
    }
    state().queue.push_back(Posted{w, message, wParam, lParam});
    return true;
}

MessageResult defaultWindowProc(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    record("defaultWindowProc", text(describe(w), message, wParam, lParam));
    if (message == MSG_CLOSE) {
        destroyWindow(w);
    }
    return 0;
}

void setTimer(WindowHandle w, std::uint32_t id, std::uint32_t periodMs) {
    if (record("setTimer", text(describe(w), id, periodMs))) {
        if (fake::Window* window = live(w)) {
            window->timers.insert(id);
        }
    }
}

void killTimer(WindowHandle w, std::uint32_t id) {
    record("killTimer", text(describe(w), id));
    if (fake::Window* window = live(w)) {
        window->timers.erase(id);
    }
}

Rect workArea() {
    record("workArea");
    return state().workArea;
}

int runMessageLoop() {
    record("runMessageLoop");
    State& s = state();
    int idleRuns = 0;
    while (true) {
        if (!s.queue.empty()) {
            const Posted p = s.queue.front();
            s.queue.pop_front();
            deliver(p.window, p.message, p.wParam, p.lParam);
        } else if (s.quit) {
            const int code = *s.quit;
            s.quit.reset();
            return code;
        } else if (s.idle && idleRuns++ < s.idleLimit) {
            s.idle();
        } else {
            return -1;
        }
    }
}

void postQuit(int code) {
    record("postQuit", std::to_string(code));
    state().quit = code;
}

bool addTrayIcon(const TrayIcon& icon) {
    if (!record("addTrayIcon",
                text(describe(icon.owner), icon.id, icon.callbackMessage, icon.iconId, icon.tip)) ||
        !state().trayAvailable) {
        return false;
    }
    state().tray = fake::Tray{icon, icon.tip};
    return true;
}

void removeTrayIcon(WindowHandle owner, std::uint32_t id) {
    record("removeTrayIcon", text(describe(owner), id));
    if (state().tray && state().tray->icon.owner == owner && state().tray->icon.id == id) {
        state().tray.reset();
    }
}

Point cursorPosition() {
    record("cursorPosition");
    return state().cursor;
}

MenuHandle createPopupMenu(std::span<const MenuItem> items) {
    std::string entries;
    for (const MenuItem& item : items) {
        entries += item.command == 0
                       ? std::string("|-")
                       : "|" + std::string(item.text) + "=" + std::to_string(item.command);
    }
    if (!record("createPopupMenu", entries)) {
        return {};
    }
    return MenuHandle{state().nextId++};
}

std::uint32_t trackPopupMenu(MenuHandle menu, Point at, WindowHandle owner) {
    record("trackPopupMenu", text(menu.id, at.x, at.y, describe(owner)));
    if (!menu || state().menuCommands.empty()) {
        return 0;
    }
    const std::uint32_t command = state().menuCommands.front();
    state().menuCommands.pop_front();
    return command;
}

void destroyMenu(MenuHandle menu) {
    record("destroyMenu", std::to_string(menu.id));
}

int runModalDialog(InstanceHandle, const DialogTemplate& dialog, WindowHandle owner,
                   DialogProc procedure) {
    if (!record("runModalDialog", text(dialog.caption, describe(owner)))) {
        return -1;
    }
    const DialogHandle d{state().nextId++};
    state().dialogs[d.id] = Dialog{};
    procedure(d, MSG_INIT_DIALOG, 0, 0);
    for (int i = 0; i < state().dialogLimit && !state().dialogs[d.id].ended; ++i) {
        if (state().dialogHook) {
            state().dialogHook(d);
        }
    }
    const Dialog result = state().dialogs[d.id];
    state().dialogs.erase(d.id);
    record("dialogClosed", text(dialog.caption, result.ended ? "ended" : "open", result.result));
    return result.result;
}

void endDialog(DialogHandle dialog, int result) {
    record("endDialog", text(describe(dialog), result));
    auto it = state().dialogs.find(dialog.id);
    if (it != state().dialogs.end()) {
        it->second.ended = true;
        it->second.result = result;
    }
}

InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted) {
    record("createInstanceMarker", name);
    alreadyExisted = state().markerHeldElsewhere;
    return InstanceMarker{1}; // one marker per process
}

void closeInstanceMarker(InstanceMarker marker) {
    record("closeInstanceMarker", std::to_string(marker.id));
}

bool postToNamedWindow(const char* className, const char* title, std::uint32_t message,
                       std::uintptr_t wParam, std::intptr_t lParam) {
    return record("postToNamedWindow", text(className, "/", title, message, wParam, lParam)) &&
           state().namedWindowReachable;
}
