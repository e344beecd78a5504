#pragma once

// The orbit diagram pane: the inner solar system from above, 2 AU to each side of the Sun, drawn
// with OpenGL off screen and copied to the pane when it is painted. It renders at the screen's own
// resolution: the scene is in AU, so more pixels only sharpen it.

#include "panes/accessible.h"
#include "panes/offscreen_gl_target.h"

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>

namespace orvanta {

constexpr std::chrono::milliseconds TIMER_DIAGRAM_PERIOD{900000};

constexpr float VIEW_HALF_EXTENT = 2.0f; // AU; also the photograph's half size
constexpr float EARTH_SPRITE_HALF_SIZE = 0.1f;
constexpr float MARS_SPRITE_HALF_SIZE = 0.06f;

class OrbitDiagramPane : public QWidget {
  public:
    explicit OrbitDiagramPane(QWidget* parent);
    ~OrbitDiagramPane() override;

    const OffscreenGlTarget& diagramTarget() const { return diagramTarget_; }
    // Draws the whole scene into the target from a fresh clock reading and the encounter state;
    // it is completed and copied when the pane is painted next.
    void renderDiagram();
    // Puts the scene into words for screen readers, from the encounter state, once a minute of
    // the clock (`nowSeconds`) at most.
    void describe(std::int64_t nowSeconds);

  protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

  private:
    void initDiagramGl();
    void deleteDiagramTextures();
    // Sizes the target to the pane in device pixels and renders it again.
    void fitTarget();

    OffscreenGlTarget diagramTarget_;
    QTimer timerDiagram_;
    // The photograph, the Earth sprite, the Mars sprite.
    unsigned diagramTextures_[3] = {};
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
    std::int64_t describedMinute_ = -1;
};

} // namespace orvanta
