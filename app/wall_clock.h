#pragma once

// The clock Mars tonight tells its times on (display/sky_words.h's ClockChoice), a choice kept in
// the settings, and the rule that turns a time read on a clock (a wall time) into the instant it
// names: across a daylight-saving change some wall times do not exist (a spring gap) and some
// come twice (an autumn overlap).

#include "display/sky_words.h"

#include <QDate>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QString>
#include <QTime>
#include <QTimeZone>
#include <optional>

namespace orvanta {

// The kept choice, else the place's clock; a kept value that is none is said once.
ClockChoice keptClock();
void keepClock(ClockChoice clock);

// The zone of the computer's clock (the process's TZ, else /etc/localtime), UTC where Qt knows
// none by that name.
QTimeZone computerZone();

// A wall time on a clock and the instant taken for it.
struct WallInstant {
    QDate date; // the wall time asked for
    QTime time;
    QDateTime utc; // the instant taken, in UTC
    enum class Fit {
        Once,  // the wall time names one instant
        Gap,   // it does not exist: moved forward by the gap
        Twice, // it comes twice: the first taken
    } fit = Fit::Once;
    int gapSeconds = 0; // Gap: how far it was moved
    QDateTime second{}; // Twice: the later instant, in UTC
};

// The instant `date` `time` names on `zone`'s clock: the one it names; in a gap, the same wall time
// moved forward by the gap (02:30 in a gap of an hour is 03:30 after it); in an overlap, the first
// (the one on the offset before the change).
WallInstant instantOfWallTime(QDate date, QTime time, const QTimeZone& zone);

// From `utc`, `days` days on (back, for negative) keeping the wall time on `zone`'s clock, then
// `hours` hours of real time on: +1 day across a change is 23 or 25 hours, +1 h always one.
WallInstant steppedBy(const QDateTime& utc, int days, int hours, const QTimeZone& zone);

// What the window says of a wall time not taken as it stands: "02:30 does not exist on 26 March in
// Berlin: shown for 03:30 CEST." or "02:30 comes twice on 29 October in Berlin: shown for the
// first, 02:30 CEST; the second, 02:30 CET, is 1 h later."; empty for one that names one instant.
// `where` names the clock: "in Berlin", "on this computer's clock".
QString wallTimeNote(const WallInstant& taken, const QTimeZone& zone, const QString& where);

// The date and time field: a clock's reading as it stands (the zone is the caller's to name in
// the display format), in the years every instant is taken in, with a calendar to pick the night
// from. A digit typed where the cursor stands, after a click or the arrows, starts that part anew
// (the day, the hour), as after Tab. Steps with the arrow keys are taken at once, what is typed
// when Enter is pressed or the field is left.
class DateField : public QDateTimeEdit {
  public:
    explicit DateField(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace orvanta
