// The process room of the recording layer: markers are held by name within the test process, or,
// as the tests say, by another process.

#include "platform/fake/state.h"

using namespace fakelayer;

namespace fake {

void setMarkerHeldElsewhere(bool held, bool reachable) {
    state().markerHeldElsewhere = held;
    state().namedWindowReachable = reachable;
}

} // namespace fake

namespace {

bool heldHere(const std::string& name) {
    for (const auto& [id, held] : state().markers) {
        if (held == name) {
            return true;
        }
    }
    return false;
}

} // namespace

InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted) {
    alreadyExisted = false;
    if (!record("createInstanceMarker", name)) {
        return {};
    }
    if (state().markerHeldElsewhere || heldHere(name)) {
        alreadyExisted = true;
        return {};
    }
    const InstanceMarker marker{state().nextId++};
    state().markers[marker.id] = name;
    return marker;
}

void closeInstanceMarker(InstanceMarker marker) {
    record("closeInstanceMarker", std::to_string(marker.id));
    state().markers.erase(marker.id);
}

bool postToNamedWindow(const char* markerName, const char* className, const char* title,
                       std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!record("postToNamedWindow",
                text(markerName, "/", className, "/", title, message, wParam, lParam)) ||
        message < FIRST_REGISTERED_MESSAGE || message > LAST_REGISTERED_MESSAGE || wParam != 0 ||
        lParam != MOUSE_LEFT_DOWN) {
        return false;
    }
    if (!heldHere(markerName)) {
        return state().markerHeldElsewhere && state().namedWindowReachable;
    }
    // The channel takes the request; the holder posts it if the window exists and the number is
    // one it registered, and drops it otherwise, as the sender never learns.
    for (const auto& [id, w] : state().windows) {
        if (w.shown.alive && !w.shown.parent && w.shown.className == className &&
            w.shown.title == title && isRegisteredMessage(message)) {
            postMessage(WindowHandle{id}, message, wParam, lParam);
            break;
        }
    }
    return true;
}

bool loadSetting(const char* name, bool fallback) {
    const auto it = state().settings.find(name);
    return record("loadSetting", name) && it != state().settings.end() ? it->second : fallback;
}

bool saveSetting(const char* name, bool value) {
    if (!record("saveSetting", text(name, value))) {
        return false;
    }
    state().settings[name] = value;
    return true;
}
