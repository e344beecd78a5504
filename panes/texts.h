#pragma once

// The core's texts of numbers and times as the widgets take them, in one place.

#include "display/number_text.h"

#include <QString>

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

} // namespace orvanta
