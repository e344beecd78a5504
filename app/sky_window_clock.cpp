// The Mars tonight window's clock: the date field and the clock it is on, side by side, the
// steps beside them, and the wall times typed there or stepped to, taken as instants by the rule
// of app/wall_clock.h.

#include "app/sky_window.h"
#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "panes/texts.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <cmath>

namespace orvanta {

namespace {

// An instant as the date field and the clocks take it, to the second, and back.
QDateTime utcOf(double utJd) {
    const UtcClockReading at = calendarOfJulianDate(utJd);
    return {QDate(at.year, at.month, at.day), QTime(at.hour, at.minute, at.second), Qt::UTC};
}
double julianDateOf(const QDateTime& utc) {
    const QDate d = utc.date();
    const QTime t = utc.time();
    return julianDateValue(julianDateFromCalendar(
        d.year(), d.month(), d.day(), t.hour() + t.minute() / 60.0 + t.second() / 3600.0));
}

} // namespace

QWidget* SkyWindow::layOutWhen() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    when_->setParent(row);
    clock_->setParent(row);
    layout->addWidget(when_, 1);
    layout->addWidget(clock_);
    // In the order of ClockChoice.
    const struct {
        const char *shown, *told;
    } clocks[] = {{"Place", "The place's own clock"},
                  {"UT", "Universal Time (UTC), as observers log the central meridian"},
                  {"Computer", "This computer's clock"}};
    for (const auto& c : clocks) {
        clock_->addItem(QString::fromUtf8(c.shown));
        clock_->setItemData(clock_->count() - 1, QString::fromUtf8(c.told), Qt::ToolTipRole);
    }
    clock_->setAccessibleName(QStringLiteral("The clock times are told on"));
    clockChoice_ = keptClock();
    clock_->setCurrentIndex(static_cast<int>(clockChoice_));
    connect(clock_, &QComboBox::currentIndexChanged, this,
            [this](int index) { useClock(static_cast<ClockChoice>(index)); });
    return row;
}

void SkyWindow::showClock(ClockChoice clock) {
    const QSignalBlocker quiet(clock_);
    clock_->setCurrentIndex(static_cast<int>(clock));
    clockChoice_ = clock;
    refresh();
}

void SkyWindow::useClock(ClockChoice clock) {
    clockChoice_ = clock;
    keepClock(clock);
    refresh();
}

QTimeZone SkyWindow::clockZone() const {
    switch (clockChoice_) {
    case ClockChoice::Ut:
        return QTimeZone::utc();
    case ClockChoice::Computer:
        return computerZone();
    case ClockChoice::Place:
        break;
    }
    return zone_;
}

QString SkyWindow::clockWords() const {
    switch (clockChoice_) {
    case ClockChoice::Ut:
        return QStringLiteral("Times are UTC.");
    case ClockChoice::Computer:
        return QStringLiteral("Times are on this computer's clock (%1).")
            .arg(echoed(QString::fromUtf8(computerZone().id())));
    case ClockChoice::Place:
        break;
    }
    return clockFrom_;
}

QHBoxLayout* SkyWindow::layOutSteps() {
    auto* stepsRow = new QHBoxLayout;
    stepsRow->setContentsMargins(0, 0, 0, 0);
    // Keys no field of the window takes for itself: Ctrl with the arrows moves by words in the
    // place's field, and Page Up and Down step the date field's parts.
    const struct {
        const char *shown, *told;
        int days, hours; // none for the clock's instant
        QKeyCombination key;
    } steps[] = {
        {"\u22121 day", "A day earlier, at the same time of day", -1, 0, Qt::ALT | Qt::Key_Left},
        {"\u22121 h", "An hour earlier", 0, -1, Qt::ALT | Qt::SHIFT | Qt::Key_Left},
        {"+1 h", "An hour later", 0, 1, Qt::ALT | Qt::SHIFT | Qt::Key_Right},
        {"+1 day", "A day later, at the same time of day", 1, 0, Qt::ALT | Qt::Key_Right},
        {"Now", "Now, following the clock", 0, 0, Qt::CTRL | Qt::Key_N}};
    for (int i = 0; i < 5; ++i) {
        steps_[i] = new QToolButton(this);
        steps_[i]->setText(QString::fromUtf8(steps[i].shown));
        steps_[i]->setAccessibleName(QString::fromUtf8(steps[i].told));
        const QKeySequence key(steps[i].key);
        steps_[i]->setToolTip(QStringLiteral("%1 (%2)").arg(
            QString::fromUtf8(steps[i].told), key.toString(QKeySequence::NativeText)));
        const int days = steps[i].days, hours = steps[i].hours;
        const auto take = [this, days, hours] {
            if (days == 0 && hours == 0) {
                showInstant(std::nullopt);
            } else {
                step(days, hours);
            }
        };
        connect(steps_[i], &QToolButton::clicked, this, take);
        // Not the button's own shortcut, which would take the focus from the field typed in.
        connect(new QShortcut(key, this), &QShortcut::activated, this, take);
        stepsRow->addWidget(steps_[i]);
    }
    stepsRow->addStretch(1);
    return stepsRow;
}

