#pragma once

// The orbit diagram pane: the inner solar system from above, 2 AU to each side of the Sun, drawn
// with OpenGL off screen and copied to the pane when it is painted. It renders at the screen's own
// resolution: the scene is in AU, so more pixels only sharpen it.

#include "ephemeris/encounter_state.h"
#include "panes/accessible.h"
#include "panes/offscreen_gl_target.h"

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <future>
#include <optional>
#include <thread>

namespace orvanta {

constexpr std::chrono::milliseconds TIMER_DIAGRAM_PERIOD{900000};

constexpr float VIEW_HALF_EXTENT = 2.0f; // AU; also the photograph's half size
constexpr float EARTH_SPRITE_HALF_SIZE = 0.1f;
constexpr float MARS_SPRITE_HALF_SIZE = 0.06f;

class OrbitDiagramPane : public QWidget {
  public:
    explicit OrbitDiagramPane(QWidget* parent);
    ~OrbitDiagramPane() override;

    const OffscreenGlTarget& diagramTarget();
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
    // What a picture is drawn from: the encounter state and the trails at an instant.
    struct Scene;
    // The GL stack loads, the context is made and the textures uploaded on a thread of their own
    // while the rest of the program starts; the first picture too when the pane's first size
    // comes before anything else asks for the target (its scene, of the instant the pane was
    // made, found there while the GL stack loads). Nothing else of the pane is touched there.
    void prepareOffGuiThread(QSize initial, double now, EncounterState state,
                             std::future<std::optional<QSize>> firstPixels);
    // Waits for that thread, once: after it, everything is the GUI thread's, as without it. True
    // when it has fitted and drawn the target to the first size asked, which the thread had not.
    bool finishPreparing(bool withoutThread = false);
    void initDiagramGl();
    void deleteDiagramTextures();
    // Sizes the target to the pane in device pixels and renders it again.
    void fitTarget();
    // The target's size and projection alone; false when no bitmap could be made at that size.
    bool fitTarget(QSize pixels);
    void drawDiagram(const Scene& scene);

    OffscreenGlTarget diagramTarget_;
    std::thread preparing_;
    std::promise<std::optional<QSize>> firstPicture_; // its size in device pixels
    bool firstPictureAsked_ = false;
    bool firstPictureDrawn_ = false; // by the thread
    QTimer timerDiagram_;
    // The photograph, the Earth sprite, the Mars sprite.
    unsigned diagramTextures_[3] = {};
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
    std::int64_t describedMinute_ = -1;
};

} // namespace orvanta
