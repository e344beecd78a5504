#pragma once

// "Mars tonight": where to look for Mars from the user's place, in a picture of the sky and in
// words. The picture is a dome as a star chart held overhead: the horizon a circle, the zenith at
// its centre, north up and east on the left; Mars's track from rise to set with the local hours,
// brighter where the sky is dark, and Mars itself when it is up; the stars to magnitude 4.5, the
// constellation figures, the ecliptic, the names of the bright stars near Mars, and the Moon.

#include "ephemeris/sky.h"
#include "ephemeris/stars.h"

#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPainter;

namespace orvanta {

constexpr const char* SKY_WINDOW_TITLE = "Mars tonight";

// What the dome shows besides Mars and its track, where it is seen now (true altitudes).
struct SkyChart {
    struct Star {
        Horizontal at;
        double magnitude;
    };
    struct Name {
        Horizontal at;
        QString text;
    };
    std::vector<Star> stars;
    std::vector<std::pair<Horizontal, Horizontal>> figures;
    std::vector<Horizontal> ecliptic; // a closed line
    std::vector<Name> names; // the most wanted first: a name that finds no room is left out
    std::optional<Horizontal> moon;
};

class SkyDome : public QWidget {
  public:
    explicit SkyDome(QWidget* parent);
    void setSky(std::vector<SkySample> samples, std::optional<Horizontal> marsNow);
    void setChart(SkyChart chart);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    // The chart in three layers: its lines under Mars's track, the stars and the Moon over it,
    // and the names last, each where no other text, Mars or the track is.
    void paintLines(QPainter& painter, const QPointF& centre, double radius) const;
    void paintStars(QPainter& painter, const QPointF& centre, double radius) const;
    void paintNames(QPainter& painter, const QPointF& centre, double radius,
                    std::vector<QRectF> taken, const std::vector<QLineF>& track) const;
    std::vector<SkySample> samples_;
    std::optional<Horizontal> marsNow_;
    SkyChart chart_;
    mutable std::vector<QImage> sprites_; // the stars' pictures, at the ratio of the last paint
    mutable qreal spriteRatio_ = 0;
};

class MarsDiskPanel;

class SkyWindow : public QWidget {
  public:
    // For the place kept in the settings or of the time zone; or for `place` when given.
    explicit SkyWindow(std::optional<Place> place = std::nullopt);
    // Computes the sky anew for the clock's instant.
    void refresh();
    QString facts() const;

  private:
    // What is computed once for a night: the track, the events in words, the constellation.
    struct Night {
        double computedAt;
        Place place;
        double passEnd;
        QStringList events;
        QString constellation;
        QString best;
        std::vector<SkySample> samples;
        std::optional<double> transit;
        // The apparent places of the stars (in the table's order), of the ends of the figures'
        // lines, and of points along the ecliptic.
        std::vector<Equatorial> stars, figureEnds, ecliptic;
    };
    SkyChart chartAt(double now, const Equatorial& mars, const NearStar& near) const;
    static Night computeNight(double now, const Horizontal& marsNow, const Place& place);
    void usePlaceTyped();
    SkyDome* dome_;
    MarsDiskPanel* disk_;
    QLabel* placeLabel_;
    QLabel* facts_;
    QLineEdit* placeEdit_;
    QTimer minute_;
    std::optional<Place> place_;
    QString placeFrom_;
    std::optional<Night> night_;
};

} // namespace orvanta
