// The window room on Qt 6 Widgets: a window is a QWidget whose events are handed to its procedure
// as messages, posted messages are Qt events and timers are QTimers.

#include "platform/qt/registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstdio>

namespace qtlayer {

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

} // namespace

Registry::Registry() = default;
Registry::~Registry() = default;

// Never destroyed: what outlives the Qt application at process exit must still find it.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

std::uint32_t newId() {
    return registry().nextId++;
}

Window::Window(std::uint32_t id, const WindowClass& cls, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), id(id), windowClass(cls), className(cls.name),
      procedure(cls.procedure) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

Window::~Window() {
    stopTimers();
}

MessageResult Window::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!alive) {
        return 0;
    }
    return procedure(WindowHandle{id}, message, wParam, lParam);
}

void Window::setTimer(std::uint32_t timerId, std::uint32_t periodMs) {
    QTimer*& timer = timers_[timerId];
    if (timer == nullptr) {
        timer = new QTimer(this);
        QObject::connect(timer, &QTimer::timeout, this,
                         [this, timerId] { send(MSG_TIMER, timerId, 0); });
    }
    timer->start(static_cast<int>(periodMs));
}

// Deferred: the timer may be the one whose timeout is being handled right now.
void Window::stopTimer(std::uint32_t timerId) {
    const auto it = timers_.find(timerId);
    if (it != timers_.end()) {
        it->second->stop();
        it->second->deleteLater();
        timers_.erase(it);
    }
}

void Window::stopTimers() {
    while (!timers_.empty()) {
        stopTimer(timers_.begin()->first);
    }
}

bool Window::event(QEvent* e) {
    if (e->type() == POSTED_MESSAGE) {
        auto* posted = static_cast<PostedMessage*>(e);
        send(posted->message, posted->wParam, posted->lParam);
        return true;
    }
    return QWidget::event(e);
}

QSize Window::clientSize() const {
    return windowClass.devicePixels ? size() * devicePixelRatioF() : size();
}

void Window::resizeEvent(QResizeEvent*) {
    reportSize();
}

void Window::reportSize() {
    reportedSize_ = clientSize();
    send(MSG_SIZE, 0, sizeParam(reportedSize_.width(), reportedSize_.height()));
}

QImage& Window::backing() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (backing_.size() != pixels || backing_.devicePixelRatio() != ratio) {
        backing_ = QImage(pixels, QImage::Format_RGB32);
        backing_.setDevicePixelRatio(ratio);
        backing_.fill(Qt::black);
    }
    return backing_;
}

void Window::paintEvent(QPaintEvent*) {
    // On a screen of another pixel ratio a window that counts device pixels has a new size,
    // although Qt reports no resize.
    if (windowClass.devicePixels && clientSize() != reportedSize_) {
        reportSize();
    }
    send(MSG_ERASE_BACKGROUND, 0, 0);
    send(MSG_PAINT, 0, 0);
    if (windowClass.ownSurface && alive) {
        QPainter painter(this);
        painter.drawImage(0, 0, backing());
    }
}

void Window::closeEvent(QCloseEvent* e) {
    e->ignore(); // the procedure decides
    send(MSG_CLOSE, 0, 0);
}

void Window::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (isWindow() && !outer.isNull()) {
        // The frame is known only once the window manager has decorated the window. Only the
        // first showing: after that the window is wherever the user has put it.
        QTimer::singleShot(250, this, [this] {
            keepOuterRect();
            outer = QRect();
        });
    }
}

void Window::keepOuterRect() {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QSize decoration = frame.size() - client.size();
    if (decoration == QSize(0, 0) && frame.topLeft() == outer.topLeft()) {
        return;
    }
    setFixedSize(outer.size() - decoration);
    move(outer.topLeft());
}

Window* liveWindow(WindowHandle w) {
    const auto it = registry().windows.find(w.id);
    if (it == registry().windows.end() || it->second.isNull()) {
        return nullptr;
    }
    auto* window = dynamic_cast<Window*>(it->second.data());
    return window != nullptr && window->alive ? window : nullptr;
}

WindowHandle findTopLevel(const std::string& className, const std::string& title) {
    const QString wantedTitle = QString::fromStdString(title);
    for (const auto& [id, widget] : registry().windows) {
        const auto* window = dynamic_cast<const Window*>(widget.data());
        if (window != nullptr && window->alive && window->isWindow() &&
            window->className == className && window->windowTitle() == wantedTitle) {
            return WindowHandle{id};
        }
    }
    return {};
}

QIcon iconResource(int id) {
    QIcon icon;
    const QDir dir(QStringLiteral(":/%1").arg(id));
    for (const QString& file : dir.entryList(QDir::Files)) {
        icon.addFile(dir.filePath(file));
    }
    return icon;
}

void warn(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(text));
}

} // namespace qtlayer

using namespace qtlayer;

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
    constexpr std::uint32_t RANGE = LAST_REGISTERED_MESSAGE - FIRST_REGISTERED_MESSAGE + 1;
    std::uint32_t number = FIRST_REGISTERED_MESSAGE + hash % RANGE;
    auto& names = registry().messageNames;
    while (names.count(number) != 0 && names[number] != hash) {
        number = FIRST_REGISTERED_MESSAGE + (number - FIRST_REGISTERED_MESSAGE + 1) % RANGE;
    }
    names[number] = hash;
    return number;
}

bool isRegisteredMessage(std::uint32_t message) {
    return registry().messageNames.count(message) != 0;
}

bool registerWindowClass(const WindowClass& windowClass) {
    if (windowClass.name == nullptr || windowClass.procedure == nullptr) {
        return false;
    }
    return registry().classes.emplace(windowClass.name, windowClass).second;
}

WindowHandle createWindow(const char* className, const char* title, WindowStyle style,
                          WindowHandle parent, Rect rect) {
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
    const QRect geometry(rect.left, rect.top, std::max(rect.width(), 0),
                         std::max(rect.height(), 0));
    if (style == WindowStyle::FixedTopLevel) {
        window->outer = geometry;
        window->setFixedSize(geometry.size());
        window->move(geometry.topLeft());
    } else {
        window->setGeometry(geometry);
        window->hide(); // so that showing the parent leaves it hidden
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
        window->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
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

Rect clientRect(WindowHandle w) {
    const Window* window = liveWindow(w);
    if (window == nullptr) {
        return Rect{0, 0, 0, 0};
    }
    const QSize client = window->clientSize();
    return Rect{0, 0, client.width(), client.height()};
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
    } else if (message == MSG_ERASE_BACKGROUND) {
        Window* window = liveWindow(w);
        if (window != nullptr && window->windowClass.ownSurface &&
            window->windowClass.background == ClassBackground::Gray) {
            window->backing().fill(QColor(128, 128, 128));
        }
        return 1;
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
