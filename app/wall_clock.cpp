#include "app/wall_clock.h"

#include "app/settings.h"
#include "ephemeris/julian_date.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <limits>
#include <vector>

namespace orvanta {

namespace {

constexpr const char* CLOCK_SETTING = "sky/clock";

// "1 h", "30 min", "1 h 30 min".
QString durationText(qint64 seconds) {
    const qint64 minutes = (seconds + 30) / 60;
    const QString hours = QStringLiteral("%1 h").arg(minutes / 60);
    const QString rest = QStringLiteral("%1 min").arg(minutes % 60);
    return minutes % 60 == 0 ? hours : minutes < 60 ? rest : hours + QLatin1Char(' ') + rest;
}

// "03:30 CEST": an instant on the zone's clock, its zone named.
QString onClock(const QDateTime& utc, const QTimeZone& zone) {
    const QDateTime local = utc.toTimeZone(zone);
    return local.toString(QStringLiteral("HH:mm")) + QLatin1Char(' ') + zone.abbreviation(local);
}

} // namespace

ClockChoice keptClock() {
    if (const std::optional<QString> kept = readSetting(CLOCK_SETTING)) {
        if (const std::optional<ClockChoice> clock = clockNamed(kept->toStdString())) {
            return *clock;
        }
        refuseSetting(CLOCK_SETTING, *kept, QStringLiteral("place, ut or computer"));
    }
    return ClockChoice::Place;
}

void keepClock(ClockChoice clock) {
    saveSetting(CLOCK_SETTING, QString::fromLatin1(clockName(clock)));
}

QTimeZone computerZone() {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? zone : QTimeZone::utc();
}

WallInstant instantOfWallTime(QDate date, QTime time, const QTimeZone& zone) {
    WallInstant taken{date, time, {}};
    // The reading as if it were UT, in milliseconds; the instant it names is that less the offset
    // in force then.
    const qint64 wall = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    // The offsets of two days either way, each from its change on: wider than any zone's offset
    // (up to 14 h) and any change.
    constexpr qint64 REACH = qint64{2} * 86400 * 1000;
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(wall - REACH, Qt::UTC);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(wall + REACH, Qt::UTC);
    struct Span {
        qint64 start;
        qint64 offset;
    };
    std::vector<Span> spans = {
        {std::numeric_limits<qint64>::min(), qint64{zone.offsetFromUtc(from)} * 1000}};
    if (zone.hasTransitions()) {
        for (const QTimeZone::OffsetData& change : zone.transitions(from, to)) {
            spans.push_back(
                {change.atUtc.toMSecsSinceEpoch(), qint64{change.offsetFromUtc} * 1000});
        }
    }
    std::vector<qint64> named;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const qint64 at = wall - spans[i].offset;
        const qint64 end =
            i + 1 < spans.size() ? spans[i + 1].start : std::numeric_limits<qint64>::max();
        if (at >= spans[i].start && at < end) {
            named.push_back(at);
        }
    }
    const auto instant = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); };
    if (!named.empty()) {
        taken.utc = instant(named.front());
        if (named.size() > 1) {
            taken.fit = WallInstant::Fit::Twice;
            taken.second = instant(named[1]);
        }
        return taken;
    }
    // In a gap: read on the offset before the change, which lands after it, as far on as the
    // clocks went forward.
    for (std::size_t i = 1; i < spans.size(); ++i) {
        const qint64 change = spans[i].start;
        if (wall - spans[i - 1].offset >= change && wall - spans[i].offset < change) {
            taken.utc = instant(wall - spans[i - 1].offset);
            taken.fit = WallInstant::Fit::Gap;
            taken.gapSeconds = static_cast<int>((spans[i].offset - spans[i - 1].offset) / 1000);
            return taken;
        }
    }
    taken.utc = instant(wall - spans.back().offset);
    return taken;
}

WallInstant steppedBy(const QDateTime& utc, int days, int hours, const QTimeZone& zone) {
    const QDateTime local = utc.toTimeZone(zone);
    WallInstant taken = days != 0
                            ? instantOfWallTime(local.date().addDays(days), local.time(), zone)
                            : WallInstant{local.date(), local.time(), utc.toUTC()};
    if (hours != 0) {
        // Real time: the instant an hour on is one wall time, whatever the clock did.
        const QDateTime later = taken.utc.addSecs(qint64{hours} * 3600);
        const QDateTime seen = later.toTimeZone(zone);
        taken = WallInstant{seen.date(), seen.time(), later};
    }
    return taken;
}

QString wallTimeNote(const WallInstant& taken, const QTimeZone& zone, const QString& where) {
    const QString asked = taken.time.toString(QStringLiteral("HH:mm"));
    const QString day = QLocale::c().toString(taken.date, QStringLiteral("d MMMM"));
    switch (taken.fit) {
    case WallInstant::Fit::Gap:
        return QStringLiteral("%1 does not exist on %2 %3: shown for %4.")
            .arg(asked, day, where, onClock(taken.utc, zone));
    case WallInstant::Fit::Twice:
        return QStringLiteral("%1 comes twice on %2 %3: shown for the first, %4; the second, %5, "
                              "is %6 later.")
            .arg(asked, day, where, onClock(taken.utc, zone), onClock(taken.second, zone),
                 durationText(taken.utc.secsTo(taken.second)));
    case WallInstant::Fit::Once:
        break;
    }
    return {};
}

DateField::DateField(QWidget* parent) : QDateTimeEdit(parent) {
    // The reading itself, whatever the computer's zone.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    setTimeZone(QTimeZone::utc());
#else
    setTimeSpec(Qt::UTC);
#endif
    // The years every instant is taken in, on the proleptic Gregorian calendar the tools use too
    // (a QDate's), not the field's own default from 1752.
    setDateTimeRange(QDateTime(QDate(FIRST_YEAR, 1, 1), QTime(0, 0), Qt::UTC),
                     QDateTime(QDate(LAST_YEAR, 12, 31), QTime(23, 59), Qt::UTC));
    setToolTip(QStringLiteral("The years %1 to %2, on the proleptic Gregorian calendar")
                   .arg(FIRST_YEAR, 4, 10, QLatin1Char('0'))
                   .arg(LAST_YEAR));
    setKeyboardTracking(false);
    setCalendarPopup(true);
    calendarWidget()->setAccessibleName(QStringLiteral("The night to show"));
}

void DateField::keyPressEvent(QKeyEvent* event) {
    // Qt puts a typed digit beside the digits of the part the cursor stands in, and the field
    // refuses a part one digit too long ("2027-02-2|0" and 5 would be a day 250): the key was
    // lost. Such a digit is taken as one typed after Tab, into the part selected whole.
    const QString typed = event->text();
    if (typed.size() == 1 && typed.front().isDigit() && !lineEdit()->hasSelectedText()) {
        QString text = lineEdit()->text();
        int at = lineEdit()->cursorPosition();
        text.insert(at++, typed);
        if (validate(text, at) == QValidator::Invalid) {
            setSelectedSection(currentSection());
        }
    }
    QDateTimeEdit::keyPressEvent(event);
}

} // namespace orvanta
