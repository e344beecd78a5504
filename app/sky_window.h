#pragma once

// "Mars tonight": where to look for Mars from the user's place, in a picture of the sky (the dome
// of panes/sky_dome.h) and in words.

#include "ephemeris/sky_tonight.h"
#include "towns/towns.h"

#include <QString>
#include <QTimeZone>
#include <QTimer>
#include <QWidget>
#include <optional>

class QDateTimeEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QStringListModel;
class QToolButton;

namespace orvanta {

constexpr const char* SKY_WINDOW_TITLE = "Mars tonight";

class MarsDiskPanel;
class SkyDome;

class SkyWindow : public QWidget {
  public:
    // For the place kept in the settings, else the town of the time zone, else the equator at
    // Greenwich while it asks for a place; or for `place` when given.
    explicit SkyWindow(std::optional<PlaceEntry> place = std::nullopt);
    // Computes the sky anew for the instant shown.
    void refresh();
    QString facts() const;
    // The instant shown (a UT Julian date), or the clock's, which the window then follows minute
    // by minute, for nullopt. A chosen one stays until the clock's is asked for again.
    void showInstant(std::optional<double> utJd);
    std::optional<double> shownInstant() const { return chosen_; }

    // Tonight's pass as the window shows it, when a place is known.
    const Tonight* tonight() const { return sky_ ? &sky_->pass : nullptr; }
    const MarsDiskPanel* disks() const { return disk_; }
    MarsDiskPanel* disks() { return disk_; }
    const QTimeZone& zone() const { return zone_; }

  private:
    void usePlaceTyped();
    // The towns the typed text may become, offered as it is typed.
    void offerTowns();
    // The dome, a column of words, place and date of one width whatever they say, and the disks;
    // and the keyboard's way through them.
    void layOut();
    QHBoxLayout* layOutSteps();
    double instant() const;
    // The field on the place's clock, its zone named.
    void showWhen(double utJd);
    void useWhenTyped();
    // The last good instant stays shown, and the place's line says why `refused` was not taken.
    void refuseInstant(const QString& refused);
    SkyDome* dome_;
    MarsDiskPanel* disk_;
    QLabel* placeLabel_;
    QLabel* facts_;
    QLineEdit* placeEdit_;
    QStringListModel* townTitles_;
    QTimer typing_;
    QDateTimeEdit* when_;
    QToolButton* steps_[5]; // a day and an hour back, an hour and a day on, and "Now"
    std::optional<double> chosen_;
    QTimer minute_;
    // The place's clock: its town's zone, where it has one, else the nearest town's within reach,
    // else UTC; and how it was found, in words.
    void useClockOf(const QString& town, const std::string& zone);
    std::optional<Place> place_;
    QString placeFrom_;
    bool askingForPlace_ = false; // no place known: the equator's sky until one is typed
    QTimeZone zone_ = QTimeZone::utc();
    QString clockFrom_;
    std::optional<SkyTonight> sky_; // the sky shown
};

} // namespace orvanta
