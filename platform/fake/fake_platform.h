#pragma once

// Test controls of the recording window layer. Every call of the layer is appended to calls() as
// one line of text; any call can be made to fail by its name.

#include "platform/platform.h"

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Window {
    std::string className;
    std::string title;
    WindowHandle parent;
    Rect rect;
    bool visible = false;
    bool alive = true;
    std::set<std::uint32_t> timers;
    int invalidations = 0;
};

struct Tray {
    TrayIcon icon;
    std::string tip;
};

// Forgets every window, class, call, failure and setting.
void reset();

std::vector<std::string>& calls();
// The recorded calls whose text starts with `prefix`.
std::vector<std::string> callsStartingWith(const std::string& prefix);

// Makes every later call of that name fail (return null, false or 0).
void fail(const std::string& callName);

const Window& window(WindowHandle handle);
WindowHandle foregroundWindow();
std::optional<Tray> trayIcon();

void setWorkArea(Rect area);
void setCursor(Point at);
void setTrayAvailable(bool available);
void setMarkerHeldElsewhere(bool held);
void setNamedWindowReachable(bool reachable);
// Commands the next popup menus return, in order; 0 when none is left.
void queueMenuCommand(std::uint32_t command);

// Called by runMessageLoop whenever its queue is empty and no quit is pending; it may send or post
// messages. Without one, or once it has run `limit` times, the loop returns -1.
void onIdle(std::function<void()> hook, int limit = 100);
// Called inside runModalDialog after the dialog's MSG_INIT_DIALOG, until endDialog or `limit`.
void onDialog(std::function<void(DialogHandle)> hook, int limit = 10);
// Observes each call as it is recorded.
void onCall(std::function<void(const std::string&)> observer);

} // namespace fake
