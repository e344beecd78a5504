#pragma once

// What several tests share, on either layer.

#include "platform/platform.h"

class QImage;

// A window that does nothing of its own: a parent for panes, an owner for dialogs. On the Qt layer
// its class stays registered, which a later call takes in its stride.
inline WindowHandle plainWindow(WindowStyle style, WindowHandle parent, Rect rect) {
    registerWindowClass(WindowClass{"plain test window", &defaultWindowProc, {}});
    return createWindow("plain test window", "", style, parent, rect);
}

// The window's client area as the screen shows it, children included; null when it cannot be had.
// Only in the Qt test programs (qt_main.cpp).
QImage windowPicture(WindowHandle window);
