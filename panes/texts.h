#pragma once

// The core's texts of numbers and times as the widgets take them, in one place.

#include "display/echo_text.h"
#include "display/number_text.h"
#include "display/sky_hours.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <cmath>

namespace orvanta {

// A value to `decimals` places, as every picture and list writes it.
inline QString fixedText(double value, int decimals) {
    return QString::fromStdString(formatFixed(value, decimals));
}

// A UT date, "2003-08-27".
inline QString dayText(double utJd) {
    return QString::fromStdString(isoDate(utJd));
}

// The local clock of an instant to the nearest minute, through a strftime format.
inline QString localMinuteText(double utJd, const char* format = "%H:%M") {
    return QString::fromLatin1(formatLocalMinute(utJd, format).text);
}

// The minute nearest a UT instant on a zone's clock, through a QDateTime format ("HH:mm"), with
// the zone's abbreviation after it when `named` ("19:52 AEDT"): a place's own clock, whatever
// the computer's.
inline QString zonedMinuteText(double utJd, const QTimeZone& zone, bool named = true,
                               const QString& format = QStringLiteral("HH:mm")) {
    const UtcClockReading at = nearestMinute(utJd);
    const QDateTime local =
        QDateTime(QDate(at.year, at.month, at.day), QTime(at.hour, at.minute), Qt::UTC)
            .toTimeZone(zone);
    return named ? local.toString(format) + QLatin1Char(' ') + zone.abbreviation(local)
                 : local.toString(format);
}

// A zone's offset from UT at an instant, as the hour marks along a night take it.
inline ZoneOffset zoneOffsetOf(const QTimeZone& zone) {
    return [zone](double utJd) {
        constexpr double UNIX_EPOCH = 2440587.5;
        return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(
            std::llround((utJd - UNIX_EPOCH) * 86400000.0), QTimeZone::utc()));
    };
}

// Text from outside as a window or a warning echoes it: made visible and cut (echoText); with a
// `quote`, between two of them. A path is echoed whole (`shown` npos): cut, it would name another.
inline QString echoed(const QString& text, char quote = '\0', std::size_t shown = ECHO_SHOWN) {
    return QString::fromStdString(echoText(text.toStdString(), quote, shown));
}

} // namespace orvanta
