#pragma once

// An OpenGL 1.1 rendering context whose drawing lands in a 24-bit bitmap in memory instead of on
// the screen, and is copied to a pane on demand: rendering and presenting are separate, and the
// picture is read back from OpenGL only when something was drawn since, so a repaint that follows
// no rendering is only a copy of the last rendered picture.
//
// The context is Mesa's EGL on its surfaceless platform, which needs no display and works alike
// with or without one (X11, Wayland or none, software or hardware); where that is not there
// (another vendor's driver) it is a compatibility-profile context of Qt's platform binding. Either
// way it draws into a framebuffer object the size of the bitmap.

#include <QImage>
#include <memory>

class QPainter;

namespace orvanta {

class OffscreenGlTarget {
  public:
    enum class State {
        Empty,              // no context: after construction, `destroy` or a failed `create`
        Ready,              // a context and a bitmap of the stored size
        ReadyWithoutBitmap, // a context whose bitmap could not be made at the last size asked for
    };

    // Starts loading the GL stack (Mesa's EGL and its driver) on a thread of its own, so that the
    // first `create` finds it loaded, or waits only for the rest; once per process, and never in
    // a process that will not draw.
    static void loadInBackground();

    OffscreenGlTarget();
    ~OffscreenGlTarget();
    OffscreenGlTarget(const OffscreenGlTarget&) = delete;
    OffscreenGlTarget& operator=(const OffscreenGlTarget&) = delete;

    // Makes the context and a bitmap of the size (0 counts as 1) and leaves it current; false, and
    // Empty, when no context can be had. A second call changes nothing.
    bool create(int width, int height);
    // The same with Mesa's EGL alone, which any thread may do: Qt's binding is the GUI thread's.
    bool createSurfaceless(int width, int height);
    // Leaves the context current on no thread, so that another thread may bind it.
    void doneCurrent();
    // Re-creates the bitmap when the size differs from the stored one; false on a failed step,
    // which leaves the target without a bitmap and with the previous size. A requested 0 is stored
    // as 0, although the bitmap keeps a pixel that way: nothing is copied then.
    bool resize(int width, int height);
    // Binds the context and its bitmap for drawing; false when there is no context.
    bool makeCurrent();
    // Completes the frame drawn since the last call (any `makeCurrent` counts as drawing), reads it
    // back, and copies the stored size 1:1, in device pixels, to the painter's top-left corner.
    // Copies nothing without a context or bitmap.
    void present(QPainter& painter);
    void destroy();

    State state() const;
    // The size `present` copies; 0 after construction.
    int width = 0;
    int height = 0;

  private:
    struct Context;
    bool create(int width, int height, bool surfacelessOnly);
    bool createBitmap(int requestedWidth, int requestedHeight);
    void releaseBitmap();
    std::unique_ptr<Context> context_;
    QImage bitmap_;  // blue-green-red rows as read back: the bottom row first
    QImage upright_; // the last one read back, top row first, as `present` copies it
    bool drawnSinceRead_ = false;
};

} // namespace orvanta
