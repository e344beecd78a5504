#pragma once

// The drawing room of the layer: a window's own drawing surface, memory surfaces compatible with
// it, embedded pictures selected into memory surfaces, text in the shipped font, rounded outlines,
// and the smooth stretch and plain copy of one surface's area onto another.
//
// Coordinates are in the surfaces' own pixels, right and bottom exclusive. Where the screen has
// more device pixels than that (HiDPI), a memory surface draws at the resolution of the window it
// is compatible with, so text and lines stay sharp; at a ratio of 1 nothing differs.

#include "platform/window.h"

#include <cstdint>
#include <span>
#include <string_view>

// The background of a window is never painted by the layer: a procedure that does not answer
// MSG_ERASE_BACKGROUND with non-zero gets its class's background filled in.
constexpr std::uint32_t MSG_ERASE_BACKGROUND = 20;

struct SurfaceHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(SurfaceHandle, SurfaceHandle) = default;
};

struct PictureHandle {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(PictureHandle, PictureHandle) = default;
};

// The surface of a window whose class has its own surface: the same handle for the window's whole
// life, and what it draws reaches the window's client area. Null for other windows.
SurfaceHandle windowSurface(WindowHandle window);
void releaseWindowSurface(WindowHandle window, SurfaceHandle surface);

// A surface that draws into the picture selected into it (at first a 1 x 1 black one). Null when it
// cannot be made.
SurfaceHandle createMemorySurface(SurfaceHandle compatibleWith);
void deleteMemorySurface(SurfaceHandle surface);

// An embedded picture by resource number, in its own colours (a palette picture keeps its palette).
// Null when there is none.
PictureHandle loadPicture(InstanceHandle instance, int resourceId);
struct Size {
    int width, height;
    friend bool operator==(const Size&, const Size&) = default;
};
Size pictureSize(PictureHandle picture);
// The stored bytes of an embedded picture (a packed device-independent bitmap: its 40-byte header,
// then its pixels), readable in place for the life of the process; empty when there is none.
std::span<const std::uint8_t> resourceBytes(InstanceHandle instance, int resourceId);
// A picture still selected into a surface is deleted when it is selected out.
void deletePicture(PictureHandle picture);
// Makes the picture the memory surface's drawing target; returns the one selected before, or null
// when the picture or surface is not there.
PictureHandle selectPicture(SurfaceHandle surface, PictureHandle picture);

// The layout units of the surface's font: the text height and the average character width.
struct TextMetrics {
    int height;
    int averageWidth;
    friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};
TextMetrics textMetrics(SurfaceHandle surface);

// Text is drawn in the surface's text colour (black until set), on a transparent background.
struct Colour {
    std::uint8_t red, green, blue;
    friend bool operator==(const Colour&, const Colour&) = default;
};
void setTextColour(SurfaceHandle surface, Colour colour);
// Centred between the rectangle's left and right edges, from its top, clipped to it; "&&" shows
// as "&" and a single "&" underlines the character after it.
void drawCenteredText(SurfaceHandle surface, Rect rect, std::string_view text);
// The text's cell has its top-left corner at `at`.
void drawText(SurfaceHandle surface, Point at, std::string_view text);

// A one-pixel outline of a rectangle with rounded corners (a 20 x 20 ellipse), drawn without
// smoothing and never filled: the straight edges lie on the left and top coordinates and on the
// right and bottom ones less one.
enum class Pen { Black, White };
void drawRoundedOutline(SurfaceHandle surface, Rect rect, Pen pen);

// Scales `from` of the source onto `to` of the destination, averaging smoothly (halftone).
void stretchSurface(SurfaceHandle destination, Rect to, SurfaceHandle source, Rect from);
// Copies a width x height area from the source's top-left corner to the destination's, 1:1.
void copySurface(SurfaceHandle destination, SurfaceHandle source, int width, int height);

// Ends a paint without drawing again: the window's client area counts as up to date.
void validateWindow(WindowHandle window);

// Writes what the window's client area shows, its children included, to a PNG file; false when it
// cannot be written (nothing is left behind then).
bool saveWindowPicture(WindowHandle window, const char* path);
