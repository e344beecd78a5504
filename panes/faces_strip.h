#pragma once

// The night's faces of Mars as a strip: the surface along its equator as it turns past the
// central meridian through the pass, the time running left to right, the place's hours under
// it, washed out where the sky is lit, and above it each named feature at the instant it stands
// on the central meridian. A click on a feature's mark chooses that instant.

#include "display/face_words.h"

#include <QImage>
#include <QWidget>
#include <functional>

namespace orvanta {

class FacesStrip : public QWidget {
  public:
    explicit FacesStrip(QWidget* parent);
    void setScene(FacesScene scene);
    // The instant the window shows, marked across the band while it lies in the pass.
    void setNow(double utJd);
    const FacesScene& scene() const { return scene_; }
    // Called with the UT instant of the mark clicked.
    void onChosen(std::function<void(double utJd)> chosen) { chosen_ = std::move(chosen); }
    // Where an instant of the pass is drawn across the strip.
    double xOf(double utJd) const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRectF band() const;
    // The surface as it turns past, in device pixels, made again for a new scene or size.
    void paintSurface(qreal ratio);
    FacesScene scene_;
    std::function<void(double)> chosen_;
    QImage surface_;
    double now_ = 0;
};

} // namespace orvanta
