#include "app/main_window.h"

#include "app/about_box.h"
#include "app/approaches_window.h"
#include "app/autostart.h"
#include "app/settings.h"
#include "app/sky_window.h"
#include "app/window_place.h"
#include "display/loop_scene.h"
#include "display/number_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"
#include "panes/picture_menu.h"
#include "panes/texts.h"
#include "rules/settings_text.h"
#include "rules/warning.h"
#include "towns/towns.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace orvanta {

namespace {

// The latitude of the user's place as Mars tonight takes it: the one kept, else the town of the
// time zone's, else the equator's.
double userLatitude() {
    if (const auto latitude = readNumberSetting("sky/latitude", -90, 90)) {
        return *latitude;
    }
    const std::optional<Town> town = townOfZone(timeZoneName());
    return town ? town->place.latitude : 0;
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size));
    }
    return icon;
}

// The primary display's desktop less panels and taskbars.
QRect workArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? QRect() : screen->availableGeometry();
}

MainWindow::MainWindow(QRect outer)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      diagramPane_(new OrbitDiagramPane(this)), infoPane_(new InfoPane(this)), tray_(makeTray()),
      outer_(outer) {
    setWindowTitle(QString::fromUtf8(MAIN_WINDOW_TITLE));
    setAccessibleName(QStringLiteral("Orvanta"));
    setTabOrder(diagramPane_, infoPane_->box(0));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(outer.size().expandedTo(QSize(0, 0)));
    move(outer.topLeft());
    diagramPane_->hide();
    infoPane_->hide();

    addWindowKeys(this);
    // Where no notification area shows the icon, the menu is still at hand.
    setContextMenuPolicy(Qt::CustomContextMenu);
    givePictureKeys(*diagramPane_, this);
    // Over the orbit diagram it offers the picture too.
    connect(this, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (!diagramPane_->geometry().contains(at)) {
            tray_->menu()->popup(mapToGlobal(at));
            return;
        }
        auto* menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        addPictureActions(*menu, *diagramPane_);
        SkyWindow::readAhead();
        menu->addSeparator();
        menu->addActions(tray_->menu()->actions());
        menu->popup(mapToGlobal(at));
    });
    // While the menu is open, Mars tonight's towns are read for the choice that may follow.
    connect(tray_->menu(), &QMenu::aboutToShow, this, [] { SkyWindow::readAhead(); });
    refreshTrayTip();
    tray_->start();

    // A screen that shrinks (or goes) must not take the window with it.
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, [this] { keepOnScreen(); });
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
    connect(qApp, &QGuiApplication::screenAdded, this, watch);
    connect(qApp, &QGuiApplication::screenRemoved, this,
            [this] { QTimer::singleShot(0, this, [this] { keepOnScreen(); }); });
    steadyClock_.start();
    lastWall_ = calendarTimeOf(readUtcClock());
    diagramPane_->describe(lastWall_);
    timerSecond_.callOnTimeout(this, [this] { refresh(); });
    timerSecond_.start(TIMER_SECOND_PERIOD);
    // The same refresh at the period of the diagram's own timer, which re-renders the orbit picture
    // from the state a refresh leaves: the picture does not rest on the one-second timer alone.
    timerQuarterHour_.callOnTimeout(this, [this] { refresh(); });
    timerQuarterHour_.start(TIMER_QUARTER_HOUR_PERIOD);
}

MainWindow::~MainWindow() {
    // Windows of their own, gone with the program's.
    delete skyWindow_;
    delete approachesWindow_;
}

QRect placeInWorkArea(QSize size) {
    const QRect area = workArea();
    // The bottom-right corner where the window fits; where it does not, its top-left corner stays
    // on the work area, so that its caption can be reached.
    return QRect(std::max(area.left() + area.width() - size.width(), area.left()),
                 std::max(area.top() + area.height() - size.height(), area.top()), size.width(),
                 size.height());
}

void MainWindow::keepOnScreen() {
    const QRect frame = frameGeometry();
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(frame.topLeft())) {
            return; // on a screen, wherever the user put it
        }
    }
    const QScreen* nearest = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (nearest == nullptr) {
        return;
    }
    const QRect area = nearest->availableGeometry();
    const int x = std::clamp(frame.left(), area.left(),
                             std::max(area.left(), area.left() + area.width() - frame.width()));
    const int y = std::clamp(frame.top(), area.top(),
                             std::max(area.top(), area.top() + area.height() - frame.height()));
    move(x, y);
}

