#pragma once

// The orbit diagram pane: the inner solar system from above, 2 AU to each side of the Sun, drawn
// with OpenGL off screen and copied to the pane when it is painted.

#include "display/offscreen_gl_target.h"
#include "platform/platform.h"

#include <cstdint>

constexpr const char* DIAGRAM_PANE_CLASS = "GraphicsPaneWnd orvanta";
constexpr std::uint32_t TIMER_DIAGRAM = 201;
constexpr std::uint32_t TIMER_DIAGRAM_PERIOD_MS = 900000;

constexpr int IDB_MARS_PHOTO = 103;
constexpr int IDB_MARS_SPRITE = 107;
constexpr int IDB_EARTH_SPRITE = 108;

constexpr float VIEW_HALF_EXTENT = 2.0f; // AU; also the photograph's half size
constexpr float EARTH_SPRITE_HALF_SIZE = 0.1f;
constexpr float MARS_SPRITE_HALF_SIZE = 0.06f;

// The render target of the process.
extern OffscreenGlTarget diagramTarget;

// A hidden child of `parent` at (0, 0), 10 x 10; null when its class cannot be registered.
WindowHandle createOrbitDiagramPane(WindowHandle parent);

MessageResult orbitDiagramWndProc(WindowHandle pane, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);

void initDiagramGl();
void deleteDiagramTextures();
// Draws the whole scene into the target; does not wait for it to finish.
void renderDiagram();

// The embedded bitmap's bottom-up blue-green-red pixels, read in place, and its size; null when it
// cannot be had (width and height are written once the bitmap is found).
const std::uint8_t* loadBitmapPixels(int bitmapId, int& width, int& height);
