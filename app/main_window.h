#pragma once

// The program's window: the orbit diagram and the info pane side by side, the refresh timers, the
// icon in the notification area with its menu, and the About box.

#include "app/countdown_setting.h"
#include "app/reminders.h"
#include "app/tray.h"
#include "ephemeris/encounter_state.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace orvanta {

class InfoPane;
class OrbitDiagramPane;

constexpr const char* MAIN_WINDOW_TITLE = "Orvanta 2003";
constexpr const char* SINGLE_INSTANCE_NAME = "Orvanta Single Instance";
constexpr int MAIN_WINDOW_WIDTH = 640;
constexpr int MAIN_WINDOW_HEIGHT = 480;
constexpr int DIAGRAM_PANE_WIDTH = 440;

constexpr std::chrono::milliseconds TIMER_SECOND_PERIOD{1000};
constexpr std::chrono::milliseconds TIMER_QUARTER_HOUR_PERIOD{900000};
// The program's icon at every size it ships; the primary display's desktop less panels and
// taskbars.
QIcon programIcon();
QRect workArea();

// The window's place on the primary screen's work area, in its bottom-right corner.
QRect placeInWorkArea(QSize size);

class MainWindow : public QWidget {
  public:
    // Hidden, with its outer rectangle (frame included) at `outer` once a window manager has
    // framed it. The panes are made hidden, the diagram first; the first size shows them.
    explicit MainWindow(QRect outer);
    ~MainWindow() override;

    // Shown and raised, as a left click on the tray icon does, and moved onto the work area where
    // it is no longer on it; also where the window manager has minimised or unmapped it.
    void showAndRaise();
    // One more try to put the icon into the notification area; after the last one closing ends the
    // program, and a window closed while the icon was awaited ends it then, since it could not be
    // reached otherwise.
    void retryTrayIcon();

    OrbitDiagramPane* diagramPane() const { return diagramPane_; }
    InfoPane* infoPane() const { return infoPane_; }
    // None on Wayland until a panel hosts tray icons.
    QSystemTrayIcon* trayIcon() const { return tray_->icon(); }
    QMenu* trayMenu() const { return tray_->menu(); }
    QDialog* aboutBox() const { return aboutBox_; }
    QWidget* skyWindow() const { return skyWindow_; }
    QWidget* approachesWindow() const { return approachesWindow_; }

    // Counts down to `choice` from now on, and keeps it in the settings.
    void chooseCountdown(const CountdownChoice& choice);

  protected:
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void refresh();
    void refreshTrayTip();
    void showAboutBox();
    void showOwnWindow(QPointer<QWidget>& window, const char* section,
                       const std::function<QWidget*()>& make);
    std::unique_ptr<Tray> makeTray();
    void trayGaveUp();
    void exitProgram();
    void addWindowKeys(QWidget* window);
    void keepOuterRect();
    void keepOnScreen();

    OrbitDiagramPane* diagramPane_;
    InfoPane* infoPane_;
    QTimer timerSecond_;
    QTimer timerQuarterHour_;
    Reminders reminders_{*this};
    std::unique_ptr<Tray> tray_;
    double tippedTarget_ = 0.0;
    QElapsedTimer steadyClock_;
    std::int64_t lastWall_ = 0; // seconds, at the last refresh, by each clock
    std::int64_t lastSteady_ = 0;
    QPointer<QDialog> aboutBox_;
    QPointer<QWidget> skyWindow_; // one at a time, not modal
    QPointer<QWidget> approachesWindow_;
    QAction* quit_ = nullptr; // shared by the windows, whichever is active
    // Until the window manager has framed the window for the first time.
    QRect outer_;
};

} // namespace orvanta
