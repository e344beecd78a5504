// The window room of the recording layer.

#include "platform/fake/state.h"

#include <algorithm>

namespace fakelayer {

// Never destroyed: the diagram's render target unbinds through the layer at process exit.
State& state() {
    static State* s = new State;
    return *s;
}

bool record(const std::string& name, const std::string& detail) {
    State& s = state();
    const std::string line = detail.empty() ? name : name + " " + detail;
    s.calls.push_back(line);
    if (s.observer) {
        s.observer(line);
    }
    for (const std::string& failing : s.failing) {
        if (line.rfind(failing, 0) == 0 &&
            (line.size() == failing.size() || line[failing.size()] == ' ')) {
            return false;
        }
    }
    return true;
}

std::string describe(WindowHandle w) {
    return "#" + std::to_string(w.id);
}

std::string describe(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

WindowState* live(WindowHandle w) {
    const auto it = state().windows.find(w.id);
    return it != state().windows.end() && it->second.shown.alive ? &it->second : nullptr;
}

MessageResult deliver(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) {
    const WindowState* window = live(w);
    return window == nullptr ? 0 : window->procedure(w, message, wParam, lParam);
}

bool deliverPosted() {
    State& s = state();
    if (s.queue.empty()) {
        return false;
    }
    const Posted p = s.queue.front();
    s.queue.pop_front();
    deliver(p.window, p.message, p.wParam, p.lParam);
    return true;
}

bool deliverPaint() {
    for (auto& [id, w] : state().windows) {
        if (w.shown.alive && w.shown.visible && w.paintPending) {
            w.paintPending = false;
            deliver(WindowHandle{id}, MSG_ERASE_BACKGROUND, 0, 0);
            deliver(WindowHandle{id}, MSG_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

bool fireTimer() {
    State& s = state();
    WindowHandle window;
    std::uint32_t id = 0;
    std::uint64_t due = s.timeLimit + 1;
    for (auto& [windowId, w] : s.windows) {
        for (auto& [timerId, timer] : w.timers) {
            if (w.shown.alive && timer.due < due) {
                window = WindowHandle{windowId};
                id = timerId;
                due = timer.due;
            }
        }
    }
    if (!window) {
        return false;
    }
    s.now = due;
    Timer& timer = s.windows[window.id].timers[id];
    timer.due += std::max<std::uint32_t>(timer.period, 1);
    deliver(window, MSG_TIMER, id, 0);
    return true;
}

namespace {

void reportSize(WindowHandle w) {
    WindowState* window = live(w);
    window->sizePending = false;
    deliver(w, MSG_SIZE, 0, sizeParam(window->shown.rect.width(), window->shown.rect.height()));
}

} // namespace

} // namespace fakelayer

using namespace fakelayer;

namespace fake {

void reset(bool settingsToo) {
    std::map<std::string, bool> settings = std::move(state().settings);
    state() = State{};
    if (!settingsToo) {
        state().settings = std::move(settings);
    }
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
    return state().windows.at(handle.id).shown;
}
WindowHandle windowOfClass(const std::string& className) {
    WindowHandle found;
    for (const auto& [id, w] : state().windows) {
        if (w.shown.className == className) {
            found = WindowHandle{id};
        }
    }
    return found;
}
WindowHandle foregroundWindow() {
    return state().foreground;
}
void setWorkArea(Rect area) {
    state().workArea = area;
}
void letTimeRun(std::uint32_t ms) {
    state().timeLimit = ms;
}
void onIdle(std::function<void()> hook, int limit) {
    state().idle = std::move(hook);
    state().idleLimit = limit;
    state().idleRuns = 0;
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
    const auto [it, added] = state().messages.emplace(
        name, FIRST_REGISTERED_MESSAGE + static_cast<std::uint32_t>(state().messages.size()));
    return it->second;
}

bool isRegisteredMessage(std::uint32_t message) {
    return std::any_of(state().messages.begin(), state().messages.end(),
                       [message](const auto& entry) { return entry.second == message; });
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (!record("registerWindowClass", text(windowClass.name, "icon", windowClass.iconId)) ||
        windowClass.name == nullptr || windowClass.procedure == nullptr) {
        return false;
    }
    return state().classes.emplace(windowClass.name, windowClass).second;
}

WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect) {
    const bool ok =
        record("createWindow", text(className, style == WindowStyle::Child ? "child" : "top",
                                    describe(parent), describe(rect)));
    const auto cls = state().classes.find(className);
    if (!ok || cls == state().classes.end() || (parent && live(parent) == nullptr)) {
        return {};
    }
    const WindowHandle w{state().nextId++};
    WindowState& created = state().windows[w.id];
    created.shown.className = className;
    created.shown.title = title;
    created.shown.parent = parent;
    created.shown.rect = Rect{rect.left, rect.top, rect.left + std::max(rect.width(), 0),
                              rect.top + std::max(rect.height(), 0)};
    created.procedure = cls->second.procedure;
    created.ownSurface = cls->second.ownSurface;
    if (deliver(w, MSG_CREATE, 0, 0) == -1) {
        state().windows[w.id].shown.alive = false;
        return {};
    }
    return w;
}

void destroyWindow(WindowHandle w) {
    record("destroyWindow", describe(w));
    if (live(w) == nullptr) {
        return;
    }
    for (auto& [id, dialog] : state().dialogs) {
        if (dialog.owner == w && !dialog.ended) {
            dialog.ended = true;
            dialog.result = 0;
        }
    }
    deliver(w, MSG_DESTROY, 0, 0);
    std::vector<WindowHandle> children;
    for (const auto& [id, child] : state().windows) {
        if (child.shown.parent == w && child.shown.alive) {
            children.push_back(WindowHandle{id});
        }
    }
    for (const WindowHandle child : children) {
        destroyWindow(child);
    }
    WindowState& gone = state().windows[w.id];
    gone.shown.alive = false;
    gone.shown.visible = false;
    gone.shown.timers.clear();
    gone.timers.clear();
}

void moveWindow(WindowHandle w, int x, int y, int width, int height, bool repaint) {
    record("moveWindow", text(describe(w), x, y, width, height, repaint ? "repaint" : ""));
    WindowState* window = live(w);
    if (window == nullptr) {
        return;
    }
    const Rect old = window->shown.rect;
    window->shown.rect = Rect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    window->paintPending = window->paintPending || repaint;
    if (old.width() != window->shown.rect.width() || old.height() != window->shown.rect.height()) {
        window->sizePending = true;
        if (window->shown.visible) {
            reportSize(w);
        }
    }
}

void showWindow(WindowHandle w) {
    record("showWindow", describe(w));
    if (WindowState* window = live(w)) {
        window->paintPending = window->paintPending || !window->shown.visible;
        window->shown.visible = true;
        if (window->sizePending) {
            reportSize(w);
        }
    }
}

void hideWindow(WindowHandle w) {
    record("hideWindow", describe(w));
    if (WindowState* window = live(w)) {
        window->shown.visible = false;
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
    if (WindowState* window = live(w)) {
        ++window->shown.invalidations;
        window->paintPending = true;
    }
}

Rect clientRect(WindowHandle w) {
    const WindowState* window = live(w);
    return window == nullptr ? Rect{0, 0, 0, 0}
                             : Rect{0, 0, window->shown.rect.width(), window->shown.rect.height()};
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
    return message == MSG_ERASE_BACKGROUND ? 1 : 0;
}

void setTimer(WindowHandle w, std::uint32_t id, std::uint32_t periodMs) {
    if (!record("setTimer", text(describe(w), id, periodMs))) {
        return;
    }
    if (WindowState* window = live(w)) {
        window->shown.timers.insert(id);
        window->timers[id] = Timer{periodMs, state().now + std::max<std::uint32_t>(periodMs, 1)};
    }
}

void killTimer(WindowHandle w, std::uint32_t id) {
    record("killTimer", text(describe(w), id));
    if (WindowState* window = live(w)) {
        window->shown.timers.erase(id);
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
    while (true) {
        if (deliverPosted()) {
            continue;
        }
        if (s.quit) {
            const int code = *s.quit;
            s.quit.reset();
            return code;
        }
        if (deliverPaint()) {
            continue;
        }
        if (s.idle && s.idleRuns < s.idleLimit) {
            ++s.idleRuns;
            s.idle();
        } else if (!fireTimer()) {
            return -1; // the real loop would wait for ever
        }
    }
}

void postQuit(int code) {
    record("postQuit", std::to_string(code));
    state().quit = code;
}
