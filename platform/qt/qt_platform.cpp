// The window layer on Qt 6 Widgets: a window is a QWidget whose events are handed to its procedure
// as messages; posted messages are Qt events; the tray icon, popup menu and dialog are their Qt
// counterparts; the single-instance marker is a lock file and the show request travels over a
// local socket beside it.

#include "platform/platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const QEvent::Type POSTED_MESSAGE = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
  public:
    PostedMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
        : QEvent(POSTED_MESSAGE), message(message), wParam(wParam), lParam(lParam) {}
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class Window;
class Dialog;

struct Registry {
    std::map<std::string, WindowClass> classes;
    std::map<std::uint32_t, QPointer<QWidget>> windows; // windows and dialogs alike
    std::map<std::uint32_t, std::unique_ptr<QMenu>> menus;
    std::map<std::pair<std::uint32_t, std::uint32_t>, QSystemTrayIcon*> trayIcons;
    std::map<std::uint32_t, std::uint32_t> messageNames; // number -> hash of the name
    std::uint32_t nextId = 1;
};

Registry& registry() {
    static Registry r;
    return r;
}

QIcon iconResource(int id) {
    QIcon icon;
    const QDir dir(QStringLiteral(":/%1").arg(id));
    for (const QString& file : dir.entryList(QDir::Files)) {
        icon.addFile(dir.filePath(file));
    }
    return icon;
}

class Window : public QWidget {
  public:
    Window(std::uint32_t id, const WindowClass& cls, QWidget* parent, Qt::WindowFlags flags)
        : QWidget(parent, flags), id(id), className(cls.name), procedure(cls.procedure) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

    MessageResult send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        if (!alive) {
            return 0;
        }
        return procedure(WindowHandle{id}, message, wParam, lParam);
    }

    void setTimer(std::uint32_t timerId, std::uint32_t periodMs) {
        auto& timer = timers[timerId];
        if (!timer) {
            timer = std::make_unique<QTimer>();
            QObject::connect(timer.get(), &QTimer::timeout, this,
                             [this, timerId] { send(MSG_TIMER, timerId, 0); });
        }
        timer->start(static_cast<int>(periodMs));
    }

    // Deferred: the timer may be the one whose timeout is being handled right now.
    void stopTimer(std::uint32_t timerId) {
        const auto it = timers.find(timerId);
        if (it != timers.end()) {
            it->second->stop();
            it->second.release()->deleteLater();
            timers.erase(it);
        }
    }
    void stopTimers() {
        while (!timers.empty()) {
            stopTimer(timers.begin()->first);
        }
    }

    const std::uint32_t id;
    const std::string className;
    const WindowProc procedure;
    bool alive = true;
    std::map<std::uint32_t, std::unique_ptr<QTimer>> timers;
    // Top-level windows keep their outer rectangle once the window manager reports its frame.
    QRect outer;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == POSTED_MESSAGE) {
            auto* posted = static_cast<PostedMessage*>(e);
            send(posted->message, posted->wParam, posted->lParam);
            return true;
        }
        return QWidget::event(e);
    }
    void resizeEvent(QResizeEvent*) override { send(MSG_SIZE, 0, sizeParam(width(), height())); }
    void paintEvent(QPaintEvent*) override { send(MSG_PAINT, 0, 0); }
    void closeEvent(QCloseEvent* e) override {
        e->ignore(); // the procedure decides
        send(MSG_CLOSE, 0, 0);
    }
    void showEvent(QShowEvent* e) override {
        QWidget::showEvent(e);
        if (isWindow() && !outer.isNull()) {
            // The frame is known only once the window manager has decorated the window.
            QTimer::singleShot(250, this, [this] { keepOuterRect(); });
        }
    }

  private:
    void keepOuterRect() {
        const QRect frame = frameGeometry();
        const QRect client = geometry();
        const QSize decoration = frame.size() - client.size();
        if (decoration == QSize(0, 0) && frame.topLeft() == outer.topLeft()) {
            return;
        }
        setFixedSize(outer.size() - decoration);
        move(outer.topLeft());
    }
};

