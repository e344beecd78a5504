#include "app/window_place.h"

#include "app/settings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <optional>

namespace orvanta {

namespace {

// The frame moved wholly onto `area` where it fits, else its top-left corner on it, so
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

namespace {

// The frame moved and shrunk onto `area`, no smaller than `minimum` with its decoration.
QRect fittedTo(const QRect& frame, QSize minimum, QSize decoration, const QRect& area) {
    return clampedTo(QRect(frame.topLeft(),
                           frame.size().boundedTo(area.size()).expandedTo(minimum + decoration)),
                     area);
}

} // namespace

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
    PlaceKeeper(QWidget* window, const QWidget* main, const char* section)
        : QObject(window), window_(window), main_(main), wanted_(window->size()) {
        for (std::size_t i = 0; i < PLACE_KEYS.size(); ++i) {
            keys_[i] = QByteArray(section) + '/' + PLACE_KEYS[i];
        }
        window->installEventFilter(this);
    }

    // Where it was left, else beside the main window, for a frame of `decoration`.
    void place(QSize decoration) {
        const QSize minimum = window_->minimumSize();
        std::vector<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens()) {
            areas.push_back(screen->availableGeometry());
        }
        QRect frame;
        if (const std::optional<QRect> kept = this->kept()) {
            frame = keptOnAreas(QRect(kept->topLeft(), kept->size() + decoration), minimum,
                                decoration, areas);
        }
        const QScreen* screen = main_ && main_->screen() != nullptr
                                    ? main_->screen()
                                    : QGuiApplication::primaryScreen();
        if (frame.isNull() && screen != nullptr) {
            frame =
                placeBeside(wanted_, minimum, decoration, main_ ? main_->frameGeometry() : QRect(),
                            screen->availableGeometry());
        }
        if (!frame.isNull() && frame != window_->frameGeometry()) {
            window_->resize(frame.size() - decoration);
            window_->move(frame.topLeft());
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show && !shown_) {
            shown_ = true;
            // The frame is known only once the window manager has decorated the window, and a
            // window that can be resized may be given a deeper one than the main window's.
            QTimer::singleShot(
                250, this, [this] { place(window_->frameGeometry().size() - window_->size()); });
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
    QWidget* window_;
    QPointer<const QWidget> main_;
    QSize wanted_;
    bool shown_ = false;
    std::array<QByteArray, PLACE_KEYS.size()> keys_;
};

} // namespace

void placeAndKeep(QWidget* window, const QWidget* main, const char* section) {
    // The window manager's frame is not known before the window is shown: the main window's is
    // the one it is likely to be given.
    (new PlaceKeeper(window, main, section))
        ->place(main->frameGeometry().size() - main->geometry().size());
}

int FoldingContent::heightForWidth(int width) const {
    return layout() != nullptr ? layout()->totalMinimumHeightForWidth(width)
                               : QWidget::heightForWidth(width);
}

FoldingArea::FoldingArea(QWidget* parent, QWidget* content, int wideWidth,
                         std::function<void(bool wide)> arrange)
    : QScrollArea(parent), wideWidth_(wideWidth), arrange_(std::move(arrange)) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus); // the keyboard goes from one part to the next, not to the area
    setWidgetResizable(true);
    setWidget(content);
    arrange_(wide_);
}

void FoldingArea::resizeEvent(QResizeEvent* event) {
    // The viewport's resizes come here too: the area's own width decides.
    const bool wide = width() >= wideWidth_;
    const bool turned = wide != wide_;
    if (turned) {
        wide_ = wide;
        arrange_(wide);
        widget()->layout()->activate();
    }
    QScrollArea::resizeEvent(event);
    if (turned) {
        // The scroll bars anew for the content as it is now laid out, before anything is drawn.
        QEvent settled(QEvent::LayoutRequest);
        QCoreApplication::sendEvent(this, &settled);
    }
}

} // namespace orvanta
