#pragma once

// The Earth–Mars distance over the span's years, each closest approach marked with its date, its
// distance and the apparent diameter of Mars; now and the approach counted to across the height.

#include "panes/approaches_picture.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace orvanta {

class DistanceChartPicture : public ApproachesPicture {
  public:
    using ApproachesPicture::ApproachesPicture;
    // Where an instant falls, across the widget.
    double xOf(double jd) const;

    QPointF placeOf(int index) const override;

  protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;

  private:
    double yOf(double au) const;
    double topAu() const;
    QRectF plot() const;
    void paintScales(QPainter& painter) const;
    void paintYears(QPainter& painter) const;
    void paintNowAndTarget(QPainter& painter) const;
    void paintApproaches(QPainter& painter) const;
    const QImage& curveLayer(qreal ratio) const;

    // What the curve's picture was drawn for: the span, known by its samples' count and first
    // and last instants and distances (never by where they lie in memory, which a new span may
    // reuse), the scale, the size and the pixel ratio.
    struct CurveKey {
        std::size_t count = 0;
        double first = 0, last = 0, firstAu = 0, lastAu = 0, topAu = 0;
        QSize size;
        qreal ratio = 0;
        bool operator==(const CurveKey&) const = default;
    };
    mutable CurveKey curveKey_;
    mutable QImage curveLayer_;

    // The approaches' labels and the widest one's width, made once for a span and a font: the
    // span is known by its approaches' count and first and last instants, which no other has.
    struct Labels {
        std::size_t count = 0;
        double first = 0, last = 0;
        QString font;
        std::vector<QStringList> texts;
        double width = 0;
    };
    const Labels& labels() const;
    mutable Labels labels_;
};

} // namespace orvanta