Window* liveWindow(WindowHandle w) {
    auto it = registry().windows.find(w.id);
    if (it == registry().windows.end() || it->second.isNull()) {
        return nullptr;
    }
    auto* window = dynamic_cast<Window*>(it->second.data());
    return window != nullptr && window->alive ? window : nullptr;
}

class Dialog : public QDialog {
  public:
    Dialog(std::uint32_t id, DialogProc procedure, QWidget* owner)
        : QDialog(owner), id(id), procedure(procedure) {}

    void command(std::uintptr_t which) { procedure(DialogHandle{id}, MSG_COMMAND, which, 0); }

    const std::uint32_t id;
    const DialogProc procedure;

    void reject() override { command(COMMAND_CANCEL); } // Escape

  protected:
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        command(COMMAND_CANCEL);
    }
};

std::uint32_t newId() {
    return registry().nextId++;
}

// The name of the channel and lock of one marker: per user (the runtime folder is the user's own)
// and per display.
QString markerPath(const char* name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/orvanta-%1").arg(getuid());
        QDir().mkpath(folder);
    }
    QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    if (display.isEmpty()) {
        display = QString::fromLocal8Bit(qgetenv("WAYLAND_DISPLAY"));
    }
    QString base = QString::fromUtf8(name) + QLatin1Char('-') + display;
    for (QChar& c : base) {
        if (!c.isLetterOrNumber()) {
            c = QLatin1Char('_');
        }
    }
    return folder + QLatin1Char('/') + base;
}

struct Marker {
    std::unique_ptr<QLockFile> lock;
    std::unique_ptr<QLocalServer> server;
};
std::map<std::uint32_t, Marker> markers;
QString lastMarkerPath;

WindowHandle findTopLevel(const QString& className, const QString& title) {
    for (auto& [id, widget] : registry().windows) {
        auto* window = dynamic_cast<Window*>(widget.data());
        if (window != nullptr && window->alive && window->isWindow() &&
            QString::fromStdString(window->className) == className &&
            window->windowTitle() == title) {
            return WindowHandle{id};
        }
    }
    return {};
}

// One request a line: class, title, message, wParam, lParam, separated by unit separators.
constexpr char FIELD_SEPARATOR = '\x1f';

void serveRequest(QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        while (socket->canReadLine()) {
            const QList<QByteArray> fields = socket->readLine().trimmed().split(FIELD_SEPARATOR);
            if (fields.size() != 5) {
                continue;
            }
            const WindowHandle target =
                findTopLevel(QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]));
            if (target) {
                postMessage(target, fields[2].toUInt(), fields[3].toULongLong(),
                            static_cast<std::intptr_t>(fields[4].toLongLong()));
            }
        }
    });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
}

} // namespace

InstanceHandle currentInstance() {
    static const int module = 0;
    return InstanceHandle{&module};
}

std::uint32_t registerMessage(const char* name) {
    // FNV-1a of the name picks the number, so every process agrees on it without a shared table.
    std::uint32_t hash = 2166136261u;
    for (const char* c = name; *c != '\0'; ++c) {
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    }
    std::uint32_t number = 0xC000 + hash % 0x4000;
    auto& names = registry().messageNames;
    while (names.count(number) != 0 && names[number] != hash) {
        number = 0xC000 + (number - 0xC000 + 1) % 0x4000;
    }
    names[number] = hash;
    return number;
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (windowClass.name == nullptr || windowClass.procedure == nullptr) {
        return false;
    }
    return registry().classes.emplace(windowClass.name, windowClass).second;
}

WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect, InstanceHandle) {
    const auto cls = registry().classes.find(className);
    if (cls == registry().classes.end()) {
        return {};
    }
    QWidget* parentWidget = nullptr;
    if (parent) {
        parentWidget = liveWindow(parent);
        if (parentWidget == nullptr) {
            return {};
        }
    }
    Qt::WindowFlags flags;
    if (style == WindowStyle::FixedTopLevel) {
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    const std::uint32_t id = newId();
    auto* window = new Window(id, cls->second, parentWidget, flags);
    window->setWindowTitle(QString::fromUtf8(title));
    if (cls->second.iconId != 0) {
        window->setWindowIcon(iconResource(cls->second.iconId));
    }
    const QRect geometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (style == WindowStyle::FixedTopLevel) {
        window->outer = geometry;
        window->setFixedSize(geometry.size());
        window->move(geometry.topLeft());
    } else {
        window->setGeometry(geometry);
    }
    registry().windows[id] = window;
    if (window->send(MSG_CREATE, 0, 0) == -1) {
        window->alive = false;
        registry().windows.erase(id);
        delete window;
        return {};
    }
    return WindowHandle{id};
}

void destroyWindow(WindowHandle w) {
    Window* window = liveWindow(w);
    if (window == nullptr) {
        return;
    }
    // A modal box owned by this window ends first, so its loop unwinds before anything is deleted.
    for (QDialog* dialog : window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        dialog->done(0);
    }
    window->send(MSG_DESTROY, 0, 0);
    for (Window* child : window->findChildren<Window*>(Qt::FindDirectChildrenOnly)) {
        destroyWindow(WindowHandle{child->id});
    }
    window->stopTimers();
    window->alive = false;
    window->hide();
    registry().windows.erase(w.id);
    // Deferred: the window may be deep in its own call stack (a menu, a modal box) right now.
    window->deleteLater();
}

void moveWindow(WindowHandle w, int x, int y, int width, int height, bool repaint) {
    if (Window* window = liveWindow(w)) {
        // A negative size has no visible area.
        window->setGeometry(x, y, width < 0 ? 0 : width, height < 0 ? 0 : height);
        if (repaint) {
            window->update();
        }
    }
}

void showWindow(WindowHandle w) {
    if (Window* window = liveWindow(w)) {
        window->show();
    }
}

void hideWindow(WindowHandle w) {
    if (Window* window = liveWindow(w)) {
        window->hide();
    }
}

void bringToForeground(WindowHandle w) {
    if (Window* window = liveWindow(w)) {
        window->raise();
        window->activateWindow();
    }
}

void invalidateWindow(WindowHandle w) {
    if (Window* window = liveWindow(w)) {
        window->update();
    }
}

MessageResult sendMessage(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    Window* window = liveWindow(w);
    return window == nullptr ? 0 : window->send(message, wParam, lParam);
}

bool postMessage(WindowHandle w, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    Window* window = liveWindow(w);
    if (window == nullptr) {
        return false;
    }
    QCoreApplication::postEvent(window, new PostedMessage(message, wParam, lParam));
    return true;
}

MessageResult defaultWindowProc(WindowHandle w, std::uint32_t message, std::uintptr_t,
                                std::intptr_t) {
    if (message == MSG_CLOSE) {
        destroyWindow(w);
    }
    return 0;
}

void setTimer(WindowHandle w, std::uint32_t id, std::uint32_t periodMs) {
    if (Window* window = liveWindow(w)) {
        window->setTimer(id, periodMs);
    }
}

void killTimer(WindowHandle w, std::uint32_t id) {
    if (Window* window = liveWindow(w)) {
        window->stopTimer(id);
    }
}

Rect workArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return Rect{0, 0, 0, 0};
    }
    const QRect area = screen->availableGeometry();
    return Rect{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

int runMessageLoop() {
    return QApplication::exec();
}

void postQuit(int code) {
    // Queued like a quit message: what is already pending is handled first.
    QMetaObject::invokeMethod(
        qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

bool addTrayIcon(const TrayIcon& icon) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || liveWindow(icon.owner) == nullptr) {
        return false;
    }
    auto* tray = new QSystemTrayIcon(iconResource(icon.iconId));
    tray->setToolTip(QString::fromUtf8(icon.tip));
    const WindowHandle owner = icon.owner;
    const std::uint32_t message = icon.callbackMessage;
    const std::uint32_t id = icon.id;
    // Delivered as posted messages, as a shell would: the procedure may open a menu or a modal box
    // and even remove this icon, which it must not do from inside the icon's own signal.
    QObject::connect(tray, &QSystemTrayIcon::activated, tray,
                     [owner, message, id](QSystemTrayIcon::ActivationReason reason) {
                         std::intptr_t mouse = 0;
                         switch (reason) {
                         case QSystemTrayIcon::Trigger:
                             mouse = MOUSE_LEFT_DOWN;
                             break;
                         case QSystemTrayIcon::DoubleClick:
                             mouse = MOUSE_LEFT_DOUBLE_CLICK;
                             break;
                         case QSystemTrayIcon::Context:
                             mouse = MOUSE_RIGHT_DOWN;
                             break;
                         default:
                             return;
                         }
                         postMessage(owner, message, id, mouse);
                     });
    tray->show();
    registry().trayIcons[{icon.owner.id, icon.id}] = tray;
    return true;
}

void removeTrayIcon(WindowHandle owner, std::uint32_t id) {
    const auto it = registry().trayIcons.find({owner.id, id});
    if (it != registry().trayIcons.end()) {
        it->second->hide();
        it->second->deleteLater();
        registry().trayIcons.erase(it);
    }
}

Point cursorPosition() {
    const QPoint p = QCursor::pos();
    return Point{p.x(), p.y()};
}

MenuHandle createPopupMenu(std::span<const MenuItem> items) {
    auto menu = std::make_unique<QMenu>();
    for (const MenuItem& item : items) {
        if (item.command == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(QString::fromUtf8(item.text))->setData(item.command);
        }
    }
    const std::uint32_t id = newId();
    registry().menus[id] = std::move(menu);
    return MenuHandle{id};
}

std::uint32_t trackPopupMenu(MenuHandle handle, Point at, WindowHandle) {
    const auto it = registry().menus.find(handle.id);
    if (it == registry().menus.end()) {
        return 0;
    }
    QPointer<QMenu> menu = it->second.get();
    const QAction* chosen = menu->exec(QPoint(at.x, at.y));
    return chosen != nullptr && !menu.isNull() ? chosen->data().toUInt() : 0;
}

void destroyMenu(MenuHandle handle) {
    const auto it = registry().menus.find(handle.id);
    if (it != registry().menus.end()) {
        it->second.release()->deleteLater();
        registry().menus.erase(it);
    }
}

int runModalDialog(InstanceHandle, const DialogTemplate& dialogTemplate, WindowHandle owner,
                   DialogProc procedure) {
    const std::uint32_t id = newId();
    QPointer<Dialog> dialog = new Dialog(id, procedure, liveWindow(owner));
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setWindowModality(dialog->parentWidget() != nullptr ? Qt::WindowModal
                                                                : Qt::ApplicationModal);
    QFont font = dialog->font();
    font.setPointSize(dialogTemplate.fontPoints);
    dialog->setFont(font);

    // Dialog units: a quarter of the average character width, an eighth of the line height.
    const QFontMetrics metrics(font);
    const double unitX = metrics.averageCharWidth() / 4.0;
    const double unitY = metrics.height() / 8.0;
    auto scaled = [&](int x, int y, int w, int h) {
        return QRect(qRound(x * unitX), qRound(y * unitY), qRound(w * unitX), qRound(h * unitY));
    };
    for (const DialogControl& control : dialogTemplate.controls) {
        const QRect place = scaled(control.x, control.y, control.width, control.height);
        switch (control.kind) {
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(QString::fromUtf8(control.text), dialog);
            button->setDefault(true);
            button->setAutoDefault(true);
            button->setGeometry(place);
            const std::uintptr_t which = static_cast<std::uintptr_t>(control.id);
            QObject::connect(button, &QPushButton::clicked, dialog,
                             [d = dialog.data(), which] { d->command(which); });
            break;
        }
        case ControlKind::Text: {
            auto* label = new QLabel(QString::fromUtf8(control.text), dialog);
            label->setGeometry(place.adjusted(0, 0, place.width(), 0)); // room for wider fonts
            break;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(dialog);
            const int side = qMax(place.width(), place.height());
            label->setPixmap(iconResource(std::atoi(control.text)).pixmap(side, side));
            label->setGeometry(QRect(place.topLeft(), QSize(side, side)));
            break;
        }
        }
    }
    const QRect size = scaled(0, 0, dialogTemplate.width, dialogTemplate.height);
    dialog->setFixedSize(size.size());
    const Rect area = workArea();
    dialog->move((area.left + area.right - size.width()) / 2,
                 (area.top + area.bottom - size.height()) / 2);

    registry().windows[id] = dialog.data();
    procedure(DialogHandle{id}, MSG_INIT_DIALOG, 0, 0);
    const int result = dialog->exec();
    registry().windows.erase(id);
    if (!dialog.isNull()) {
        dialog->deleteLater();
    }
    return result;
}

