#pragma once

// Where the program's own windows (Mars tonight, Approaches) open: where the user last left them,
// kept in the settings, or else beside the main window rather than over it; and, for their
// content, a way to lay it out side by side where the window is wide and stacked where it is not,
// so that every part can be reached on a small screen.

#include <QRect>
#include <QScrollArea>
#include <QSize>
#include <functional>
#include <vector>

class QWidget;

namespace orvanta {

// The frame of a window that asks for a client area of `wanted` (no less than `minimum`, with the
// window manager's `decoration` around it) on `area` beside the frame `beside`: in the free strip
// around it that gives the most room and holds `minimum`, as large as asked and the strip allows;
// where no strip holds it, as large as the area allows, on it.
QRect placeBeside(QSize wanted, QSize minimum, QSize decoration, const QRect& beside,
                  const QRect& area);

// A kept frame moved onto the first of `areas` its title bar lies on, and shrunk to it; an empty
// rectangle where it lies on none (its screen gone).
QRect keptOnAreas(const QRect& kept, QSize minimum, QSize decoration,
                  const std::vector<QRect>& areas);

// Places `window` before it is first shown, where it was when it was last hidden (kept under
// "`section`/left", top, width and height) or beside `main`, and keeps its place each time it is
// hidden or closed.
void placeAndKeep(QWidget* window, const QWidget* main, const char* section);

// The parts a folding area holds. Where words wrap, the area would ask them for their preferred
// height at its width and scroll to show it; they are given their least instead, so that the
// area scrolls only where they cannot fit at all.
class FoldingContent : public QWidget {
  public:
    int heightForWidth(int width) const override;
};

// A window's content in a scroll area: `arrange` lays it out anew, wide or not, whenever the
// area's width passes `wideWidth`, so that where it is narrow the parts are stacked and scroll
// rather than being cut off.
class FoldingArea : public QScrollArea {
  public:
    FoldingArea(QWidget* parent, QWidget* content, int wideWidth,
                std::function<void(bool wide)> arrange);
    bool wide() const { return wide_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    int wideWidth_;
    std::function<void(bool)> arrange_;
    bool wide_ = false;
};

} // namespace orvanta
