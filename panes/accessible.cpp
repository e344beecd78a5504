#include "panes/accessible.h"

#include "panes/diagram_pane.h"
#include "panes/info_pane.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QPainter>

namespace orvanta {

namespace {

// Read-only text: nothing to select, no caret, no character geometry beyond the box's.
class InfoBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit InfoBoxAccessible(InfoBoxWidget* box)
        : QAccessibleWidget(box, QAccessible::StaticText), box_(box) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return box_->title();
        }
        if (t == QAccessible::Value || t == QAccessible::Description) {
            return box_->text();
        }
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(int start, int end) const override { return box_->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(box_->text().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

  private:
    InfoBoxWidget* box_;
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    // A window of its own, such as the program's main window, reads as a window (not as a part of
    // one), with its name and description.
    if (auto* widget = qobject_cast<QWidget*>(object);
        widget != nullptr && widget->isWindow() && className == QLatin1String("QWidget")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (auto* box = dynamic_cast<InfoBoxWidget*>(object)) {
        return new InfoBoxAccessible(box);
    }
    if (auto* diagram = dynamic_cast<OrbitDiagramPane*>(object)) {
        return new QAccessibleWidget(diagram, QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

bool keyboardBroughtFocus(const QFocusEvent* e) {
    return e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason;
}

void drawFocusFrame(QPainter& painter, const QWidget& widget, qreal cornerRadius) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widget.palette().highlight(), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(widget.rect()).adjusted(1, 1, -1, -1), cornerRadius,
                            cornerRadius);
}

KeyboardFocusFrame::KeyboardFocusFrame(QWidget* widget) : QObject(widget) {
    widget->installEventFilter(this);
}

bool KeyboardFocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        shown_ = event->type() == QEvent::FocusIn &&
                 keyboardBroughtFocus(static_cast<QFocusEvent*>(event));
        static_cast<QWidget*>(watched)->update();
    }
    return false;
}

void installAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFor);
        return true;
    }();
    (void)installed;
}

} // namespace orvanta
