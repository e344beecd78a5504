#pragma once

// One of the Approaches window's two pictures of the same scene: an approach picked with a click
// or the arrow keys, chosen with Enter or a double click, and the colours both pictures share.

#include "display/approaches_scene.h"
#include "panes/accessible.h"
#include "panes/texts.h"

#include <QColor>
#include <QWidget>
#include <functional>

class QPainter;

namespace orvanta {

namespace approaches_colours {
inline const QColor BACKGROUND(8, 10, 28);
inline const QColor GRID(70, 80, 120);
inline const QColor TEXT(220, 225, 240);
inline const QColor CURVE(255, 190, 140);
inline const QColor APPROACH(230, 70, 40);
inline const QColor TARGET(255, 220, 60);
inline const QColor NOW(120, 200, 255);
inline const QColor EARTH(90, 150, 255);
} // namespace approaches_colours

// `pick(index, choose)` is told when the user picks an approach (a click, the arrow keys), which
// only shows it, or chooses it (Enter, a double click). Only the primary button picks: a click
// with another is no choice, however near an approach it falls.
class ApproachesPicture : public QWidget {
  public:
    using Pick = std::function<void(int index, bool choose)>;
    ApproachesPicture(QWidget* parent, const ApproachesScene& scene, Pick pick);
    // Where an approach is drawn, to be clicked on.
    virtual QPointF placeOf(int index) const = 0;
    // The approach drawn nearest `at` within a click's reach, else -1.
    int approachAt(QPointF at) const;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // The picture's menu, with the approach under the pointer (or the one picked, from the
    // keyboard) to count down to.
    void contextMenuEvent(QContextMenuEvent* e) override;
    // The frame that shows where the keyboard is, when it brought the focus.
    void paintFocus(QPainter& painter);

    const ApproachesScene& scene_;

  private:
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
    Pick pick_;
};

} // namespace orvanta
