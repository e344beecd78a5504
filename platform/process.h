#pragma once

// The process room of the layer: the single-instance marker and the show request that a second
// start sends to the instance holding it.

#include "platform/window.h"

#include <cstdint>

// A per-user, per-display marker that one instance of the program holds while it runs. A marker
// whose holder no longer runs never counts, whatever it left behind.
struct InstanceMarker {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
};
// Null, with alreadyExisted set, when another holder has it. Null with alreadyExisted clear when no
// marker can be kept safely (the program then runs without the single-instance rule).
InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted);
void closeInstanceMarker(InstanceMarker marker);

// Finds the top-level window with this class and title, hidden or not, in the instance holding the
// marker `markerName`, and posts it a message without waiting for it to be handled. Only a show
// request travels: a registered message with wParam 0 and lParam MOUSE_LEFT_DOWN (a left press).
// False if it cannot be delivered.
bool postToNamedWindow(const char* markerName, const char* className, const char* title,
                       std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// A yes-or-no choice of the user's, kept across runs in the platform's usual place for program
// settings. `fallback` when there is none; false when it cannot be kept.
bool loadSetting(const char* name, bool fallback);
bool saveSetting(const char* name, bool value);