void SkyWindow::showWallTime(QDate date, QTime time) {
    showTaken(instantOfWallTime(date, time, clockZone()));
}

void SkyWindow::step(int days, int hours) {
    showTaken(steppedBy(utcOf(instant()), days, hours, clockZone()));
}

void SkyWindow::showTaken(const WallInstant& taken) {
    showInstant(julianDateOf(taken.utc), taken.fit == WallInstant::Fit::Once
                                             ? QString()
                                             : wallTimeNote(taken, clockZone(), clockPlace()));
}

QString SkyWindow::pictureName() const {
    const Place& p = *place_;
    const QString place = !townName_.trimmed().isEmpty()
                              ? townName_.simplified()
                              : QStringLiteral("%1%2 %3%4")
                                    .arg(std::fabs(p.latitude), 0, 'f', 2)
                                    .arg(p.latitude >= 0 ? 'N' : 'S')
                                    .arg(std::fabs(p.longitude), 0, 'f', 2)
                                    .arg(p.longitude >= 0 ? 'E' : 'W');
    return QStringLiteral("%1, %2, %3")
        .arg(QString::fromLatin1(SKY_WINDOW_TITLE), place, when_->date().toString(Qt::ISODate));
}

QString SkyWindow::clockPlace() const {
    if (clockChoice_ == ClockChoice::Computer) {
        return QStringLiteral("on this computer's clock");
    }
    // The town nearest the place that keeps its clock ("in Pittsburgh", on New York's), else the
    // city its zone is named by.
    const QString zone = QString::fromUtf8(zone_.id());
    const std::optional<NearTown> nearest = nearestTown(*place_);
    const QString town =
        nearest && nearest->km <= NEAREST_TOWN_REACH_KM &&
                QString::fromStdString(nearest->town.zone) == zone
            ? QString::fromStdString(nearest->town.name)
            : zone.section(QLatin1Char('/'), -1).replace(QLatin1Char('_'), QLatin1Char(' '));
    return QStringLiteral("in ") + echoed(town);
}

void SkyWindow::showWhen(double utJd) {
    // While on "now", the minute's refresh leaves alone a field the user is typing into: what is
    // typed is taken when the field is left or Enter pressed.
    if (!chosen_ && when_->hasFocus()) {
        return;
    }
    const UtcClockReading at = nearestMinute(utJd);
    const QTimeZone zone = clockZone();
    const QDateTime local =
        QDateTime(QDate(at.year, at.month, at.day), QTime(at.hour, at.minute), Qt::UTC)
            .toTimeZone(zone);
    const QString format =
        QStringLiteral("yyyy-MM-dd HH:mm '%1'").arg(zone.abbreviation(local).replace('\'', "''"));
    const QDateTime wall(local.date(), local.time(), Qt::UTC);
    // Set only where it changes, so that a step with the arrows keeps its place in the field.
    const QSignalBlocker quiet(when_);
    if (when_->displayFormat() != format) {
        when_->setDisplayFormat(format);
    }
    if (when_->dateTime() != wall) {
        when_->setDateTime(wall);
    }
}

void SkyWindow::refuseInstant(const QString& refused) {
    refresh(); // the field shows the last good instant again
    placeLabel_->setText(QStringLiteral("Not taken: %1 lies outside the years %2 to %3. ")
                             .arg(refused)
                             .arg(FIRST_YEAR, 4, 10, QLatin1Char('0'))
                             .arg(LAST_YEAR) +
                         placeLabel_->text());
}

void SkyWindow::useWhenTyped() {
    const QDateTime wall = when_->dateTime();
    showWallTime(wall.date(), wall.time());
}

} // namespace orvanta
