#pragma once

// The icon in the notification area and its menu, which the window also offers on a right click:
// About, what to count down to, the reminders, starting at login, the two windows of their own, and
// Exit. Started at login, the program may come before the panel, so the icon is tried again for a
// while.

#include "app/countdown_setting.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace orvanta {

// While no notification area is there yet: another try every 2 s, 30 tries in all.
constexpr std::chrono::milliseconds TRAY_RETRY_PERIOD{2000};
constexpr int TRAY_ATTEMPTS = 30;

constexpr const char* TRAY_TIP = "Quellmark Orvanta 2003";

class Tray : public QObject {
  public:
    // What the menu's entries and the icon do, in the program's window.
    struct Handlers {
        std::function<void()> about, sky, approaches, exit;
        std::function<void(const CountdownChoice&)> choose;
        std::function<void(bool on)> remind;
        std::function<void()> show; // a left click on the icon
        // The last try failed while the icon was still awaited.
        std::function<void()> gaveUp;
        // Whether the program starts at login, and the tick that makes it start or not.
        std::function<bool()> startsAtLogin;
        std::function<void(bool on)> startAtLogin;
    };
    Tray(QObject* parent, bool reminding, Handlers handlers);
    ~Tray() override;

    // The first try, and the retries if it failed.
    void start();
    // One more try to put the icon into the notification area.
    void retry();
    // Kept for an icon made later.
    void setTip(const QString& text);
    // The menu ticks what is counted to; a chosen approach keeps its entry once chosen.
    void markCountdownChoice();
    void hideIcon();
    // No notification area came: closing the window ends the program.
    bool absent() const { return state_ == State::Absent; }

    // None on Wayland until a panel hosts tray icons.
    QSystemTrayIcon* icon() const { return icon_.get(); }
    QMenu* menu() const { return menu_.get(); }

  private:
    void makeIcon();
    void nameNextApproach();

    enum class State { Shown, Waiting, Absent };
    Handlers handlers_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    QTimer retry_;
    QString tip_;
    State state_ = State::Waiting;
    int attempts_ = 0;
    // The menu's choices, in the order of CountdownTarget: 2003, the next one, and the approach
    // chosen in the Approaches window, once there is one.
    std::array<QAction*, 3> countdownItems_{};
};

} // namespace orvanta
