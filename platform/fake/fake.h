#pragma once

// Test controls of the recording window layer. Every call of the layer is appended to calls() as
// one line of text, and any call can be made to fail by its name. Otherwise the fake behaves as the
// Qt layer does, which the contract tests hold it to: the loops deliver posted messages in order,
// timers fire in virtual time (see letTimeRun), modal dialogs run a loop of their own, pictures
// are selected and freed as on Qt. It draws nothing: drawing is recorded (drawn()), OpenGL calls
// too (glCalls()).

#include "platform/platform.h"

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
    Rect rect; // in the parent, or on the screen for a top-level window
    bool visible = false;
    bool alive = true;
    std::set<std::uint32_t> timers;
    int invalidations = 0;
};

struct Tray {
    TrayIcon icon;
    std::string tip;
};

// A drawing operation, as the surface room was asked for it.
struct Drawn {
    std::string call;       // the layer's name for it: "drawText", "stretchSurface", ...
    std::uint32_t surface;  // drawn on (the destination of a stretch or copy)
    Rect rect{};            // drawn in or to
    Point at{};             // where drawText puts the text
    std::string text;       // drawCenteredText and drawText
    Pen pen = Pen::Black;   // drawRoundedOutline
    std::uint32_t source{}; // stretchSurface and copySurface
    Rect from{};            // stretchSurface: the source area; copySurface: 0, 0, width, height
};

// An OpenGL call made through the layer's table, with its numeric arguments in order.
struct GlCall {
    std::string name; // without the "gl": "begin", "vertex2d", ...
    std::vector<double> args;
};

// Forgets every window, class, call, failure, setting and hook; the user's saved settings stay
// unless `settingsToo`, as they outlive a run of the program.
void reset(bool settingsToo = true);

std::vector<std::string>& calls();
// The recorded calls whose text starts with `prefix`.
std::vector<std::string> callsStartingWith(const std::string& prefix);

// Makes every later call whose recorded text starts with these words fail (return null, false, 0
// or -1): a call's name fails every call of that name, "registerWindowClass X" only that class's.
void fail(const std::string& callWords);

const Window& window(WindowHandle handle);
// The window of that class created last; null when there is none.
WindowHandle windowOfClass(const std::string& className);
WindowHandle foregroundWindow();
std::optional<Tray> trayIcon();

// Every drawing operation so far, in order.
const std::vector<Drawn>& drawn();
// The picture selected into a memory surface.
std::uint32_t selectedPicture(SurfaceHandle surface);
// Whether a picture is still there (a deleted one that is selected stays until selected out).
bool pictureExists(PictureHandle picture);
// Every OpenGL call so far, in order.
const std::vector<GlCall>& glCalls();
// An embedded picture the layer can load: its size, and its stored bytes (header included).
void addResource(int resourceId, Size size, std::vector<std::uint8_t> bytes);
// What textMetrics reports; 16 x 7 until set.
void setTextMetrics(TextMetrics metrics);

void setWorkArea(Rect area);
void setCursor(Point at);
void setTrayAvailable(bool available);
// Another process holds every marker; whether its window can be reached by a show request.
void setMarkerHeldElsewhere(bool held, bool reachable = true);
// Commands the next popup menus return, in order; 0 when none is left.
void queueMenuCommand(std::uint32_t command);

// Lets the loops fire timers, in virtual time, up to `ms` milliseconds after reset. Without it
// timers never fire.
void letTimeRun(std::uint32_t ms);
// Called by runMessageLoop whenever nothing else is pending, at most `limit` times; it may send or
// post messages. When nothing at all is pending, the loop returns -1.
void onIdle(std::function<void()> hook, int limit = 100);
// Called by a modal dialog's loop whenever nothing else is pending, at most `limit` times per
// dialog; a dialog loop with nothing pending returns as if closed, with 0.
void onDialog(std::function<void(DialogHandle)> hook, int limit = 10);
// Observes each call as it is recorded.
void onCall(std::function<void(const std::string&)> observer);

} // namespace fake
