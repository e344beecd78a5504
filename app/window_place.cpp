#include "app/window_place.h"

#include "app/settings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace orvanta {

namespace {

// The frame of `size` moved wholly onto `area` where it fits, else its top-left corner on it, so
// that the title bar can be reached.
QRect clampedTo(QRect frame, const QRect& area) {
    frame.moveLeft(std::clamp(frame.left(), area.left(),
                              std::max(area.left(), area.left() + area.width() - frame.width())));
    frame.moveTop(std::clamp(frame.top(), area.top(),
                             std::max(area.top(), area.top() + area.height() - frame.height())));
    return frame;
}

constexpr std::array<const char*, 4> PLACE_KEYS = {"left", "top", "width", "height"};
// Far enough for any arrangement of screens, and a window no larger than a wall of them.
constexpr double FARTHEST = 100000;

} // namespace

QRect placeBeside(QSize wanted, QSize minimum, QSize decoration, const QRect& beside,
                  const QRect& area) {
    const QRect strips[] = {
        QRect(QPoint(area.left(), area.top()), QPoint(beside.left() - 1, area.bottom())),
        QRect(QPoint(beside.right() + 1, area.top()), area.bottomRight()),
        QRect(area.topLeft(), QPoint(area.right(), beside.top() - 1)),
        QRect(QPoint(area.left(), beside.bottom() + 1), area.bottomRight()),
    };
    std::optional<QRect> best;
    for (std::size_t i = 0; i < std::size(strips); ++i) {
        const QSize room = strips[i].size() - decoration;
        if (strips[i].isEmpty() || room.width() < minimum.width() ||
            room.height() < minimum.height()) {
            continue;
        }
        const QSize frame = wanted.boundedTo(room).expandedTo(minimum) + decoration;
        // Next to the main window, level with it where the strip allows.
        QRect placed(QPoint(i == 0   ? beside.left() - frame.width()
                            : i == 1 ? beside.right() + 1
                                     : beside.left(),
                            i == 2   ? beside.top() - frame.height()
                            : i == 3 ? beside.bottom() + 1
                                     : beside.top()),
                     frame);
        placed = clampedTo(placed, strips[i]);
        const auto areaOf = [](const QRect& r) { return r.width() * r.height(); };
        if (!best || areaOf(placed) > areaOf(*best)) {
            best = placed;
        }
    }
    if (best) {
        return *best;
    }
    const QSize frame =
        (wanted + decoration).boundedTo(area.size()).expandedTo(minimum + decoration);
    return clampedTo(QRect(QPoint(beside.left() - frame.width(), beside.top()), frame), area);
}

QRect fittedTo(const QRect& frame, QSize minimum, QSize decoration, const QRect& area) {
    return clampedTo(QRect(frame.topLeft(),
                           frame.size().boundedTo(area.size()).expandedTo(minimum + decoration)),
                     area);
}

QRect keptOnAreas(const QRect& kept, QSize minimum, QSize decoration,
                  const std::vector<QRect>& areas) {
    // The title bar's middle, where the window is taken to be moved.
    const QPoint caption(kept.center().x(), kept.top() + std::max(decoration.height() / 2, 1));
    for (const QRect& area : areas) {
        if (area.contains(caption)) {
            return fittedTo(kept, minimum, decoration, area);
        }
    }
    return {};
}

namespace {

// Saves the window's place as it is hidden: closed, or gone with the program.
class PlaceKeeper : public QObject {
  public:
    PlaceKeeper(QWidget* window, const char* section) : QObject(window), window_(window) {
        for (std::size_t i = 0; i < PLACE_KEYS.size(); ++i) {
            keys_[i] = QByteArray(section) + '/' + PLACE_KEYS[i];
        }
        window->installEventFilter(this);
    }
    std::optional<QRect> kept() const {
        double read[PLACE_KEYS.size()];
        for (std::size_t i = 0; i < PLACE_KEYS.size(); ++i) {
            const std::optional<double> value =
                readNumberSetting(keys_[i].constData(), i < 2 ? -FARTHEST : 1, FARTHEST);
            if (!value) {
                return std::nullopt;
            }
            read[i] = *value;
        }
        return QRect(qRound(read[0]), qRound(read[1]), qRound(read[2]), qRound(read[3]));
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            // The frame is known only once the window manager has decorated the window, and
            // one that is resizable may be given a wider frame than the main window's.
            QTimer::singleShot(250, this, [this] { keepOnScreen(); });
        }
        if (watched == window_ && event->type() == QEvent::Hide) {
            const QPoint at = window_->frameGeometry().topLeft();
            const QSize size = window_->size();
            saveSettings({{keys_[0].constData(), QString::number(at.x())},
                          {keys_[1].constData(), QString::number(at.y())},
                          {keys_[2].constData(), QString::number(size.width())},
                          {keys_[3].constData(), QString::number(size.height())}});
        }
        return false;
    }

  private:
    void keepOnScreen() {
        const QRect frame = window_->frameGeometry();
        const QScreen* screen = window_->screen();
        if (screen == nullptr || screen->availableGeometry().contains(frame)) {
            return;
        }
        const QSize decoration = frame.size() - window_->size();
        const QRect fit =
            fittedTo(frame, window_->minimumSize(), decoration, screen->availableGeometry());
        window_->resize(fit.size() - decoration);
        window_->move(fit.topLeft());
    }
    QWidget* window_;
    bool shown_ = false;
    std::array<QByteArray, PLACE_KEYS.size()> keys_;
};

} // namespace

void placeAndKeep(QWidget* window, const QWidget* main, const char* section) {
    const auto* keeper = new PlaceKeeper(window, section);
    // The window manager's frame is not known before the window is shown: the main window's is
    // the one it will be given.
    const QSize decoration = main->frameGeometry().size() - main->geometry().size();
    const QSize minimum = window->minimumSize();
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.push_back(screen->availableGeometry());
    }
    QRect frame;
    if (const std::optional<QRect> kept = keeper->kept()) {
        frame = keptOnAreas(QRect(kept->topLeft(), kept->size() + decoration), minimum, decoration,
                            areas);
    }
    if (frame.isNull()) {
        const QScreen* screen =
            main->screen() != nullptr ? main->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return;
        }
        frame = placeBeside(window->size(), minimum, decoration, main->frameGeometry(),
                            screen->availableGeometry());
    }
    window->resize(frame.size() - decoration);
    window->move(frame.topLeft());
}

FoldingArea::FoldingArea(QWidget* parent, QWidget* content, int wideWidth,
                         std::function<void(bool wide)> arrange)
    : QScrollArea(parent), wideWidth_(wideWidth), arrange_(std::move(arrange)) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(content);
    arrange_(wide_);
}

void FoldingArea::resizeEvent(QResizeEvent* event) {
    // The viewport's resizes come here too: the area's own width decides.
    const bool wide = width() >= wideWidth_;
    if (wide != wide_) {
        wide_ = wide;
        arrange_(wide);
    }
    QScrollArea::resizeEvent(event);
}

} // namespace orvanta
