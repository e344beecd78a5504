#pragma once

// The nights of an apparition at a glance, a column a night: a bar as high as Mars stands at its
// best in a dark sky, as bright as it is large, the column shaded where the Moon's light hinders,
// a band below as bright as the hours Mars stays well placed, and a mark on the nights a chosen
// feature faces Earth then; the months along the foot, the opposition, and a key above.

#include "display/nights_scene.h"

#include <QRectF>
#include <QWidget>
#include <optional>
#include <vector>

class QPainter;

namespace orvanta {

class NightsChartPicture : public QWidget {
  public:
    explicit NightsChartPicture(QWidget* parent);
    // Empty: there are no nights to draw (the words say why).
    void setScene(std::optional<NightsScene> scene, const QString& none = {});
    const std::optional<NightsScene>& scene() const { return scene_; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    // The key's entries flowed into lines across the width: each entry's left edge and line.
    struct KeyEntry {
        QString text;
        int kind; // 0 the sizes' gradient, 1 moonlight, 2 the hours, 3 the feature's mark, 4 a bar
        double x;
        int line;
    };
    std::vector<KeyEntry> key() const;
    QRectF plot() const;
    double columnWidth() const;
    double yOf(double altitude) const;
    void paintColumns(QPainter& painter) const;
    void paintAxes(QPainter& painter) const;
    void paintMonths(QPainter& painter) const;
    void paintKey(QPainter& painter) const;

    std::optional<NightsScene> scene_;
    QString none_;
};

} // namespace orvanta
