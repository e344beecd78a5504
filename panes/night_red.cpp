#include "panes/night_red.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QGraphicsEffect>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>
#include <QWidget>

namespace orvanta {

namespace {

// Marks the children given the greys, which alone are given their parents' palette again.
constexpr const char* GIVEN_GREYS = "orvantaNightGreys";

// The picture as its widget (and the widget's children) painted it, mapped as a whole: nothing a
// pane draws can escape the mapping, whatever colour it chose.
class NightRedEffect : public QGraphicsEffect {
  public:
    using QGraphicsEffect::QGraphicsEffect;

  protected:
    void draw(QPainter* painter) override {
        QPoint offset;
        // In device pixels, as the widget painted them: no scaling blurs a picture at ratio 2.
        const QPixmap painted = sourcePixmap(Qt::DeviceCoordinates, &offset, NoPad);
        if (painted.isNull()) {
            return;
        }
        QImage image = painted.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        toNightRed(image);
        const QTransform kept = painter->worldTransform();
        painter->setWorldTransform(QTransform());
        painter->drawImage(offset, image);
        painter->setWorldTransform(kept);
    }
};

// The widgets' colours in greys of the brightness each role has in the mode: inside the window
// the mapping makes them its reds.
QPalette nightGreys() {
    const auto grey = [](int level) { return QColor(level, level, level); };
    // The light and dark shades the style draws edges with follow the button's grey.
    QPalette palette(grey(40), grey(0));
    const struct {
        QPalette::ColorRole role;
        int level, disabled; // as shown, and where disabled
    } roles[] = {
        {QPalette::WindowText, 230, 120},
        {QPalette::Text, 230, 120},
        {QPalette::ButtonText, 230, 120},
        {QPalette::BrightText, 255, 140},
        {QPalette::Base, 18, 18},
        {QPalette::AlternateBase, 30, 30},
        {QPalette::Highlight, 110, 60},
        {QPalette::HighlightedText, 255, 140},
        {QPalette::ToolTipBase, 30, 30},
        {QPalette::ToolTipText, 230, 120},
        {QPalette::Link, 255, 140},
        {QPalette::LinkVisited, 200, 120},
        {QPalette::PlaceholderText, 140, 90},
    };
    for (const auto& r : roles) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, r.role, grey(r.level));
        }
        palette.setColor(QPalette::Disabled, r.role, grey(r.disabled));
    }
    return palette;
}

// A list that is a popup of its own (a completer's) paints its items on its viewport in its own
// palette, the reds: they are not mapped again.
bool isWindowsViewport(const QWidget* child) {
    const auto* list = qobject_cast<const QAbstractScrollArea*>(child->parentWidget());
    return list != nullptr && list->viewport() == child;
}

constexpr const char* IN_NIGHT_RED = "orvantaNightRed";

// Tips are one window for the whole program, in a palette of their own: in the reds while they
// tell of a window in the mode, else as they were.
class TipsInNightRed : public QObject {
  public:
    TipsInNightRed() : QObject(qApp), day_(QToolTip::palette()) { qApp->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
            const bool night =
                static_cast<QWidget*>(watched)->window()->property(IN_NIGHT_RED).toBool();
            QToolTip::setPalette(night ? nightRedPalette() : day_);
        }
        return false;
    }

  private:
    QPalette day_;
};

} // namespace

// Popups are windows of their own, outside the mapping: they take the reds themselves.
QPalette nightRedPalette() {
    QPalette palette = nightGreys();
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            palette.setColor(g, r, QColor::fromRgba(nightRed(palette.color(g, r).rgba())));
        }
    }
    return palette;
}

QRgb nightRed(QRgb colour) {
    return qRgba(qGray(colour) * NIGHT_RED_CAP / 255, 0, 0, qAlpha(colour));
}

void toNightRed(QImage& image) {
    if (image.depth() != 32) {
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = nightRed(line[x]);
        }
    }
}

void showInNightRed(QWidget* window, bool on) {
    // The popups the widgets open are windows of their own: a combo box's list made here, where
    // it is made only when first shown, so that it is among the window's children; a completer's
    // list has no parent.
    for (auto* box : window->findChildren<QComboBox*>()) {
        box->view();
    }
    std::vector<QWidget*> surfaces{window};
    for (auto* edit : window->findChildren<QLineEdit*>()) {
        if (edit->completer() != nullptr) {
            surfaces.push_back(edit->completer()->popup());
        }
    }
    std::vector<QWidget*> all;
    for (QWidget* surface : std::vector(surfaces)) {
        all.push_back(surface);
        for (QWidget* child : surface->findChildren<QWidget*>()) {
            (child->isWindow() ? surfaces : all).push_back(child);
        }
    }
    // None of these windows has a palette of its own: off, each takes its parent's again. A window
    // paints little itself (its background, a popup's frame): that is in the reds. All else is
    // painted by its children, each mapped as a whole once it has painted, from greys: a picture
    // or a photograph, and whatever colours a style draws a widget's edges with.
    for (QWidget* child : all) {
        // Only the windows' own children: one moved deeper since (a picture put into tabs) is
        // mapped with its new parent, and twice would darken it again.
        const bool mapped = on && child->parentWidget() != nullptr && !child->isWindow() &&
                            child->parentWidget()->isWindow() && !isWindowsViewport(child);
        if (mapped || child->property(GIVEN_GREYS).toBool()) {
            child->setPalette(mapped ? nightGreys() : QPalette());
            child->setProperty(GIVEN_GREYS, mapped);
        }
        // Owned by the child, which deletes the one it had when it is given another.
        if (mapped != (dynamic_cast<NightRedEffect*>(child->graphicsEffect()) != nullptr)) {
            child->setGraphicsEffect(mapped ? new NightRedEffect(child) : nullptr);
        }
    }
    window->setProperty(IN_NIGHT_RED, on);
    [[maybe_unused]] static const TipsInNightRed* const tips = new TipsInNightRed;
    // Last, the window before its popups: a combo box given a palette gives its list the menus'
    // again.
    for (QWidget* surface : surfaces) {
        surface->setPalette(on ? nightRedPalette() : QPalette());
    }
}

} // namespace orvanta