void endDialog(DialogHandle handle, int result) {
    const auto it = registry().windows.find(handle.id);
    if (it == registry().windows.end()) {
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(it->second.data())) {
        dialog->done(result);
    }
}

InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted) {
    alreadyExisted = false;
    const QString path = markerPath(name);
    lastMarkerPath = path;
    Marker marker;
    marker.lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    // Age alone never makes the marker stale; a holder that no longer runs does.
    marker.lock->setStaleLockTime(0);
    if (!marker.lock->tryLock(0)) {
        alreadyExisted = marker.lock->error() == QLockFile::LockFailedError;
        if (alreadyExisted) {
            return {};
        }
        marker.lock.reset(); // an unusable folder: run as the first instance, without a marker
    } else {
        marker.server = std::make_unique<QLocalServer>();
        marker.server->setSocketOptions(QLocalServer::UserAccessOption);
        const QString socket = path + QStringLiteral(".socket");
        QLocalServer::removeServer(socket); // left over by a crashed holder of the lock
        QLocalServer* server = marker.server.get();
        QObject::connect(server, &QLocalServer::newConnection, server, [server] {
            while (QLocalSocket* connection = server->nextPendingConnection()) {
                serveRequest(connection);
            }
        });
        server->listen(socket);
    }
    const std::uint32_t id = newId();
    markers[id] = std::move(marker);
    return InstanceMarker{id};
}

void closeInstanceMarker(InstanceMarker marker) {
    markers.erase(marker.id);
}

bool postToNamedWindow(const char* className, const char* title, std::uint32_t message,
                       std::uintptr_t wParam, std::intptr_t lParam) {
    if (const WindowHandle local =
            findTopLevel(QString::fromUtf8(className), QString::fromUtf8(title))) {
        return postMessage(local, message, wParam, lParam);
    }
    if (lastMarkerPath.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(lastMarkerPath + QStringLiteral(".socket"));
    if (!socket.waitForConnected(2000)) {
        return false;
    }
    QByteArray request = QByteArray(className) + FIELD_SEPARATOR + QByteArray(title) +
                         FIELD_SEPARATOR + QByteArray::number(message) + FIELD_SEPARATOR +
                         QByteArray::number(static_cast<qulonglong>(wParam)) + FIELD_SEPARATOR +
                         QByteArray::number(static_cast<qlonglong>(lParam)) + '\n';
    socket.write(request);
    // Only the delivery of the request is awaited, not its handling.
    const bool sent = socket.waitForBytesWritten(2000);
    socket.disconnectFromServer();
    return sent;
}
