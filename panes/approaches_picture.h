#pragma once

// One of the Approaches window's two pictures of the same scene: the approaches picked with the
// arrow keys and chosen with a click or Enter, and the colours both pictures share.

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

// `pick(index, choose)` is told when the user picks an approach (with the arrow keys) or chooses
// it (a click, Enter).
class ApproachesPicture : public QWidget {
  public:
    using Pick = std::function<void(int index, bool choose)>;
    ApproachesPicture(QWidget* parent, const ApproachesScene& scene, Pick pick);
    // Where an approach is drawn, to be clicked on.
    virtual QPointF placeOf(int index) const = 0;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    // The picture's menu, with the approach under the pointer (or the one picked, from the
    // keyboard) to count down to.
    void contextMenuEvent(QContextMenuEvent* e) override;
    // The frame that shows where the keyboard is, when it brought the focus.
    void paintFocus(QPainter& painter);

    const ApproachesScene& scene_;

  private:
    // The approach drawn within a click's reach of `at`, else -1.
    int approachAt(QPointF at) const;
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
    Pick pick_;
};

} // namespace orvanta
