#include "panes/night_red.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QGraphicsEffect>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>

namespace orvanta {

namespace {

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
    // Everything in the window is drawn by its children, each mapped as a whole once it has
    // painted: a picture or a photograph, and whatever colour a style draws a widget's edges with.
    for (QWidget* child : window->findChildren<QWidget*>()) {
        // A child moved deeper since (a picture put into tabs) is mapped with its new parent:
        // twice would darken it again.
        const bool mapped = on && !child->isWindow() && child->parentWidget() == window;
        // Owned by the child, which deletes the one it had when it is given another.
        if (mapped != (dynamic_cast<NightRedEffect*>(child->graphicsEffect()) != nullptr)) {
            child->setGraphicsEffect(mapped ? new NightRedEffect(child) : nullptr);
        }
    }
    window->setPalette(on ? nightGreys() : QPalette());
    // Popups are windows of their own, which take no palette from the window. The calendar's is
    // made here, so that it is among the children when they are given the palette; a completer's
    // list has no parent.
    for (auto* edit : window->findChildren<QDateTimeEdit*>()) {
        if (edit->calendarPopup()) {
            edit->calendarWidget();
        }
    }
    std::vector<QWidget*> popups;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->isWindow()) {
            popups.push_back(child);
        }
    }
    for (auto* edit : window->findChildren<QLineEdit*>()) {
        if (edit->completer() != nullptr) {
            popups.push_back(edit->completer()->popup());
        }
    }
    for (QWidget* popup : popups) {
        // None of them has a palette of its own: off, they take the application's again.
        popup->setPalette(on ? nightRedPalette() : QPalette());
    }
}

} // namespace orvanta
