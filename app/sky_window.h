#pragma once

// "Mars tonight": where to look for Mars from the user's place, in a picture of the sky and in
// words. The picture is a dome as a star chart held overhead: the horizon a circle, the zenith at
// its centre, north up and east on the left; Mars's track from rise to set with the local hours,
// brighter where the sky is dark, and Mars itself when it is up.

#include "ephemeris/sky.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;

namespace orvanta {

constexpr const char* SKY_WINDOW_TITLE = "Mars tonight";

class SkyDome : public QWidget {
  public:
    explicit SkyDome(QWidget* parent);
    void setSky(std::vector<SkySample> samples, std::optional<Horizontal> marsNow);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    std::vector<SkySample> samples_;
    std::optional<Horizontal> marsNow_;
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
    };
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
