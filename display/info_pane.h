#pragma once

// The info pane: four captioned boxes of text over a background picture, composed anew on every
// paint in a memory surface and stretched onto the whole pane.

#include "platform/platform.h"

constexpr const char* INFO_PANE_CLASS = "InfoPaneWnd orvanta";
constexpr int IDB_INFO_BACKGROUND = 105;

// A hidden child of `parent` at (0, 0), 10 x 10; null when its class cannot be registered.
WindowHandle createInfoPane(WindowHandle parent);

MessageResult infoPaneWndProc(WindowHandle pane, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam);

// Draws the title centred at the rectangle's top, then the black outer and white inner frame below
// it; leaves the rectangle's top on the frame's top, one text height further down.
void drawCaptionedBox(SurfaceHandle surface, Rect& rect, const char* title, int textHeight);
