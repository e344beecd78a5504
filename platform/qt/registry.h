#pragma once

// State shared by the rooms of the Qt window layer: every live window, dialog, menu, tray icon and
// marker by its never-reused id. Internal to platform/qt.

#include "platform/platform.h"

#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace qtlayer {

// A window: its Qt events are handed to its procedure as messages.
class Window : public QWidget {
  public:
    Window(std::uint32_t id, const WindowClass& cls, QWidget* parent, Qt::WindowFlags flags);
    ~Window() override;

    MessageResult send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void setTimer(std::uint32_t timerId, std::uint32_t periodMs);
    void stopTimer(std::uint32_t timerId);
    void stopTimers();

    // The drawing surface of a window with one of its own: what its procedure draws, shown on every
    // paint. Device pixels; cleared when the size changes.
    QImage& backing();
    // As the procedure sees it: in device pixels for a class that asks for them.
    QSize clientSize() const;

    const std::uint32_t id;
    const WindowClass windowClass;
    const std::string className;
    const WindowProc procedure;
    bool alive = true;
    // A top-level window keeps its first outer rectangle once the window manager reports its frame.
    QRect outer;

  protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void keepOuterRect();
    void reportSize();
    QSize reportedSize_;
    std::map<std::uint32_t, QTimer*> timers_;
    QImage backing_;
};

// A picture: loaded from the resources, or a bitmap over pixels someone else owns (a DIB section of
// the off-screen OpenGL target). `image` is what the surfaces draw into: the loaded picture is
// converted for drawing, at the resolution of the surface it is selected into, when first needed.
struct Picture {
    QImage image;
    bool deleteWhenDeselected = false;
    std::uint32_t selectedInto = 0;
    // A bitmap over a pixel buffer of its own (a DIB section); `image` then views the buffer.
    std::vector<uchar> dibPixels;
    int dibWidth = 0;
    int dibHeight = 0;
    bool bottomUp = false;
};

// A window's own surface, or a memory surface with its selected picture.
struct Surface {
    WindowHandle window;            // null for a memory surface
    std::uint32_t compatibleWith{}; // a memory surface's window surface
    qreal lastRatio = 1.0;          // device pixels per surface pixel, when last known
    std::uint32_t picture = 0;
    std::uint32_t firstPicture = 0; // the 1 x 1 one it was made with, freed with it
    QColor textColour = Qt::black;
    int pixelFormat = 0;
};

struct GlContext; // gl.cpp

struct Marker; // process.cpp

struct Registry {
    std::map<std::string, WindowClass> classes;
    std::map<std::uint32_t, QPointer<QWidget>> windows; // windows and dialogs alike
    std::map<std::uint32_t, std::unique_ptr<QMenu>> menus;
    std::map<std::pair<std::uint32_t, std::uint32_t>, QSystemTrayIcon*> trayIcons;
    std::map<std::uint32_t, std::uint32_t> messageNames;      // number -> hash of the name
    std::map<std::uint32_t, std::shared_ptr<Marker>> markers; // complete in process.cpp only
    std::map<std::uint32_t, Picture> pictures;
    std::map<std::uint32_t, Surface> surfaces;
    std::map<std::uint32_t, std::shared_ptr<GlContext>> glContexts;
    std::uint32_t nextId = 1;

    Registry();
    ~Registry();
};

Registry& registry();
std::uint32_t newId();
Window* liveWindow(WindowHandle handle);
// A live top-level window of this class and title, or null.
WindowHandle findTopLevel(const std::string& className, const std::string& title);
// The embedded icon with this resource number, in all its sizes.
QIcon iconResource(int id);
// Device pixels per pixel of the surface, as the screen has them now: a window that has not been
// shown yet does not know its screen.
qreal surfaceRatio(std::uint32_t surfaceId);
// The picture selected into a memory surface; null for a window's surface or none.
Picture* selectedPicture(std::uint32_t surfaceId);
// What a surface draws into: the window's backing or the selected picture, ready for drawing at the
// surface's resolution. Null when there is nothing to draw into.
QImage* surfaceImage(std::uint32_t surfaceId);
// A one-line message on the standard error stream, headed with the program's name.
void warn(const QString& text);

} // namespace qtlayer
