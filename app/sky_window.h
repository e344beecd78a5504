#pragma once

// "Mars tonight": where to look for Mars from the user's place, in a picture of the sky (the dome
// of panes/sky_dome.h) and in words.

#include "app/wall_clock.h"
#include "ephemeris/sky_tonight.h"
#include "towns/towns.h"

#include <QString>
#include <QTimeZone>
#include <QTimer>
#include <QWidget>
#include <optional>

class QComboBox;
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
    // What a window finds its place and clock by (the system's towns and zones, read once in
    // the process, a read that takes longer than all else the window does), read on a thread of
    // Qt's pool, while the menu it is chosen from is open.
    static void readAhead();
    // Computes the sky anew for the instant shown.
    void refresh();
    QString facts() const;
    // The instant shown (a UT Julian date), or the clock's, which the window then follows minute
    // by minute, for nullopt. A chosen one stays until the clock's is asked for again.
    void showInstant(std::optional<double> utJd);
    std::optional<double> shownInstant() const { return chosen_; }
    // The instant a date and time name on the window's clock, as typed into its date field: one
    // in a daylight-saving gap moved forward by the gap, one that comes twice the first, and
    // either said.
    void showWallTime(QDate date, QTime time);
    // The times told on this clock in this window alone, without keeping the choice.
    void showClock(ClockChoice clock);

    // Tonight's pass as the window shows it, when a place is known.
    const Tonight* tonight() const { return sky_ ? &sky_->pass : nullptr; }
    const MarsDiskPanel* disks() const { return disk_; }
    MarsDiskPanel* disks() { return disk_; }
    SkyDome* dome() const { return dome_; }
    const QTimeZone& zone() const { return zone_; }
    // The zone of the clock the times are told on: the place's, UTC or the computer's.
    QTimeZone clockZone() const;

  private:
    void usePlaceTyped();
    // The towns the typed text may become, offered as it is typed.
    void offerTowns();
    // The dome, a column of words, place and date of one width whatever they say, and the disks;
    // and the keyboard's way through them.
    void layOut();
    void orderTabs();
    QHBoxLayout* layOutSteps();
    double instant() const;
    // The field on the window's clock, its zone named.
    void showWhen(double utJd);
    void useWhenTyped();
    // The date field and the clock it is on, side by side.
    QWidget* layOutWhen();
    // A day or an hour back or on from the instant shown: the days keep the wall time on the
    // window's clock, the hours are real time.
    void step(int days, int hours);
    void showTaken(const WallInstant& taken);
    // Where the clock is, as a gap or an overlap is told of it: "in Berlin".
    QString clockPlace() const;
    void useClock(ClockChoice clock);
    // "Times are UTC.", or the place's clock as useClockOf found it.
    QString clockWords() const;
    // The last good instant stays shown, and the place's line says why `refused` was not taken.
    void refuseInstant(const QString& refused);
    // The instant with what is said of the wall time it was reached by.
    void showInstant(std::optional<double> utJd, const QString& note);
    SkyDome* dome_;
    MarsDiskPanel* disk_;
    QLabel* placeLabel_;
    QLabel* facts_;
    QLineEdit* placeEdit_;
    QStringListModel* townTitles_;
    QTimer typing_;
    QDateTimeEdit* when_;
    QComboBox* clock_;
    ClockChoice clockChoice_ = ClockChoice::Place;
    // What was said of a wall time typed or stepped to, and the clock it was said for: shown with
    // its instant, on that clock.
    QString wallNote_;
    QByteArray wallNoteZone_;
    QToolButton* steps_[5]; // a day and an hour back, an hour and a day on, and "Now"
    std::optional<double> chosen_;
    QTimer minute_;
    // "Mars tonight, Berlin, 2027-02-20": the place and the date shown.
    QString pictureName() const;
    // The place's clock: its town's zone, where it has one, else the nearest town's within reach,
    // else UTC; and how it was found, in words.
    void useClockOf(const QString& town, const std::string& zone);
    std::optional<Place> place_;
    QString placeFrom_;
    QString townName_; // the place's town, for the pictures' names; empty for coordinates
    bool askingForPlace_ = false; // no place known: the equator's sky until one is typed
    QTimeZone zone_ = QTimeZone::utc();
    QString clockFrom_;
    std::optional<SkyTonight> sky_; // the sky shown
};

} // namespace orvanta
