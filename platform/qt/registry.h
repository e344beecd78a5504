#pragma once

// State shared by the rooms of the Qt window layer: every live window, dialog, menu, tray icon and
// marker by its never-reused id. Internal to platform/qt.

#include "platform/platform.h"

#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <string>

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

    const std::uint32_t id;
    const std::string className;
    const WindowProc procedure;
    bool alive = true;
    // Top-level windows keep their outer rectangle once the window manager reports its frame.
    QRect outer;

  protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void keepOuterRect();
    std::map<std::uint32_t, QTimer*> timers_;
};

struct Marker; // process.cpp

struct Registry {
    std::map<std::string, WindowClass> classes;
    std::map<std::uint32_t, QPointer<QWidget>> windows; // windows and dialogs alike
    std::map<std::uint32_t, std::unique_ptr<QMenu>> menus;
    std::map<std::pair<std::uint32_t, std::uint32_t>, QSystemTrayIcon*> trayIcons;
    std::map<std::uint32_t, std::uint32_t> messageNames;      // number -> hash of the name
    std::map<std::uint32_t, std::shared_ptr<Marker>> markers; // complete in process.cpp only
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
// A one-line message on the standard error stream, headed with the program's name.
void warn(const QString& text);

} // namespace qtlayer
