#pragma once

#include <QObject>
#include <QtGlobal>

class QFocusEvent;
class QPainter;
class QRectF;
class QWidget;

namespace orvanta {

// What screen readers meet in place of the panes' pictures: each box of the info pane as static
// text with the box's title as its name and its lines as its text, and the orbit diagram as a
// picture with a description. Installed once, before the first pane is made.
void installAccessibleInterfaces();

// Whether the keyboard (Tab, Shift+Tab) brought the focus: only then is a focus frame drawn, so
// that the picture is not changed otherwise.
bool keyboardBroughtFocus(const QFocusEvent* e);
// The focus frame over a part of the window, in the palette's highlight.
void drawFocusFrame(QPainter& painter, const QWidget& widget, qreal cornerRadius);

// Watches a widget's focus events and tells whether its frame is to be shown, repainting the
// widget when that changes: made once, with the widget as its parent.
class KeyboardFocusFrame : public QObject {
  public:
    explicit KeyboardFocusFrame(QWidget* widget);
    bool shown() const { return shown_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool shown_ = false;
};

} // namespace orvanta
