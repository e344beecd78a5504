#pragma once

// Mars's loop among the stars as an atlas draws it: north up and east on the left (or, for the
// southern hemisphere, south up and east on the right), the path a mark a day sized by Mars's
// brightness, the first of each month, the two stops, the opposition and the closest approach
// labelled with their dates, among the stars to magnitude 6 sized by theirs, those along the path
// named, the constellation figures, the names of the constellations it passes and the ecliptic,
// with a scale in degrees.

#include "display/label_placement.h"
#include "display/loop_scene.h"
#include "panes/star_sprites.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace orvanta {

class LoopPicture : public QWidget {
  public:
    explicit LoopPicture(QWidget* parent);
    // Empty: there is no loop to draw (the words say why).
    void setScene(std::optional<LoopScene> scene, const QString& none = {});
    const std::optional<LoopScene>& scene() const { return scene_; }
    // South up and east on the right, or north up and east on the left.
    void setSouthUp(bool southUp);

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    struct Label {
        QPointF at;
        double gap; // from `at`, past the mark there
        QString text;
        QColor colour;
    };
    // From the frame's degrees to the widget's pixels.
    QPointF toPixel(const ChartPoint& p) const;
    ChartPoint toChart(const QPointF& p) const;
    std::optional<QPointF> pixelOf(const Equatorial& place) const;
    // A place of the loop itself, which the frame holds (checked before anything is drawn).
    QPointF onPath(const Equatorial& place) const;
    void paintSky(QPainter& painter);
    // The path and its marks; the boxes where a label would cover them.
    std::vector<QRectF> paintPath(QPainter& painter) const;
    std::vector<Label> labels() const;
    void paintLabels(QPainter& painter, const std::vector<QRectF>& taken) const;
    void paintNames(QPainter& painter, std::vector<LabelBox>& taken,
                    const std::function<bool(const LabelBox&)>& inside) const;
    void paintKey(QPainter& painter) const;

    std::optional<LoopScene> scene_;
    QString none_;
    LoopFrame frame_{};
    QRectF plot_;
    double scale_ = 1; // pixels a degree
    StarSprites stars_{6.0};
};

} // namespace orvanta