void MainWindow::showAndRaise() {
    // Minimised by the window manager, or unmapped behind Qt's back, the window is still shown as
    // far as Qt knows, and show() alone would leave it off the screen: it is shown anew.
    if (isVisible() && (isMinimized() || !windowHandle()->isExposed())) {
        hide();
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    keepOnScreen();
    show();
    raise();
    activateWindow();
}

std::unique_ptr<Tray> MainWindow::makeTray() {
    return std::make_unique<Tray>(
        this, reminders_.enabled(),
        Tray::Handlers{
            [this] { showAboutBox(); },
            [this] { showOwnWindow(skyWindow_, "sky-window", [] { return new SkyWindow; }); },
            [this] {
                showOwnWindow(approachesWindow_, "approaches-window", [this] {
                    return new ApproachesWindow(
                        [this](const CountdownChoice& c) { chooseCountdown(c); }, 0, 0,
                        southUpAt(userLatitude()));
                });
            },
            [this] { exitProgram(); }, [this](const CountdownChoice& c) { chooseCountdown(c); },
            [this](bool on) { reminders_.setEnabled(on); }, [this] { showAndRaise(); },
            [this] { trayGaveUp(); }, [] { return startsAtLogin(); },
            [](bool on) {
                if (const QString line = setStartAtLogin(on); !line.isEmpty()) {
                    warn(line.toStdString());
                }
            }});
}

void MainWindow::retryTrayIcon() {
    tray_->retry();
}

// Closed while the icon was awaited, the window could now be reached only by starting the program
// again: it ends, as closing now ends it, unless another of its windows is open.
void MainWindow::trayGaveUp() {
    if (!isHidden()) {
        return;
    }
    const auto open = [](const QWidget* w) { return w != nullptr && w->isVisible(); };
    if (open(skyWindow_) || open(approachesWindow_)) {
        show();
    } else {
        QTimer::singleShot(0, this, [this] { exitProgram(); });
    }
}

void MainWindow::refresh() {
    computeEncounterState();
    infoPane_->refresh();
    // A wall clock that jumps (set by hand, corrected by the network, or after a suspend, which the
    // steady clock sleeps through) would leave the diagram's positions stale for up to a quarter
    // hour: it is rendered anew when the two clocks part by more than a minute.
    const std::int64_t wall = calendarTimeOf(readUtcClock());
    const std::int64_t steady = steadyClock_.elapsed() / 1000;
    if (std::abs((wall - lastWall_) - (steady - lastSteady_)) > 60) {
        diagramPane_->renderDiagram();
        diagramPane_->update();
    }
    lastWall_ = wall;
    lastSteady_ = steady;
    diagramPane_->describe(wall);
    refreshTrayTip();
    if (countdownTargetJd() != tippedTarget_) { // the approach counted to has moved on
        tippedTarget_ = countdownTargetJd();
        tray_->markCountdownChoice();
    }
    reminders_.check(julianDateValue(currentJulianDate()), tray_->icon());
    if (nextApproachUnknown()) {
        warnOnce("no closest approach is known after 6000-01-01: counting down to the one of 2003 "
                 "instead");
    }
}

// "Quellmark Orvanta 2003", or with the date (UTC) of the approach counted to and the days left
// ("Quellmark Orvanta 2027-02-20, in 73 days"); the window's title names its year.
void MainWindow::refreshTrayTip() {
    const auto tip = [this](const QString& text) { tray_->setTip(text); };
    const std::optional<ClosestApproach> counted = countedApproach();
    if (!counted) {
        tip(QString::fromUtf8(TRAY_TIP));
        setWindowTitle(QString::fromUtf8(MAIN_WINDOW_TITLE));
        setAccessibleDescription(QStringLiteral("A countdown to the closest approach of Mars to "
                                                "Earth on 27 August 2003"));
        return;
    }
    const QString date = dayText(counted->julianDate);
    const int days = encounterState.daysLeft;
    tip(QStringLiteral("Quellmark Orvanta %1, %2")
            .arg(date, days > 1    ? QStringLiteral("in %1 days").arg(days)
                       : days == 1 ? QStringLiteral("in 1 day")
                       : days == 0 ? QStringLiteral("within a day")
                                   : QStringLiteral("passed")));
    setWindowTitle(QStringLiteral("Orvanta ") + date.left(4));
    setAccessibleDescription(
        countdownChoice().target == CountdownTarget::Next
            ? QStringLiteral("A countdown to the next closest approach of Mars to Earth, on ") +
                  date
            : QStringLiteral("A countdown to the closest approach of Mars to Earth on ") + date);
}

void MainWindow::chooseCountdown(const CountdownChoice& choice) {
    setCountdownChoice(choice);
    saveCountdownChoice(choice);
    computeEncounterState();
    infoPane_->refresh();
    refreshTrayTip();
    tray_->markCountdownChoice();
    if (approachesWindow_) {
        static_cast<ApproachesWindow*>(approachesWindow_.data())->refresh();
    }
}

void MainWindow::showAboutBox() {
    if (aboutBox_) { // chosen again while it is open: the open one comes forward
        aboutBox_->raise();
        aboutBox_->activateWindow();
        return;
    }
    AboutBox box(this);
    aboutBox_ = &box;
    box.exec();
}

// One window of each kind at a time, not modal: a second choice brings the open one forward.
// Each opens where it was left, else beside this one.
void MainWindow::showOwnWindow(QPointer<QWidget>& window, const char* section,
                               const std::function<QWidget*()>& make) {
    if (!window) {
        window = make();
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowIcon(programIcon());
        addWindowKeys(window);
        placeAndKeep(window, this, section);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

// The desktop's keys to close a window (as its close box does) and to end the program (as Exit
// does), in each of the program's windows.
void MainWindow::addWindowKeys(QWidget* window) {
    auto* close = new QAction(window);
    close->setShortcuts(QKeySequence::Close);
    connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
    if (quit_ == nullptr) {
        quit_ = new QAction(this);
        // Where the desktop's scheme has no key to quit (as Windows' has none), the usual one.
        const QList<QKeySequence> desktops = QKeySequence::keyBindings(QKeySequence::Quit);
        quit_->setShortcuts(desktops.isEmpty() ? QList{QKeySequence(Qt::CTRL | Qt::Key_Q)}
                                               : desktops);
        // Queued, as the menu's Exit is.
        connect(
            quit_, &QAction::triggered, this, [this] { exitProgram(); }, Qt::QueuedConnection);
    }
    window->addAction(quit_);
}

void MainWindow::exitProgram() {
    for (QWidget* window : {skyWindow_.data(), approachesWindow_.data()}) {
        if (window != nullptr) {
            window->close();
        }
    }
    if (aboutBox_) {
        aboutBox_->done(0);
    }
    tray_->hideIcon();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::resizeEvent(QResizeEvent*) {
    // Not clamped: below 440 the info pane gets no width, and so no visible area.
    diagramPane_->setGeometry(0, 0, DIAGRAM_PANE_WIDTH, height());
    infoPane_->setGeometry(DIAGRAM_PANE_WIDTH, 0, std::max(width() - DIAGRAM_PANE_WIDTH, 0),
                           height());
    diagramPane_->show();
    infoPane_->show();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close(); // as the close box does
        return;
    }
    QWidget::keyPressEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (tray_->absent()) {
        exitProgram();
    } else {
        hide();
    }
}

void MainWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    reminders_.showUndelivered(this);
    if (!outer_.isNull()) {
        // The frame is known only once the window manager has decorated the window. Only the
        // first showing: after that the window is wherever the user has put it, also where it
        // was shown again before this has run.
        QTimer::singleShot(250, this, [this] {
            if (!outer_.isNull()) {
                keepOuterRect();
                outer_ = QRect();
            }
        });
    }
}

void MainWindow::keepOuterRect() {
    const QSize decoration = frameGeometry().size() - geometry().size();
    if (decoration == QSize(0, 0) && frameGeometry().topLeft() == outer_.topLeft()) {
        return;
    }
    setFixedSize(outer_.size() - decoration);
    move(outer_.topLeft());
}

} // namespace orvanta
