#pragma once

// The sky of a place as a dome, a star chart held overhead: the horizon a circle, the zenith at
// its centre, north up and east on the left; Mars's track from rise to set with the local hours,
// brighter where the sky is dark, and Mars itself when it is up; the chart's stars, figures,
// ecliptic, names, the Moon and the Sun, on a sky coloured by how lit it is.

#include "ephemeris/sky_tonight.h"
#include "panes/accessible.h"
#include "panes/star_sprites.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <QTimeZone>
#include <QWidget>
#include <vector>

class QPainter;

namespace orvanta {

// Where the four points of the compass are written: outside the horizon, clear of what is on it.
std::vector<QRectF> compassBoxes(const QPointF& centre, double radius, const QFontMetricsF& bold);

class SkyDome : public QWidget {
  public:
    explicit SkyDome(QWidget* parent);
    // Draws the record: Mars, its track and the chart, on the sky its Sun makes.
    void setSky(const SkyTonight& sky);
    // The clock whose whole hours are marked along the track: the place's.
    void setZone(const QTimeZone& zone) { zone_ = zone; }
    // The labels the last paint found room for, in their order of priority.
    const QStringList& labelsShown() const { return labelsShown_; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

  private:
    // The whole hours of the zone's clock along the track above the horizon, and their text.
    struct Hour {
        QPointF at;
        QPointF along; // the track's way there, of unit length
        QString text;
        double utJd;
    };
    std::vector<Hour> hours(const QPointF& centre, double radius) const;
    // The circles of altitude, the horizon and its four points; where their text is.
    std::vector<QRectF> paintFrame(QPainter& painter, const QPointF& centre, double radius) const;
    // Mars's track, as the lines drawn.
    std::vector<QLineF> paintTrack(QPainter& painter, const QPointF& centre, double radius) const;
    // The chart in three layers: its lines under Mars's track, the stars, the Moon and the Sun
    // over it, and the labels last (the hours along the track and the names), each where no
    // other text, Mars, the Moon, the Sun or the track is.
    void paintLines(QPainter& painter, const QPointF& centre, double radius) const;
    void paintStars(QPainter& painter, const QPointF& centre, double radius);
    void paintLabels(QPainter& painter, const QPointF& centre, double radius,
                     const std::vector<QRectF>& taken, const std::vector<QLineF>& track);
    std::vector<SkySample> samples_;
    Horizontal marsNow_{-90, 0};
    double highest_ = 0; // when Mars is highest on the track: its hours are labelled first
    QStringList labelsShown_;
    SkyChart chart_;
    StarSprites stars_;
    QTimeZone zone_ = QTimeZone::systemTimeZone();
    // A frame only where the keyboard brought the focus, as on the main window's panes.
    KeyboardFocusFrame* focusFrame_ = new KeyboardFocusFrame(this);
};

} // namespace orvanta
