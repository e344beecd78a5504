#include "display/number_text.h"

#include "ephemeris/julian_date.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <time.h>

namespace orvanta {

namespace {

// Longest fixed text of a double: 309 integer digits, a point, the decimals and a sign.
constexpr std::size_t FIXED_MAX = 400;
constexpr int SIGNIFICANT = 17;
constexpr int MAX_DECIMALS = 40; // keeps every text within FIXED_MAX

std::size_t copyOut(char* buffer, std::size_t size, const char* text, std::size_t length) {
    if (size > 0) {
        const std::size_t n = length < size - 1 ? length : size - 1;
        std::memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return length;
}

// Writes the fixed text of |value| (finite) into `out`; returns its length.
std::size_t fixedMagnitude(double magnitude, int decimals, char* out) {
    // d.dddddddddddddddde+XX: the 17 significant digits the shown digits are rounded from.
    char scientific[32];
    const char* const end = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                          std::chars_format::scientific, SIGNIFICANT - 1)
                                .ptr;
    char significant[SIGNIFICANT];
    significant[0] = scientific[0];
    std::memcpy(significant + 1, scientific + 2, SIGNIFICANT - 1);
    const char* e = scientific + SIGNIFICANT + 1; // 'e'
    int exponent = 0;
    std::from_chars(e + 2, end, exponent);
    if (e[1] == '-') {
        exponent = -exponent;
    }

    // The kept digits stand for round(magnitude * 10^decimals), most significant first.
    const int keep = exponent + 1 + decimals;
    char kept[FIXED_MAX];
    int count = keep > 0 ? keep : 0;
    for (int i = 0; i < count; ++i) {
        kept[i] = i < SIGNIFICANT ? significant[i] : '0';
    }
    // A 5 or more in the first dropped place rounds up in magnitude; when even the first
    // significant digit is below the last shown decimal, the dropped place holds a 0.
    if (keep >= 0 && keep < SIGNIFICANT && significant[keep] >= '5') {
        int i = count - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i--] = '0';
        }
        if (i >= 0) {
            ++kept[i];
        } else {
            std::memmove(kept + 1, kept, static_cast<std::size_t>(count));
            kept[0] = '1';
            ++count;
        }
    }

    // At least one integer digit: pad with zeros on the left, then the point before the decimals.
    char digits[FIXED_MAX];
    std::size_t length = 0;
    for (int pad = decimals + 1 - count; pad > 0; --pad) {
        digits[length++] = '0';
    }
    std::memcpy(digits + length, kept, static_cast<std::size_t>(count));
    length += static_cast<std::size_t>(count);
    const std::size_t integerDigits = length - static_cast<std::size_t>(decimals);
    std::memcpy(out, digits, integerDigits);
    std::size_t n = integerDigits;
    if (decimals > 0) {
        out[n++] = '.';
        std::memcpy(out + n, digits + integerDigits, static_cast<std::size_t>(decimals));
        n += static_cast<std::size_t>(decimals);
    }
    return n;
}

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

std::size_t formatFixed(char* buffer, std::size_t size, double value, int decimals) {
    char text[FIXED_MAX];
    std::size_t n = 0;
    if (std::signbit(value)) {
        text[n++] = '-';
    }
    if (std::isnan(value)) {
        std::copy_n("nan", 3, text + n);
        n += 3;
    } else if (std::isinf(value)) {
        std::copy_n("inf", 3, text + n);
        n += 3;
    } else {
        n += fixedMagnitude(std::fabs(value), std::clamp(decimals, 0, MAX_DECIMALS), text + n);
    }
    return copyOut(buffer, size, text, n);
}

const char* formatThousands(double value) {
    // One buffer a thread: the approaches' pieces are formatted on threads of their own.
    thread_local char result[64];
    std::memset(result, 0, sizeof result);
    char scratch[64];
    formatFixed(scratch, sizeof scratch, value, 2);

    const char* s = scratch;
    std::size_t k = 0;
    // The sign stands outside the digit groups.
    if (*s == '-') {
        result[k++] = *s++;
    }
    const std::size_t n = std::strlen(s);
    const char* point = std::strchr(s, '.');
    const std::size_t i = point != nullptr ? static_cast<std::size_t>(point - s) : n;
    const std::size_t first = i % 3 == 0 ? 3 : i % 3;
    std::size_t due = k + first - 1; // output position after which the next "," comes

    // The last byte stays the terminator, whatever the value.
    for (std::size_t j = 0; j < n && k + 1 < sizeof result; ++j) {
        result[k] = s[j];
        if (k == due && j + 1 < i && k + 2 < sizeof result) {
            result[k + 1] = ',';
            due += 4;
            k += 2;
        } else {
            ++k;
        }
    }
    return result;
}

std::string formatWholeThousands(double value) {
    const std::string text = formatThousands(std::round(value));
    return text.substr(0, text.find('.'));
}

std::string formatFixed(double value, int decimals) {
    char text[400]; // room for the largest double in full
    formatFixed(text, sizeof text, value, decimals);
    return text;
}

TimeText formatLocalTime(std::time_t calendarTime, const char* format) {
    TimeText result{};
    const locale_t c = cLocale();
    if (c == static_cast<locale_t>(nullptr)) {
        return result;
    }
    tzset(); // follow a changed TZ, as localtime does
    std::tm local{};
    if (localtime_r(&calendarTime, &local) == nullptr ||
        strftime_l(result.text, sizeof result.text, format, &local, c) == 0) {
        result.text[0] = '\0';
    }
    return result;
}

TimeText formatLocalMinute(double utJd, const char* format) {
    return formatLocalTime(calendarTimeOf(nearestMinute(utJd)), format);
}

UtcClockReading nearestMinute(double utJd) {
    const auto minutes = static_cast<double>(std::llround((utJd + 0.5) * 1440.0));
    UtcClockReading at = calendarOfJulianDate(minutes / 1440.0 - 0.5);
    at.second = 0; // the round trip through a Julian date is within a millisecond
    return at;
}

std::string isoDate(double utJd) {
    return isoText(calendarOfJulianDate(utJd)).substr(0, 10);
}

std::string dateInWords(double utJd, bool shortly) {
    static constexpr const char* MONTHS[] = {"January",   "February", "March",    "April",
                                             "May",       "June",     "July",     "August",
                                             "September", "October",  "November", "December"};
    const UtcClockReading at = calendarOfJulianDate(utJd);
    const std::string month = MONTHS[(at.month + 11) % 12];
    return std::to_string(at.day) + " " +
           (shortly ? month.substr(0, 3) : month + " " + std::to_string(at.year));
}

std::string isoText(const UtcClockReading& at, bool seconds) {
    char text[16]; // "-MM-DDTHH:MM:SS"
    const auto two = [&](char* to, int value) {
        to[0] = static_cast<char>('0' + value / 10 % 10);
        to[1] = static_cast<char>('0' + value % 10);
    };
    text[0] = '-';
    two(text + 1, at.month);
    text[3] = '-';
    two(text + 4, at.day);
    text[6] = 'T';
    two(text + 7, at.hour);
    text[9] = ':';
    two(text + 10, at.minute);
    text[12] = ':';
    two(text + 13, at.second);
    // The year in four digits at least, whole beyond them and signed before year 0 (ISO 8601's
    // expanded years): never cut to four.
    const std::string year = std::to_string(std::abs(std::int64_t{at.year}));
    return (at.year < 0 ? "-" : "") + std::string(year.size() < 4 ? 4 - year.size() : 0, '0') +
           year + std::string(text, seconds ? 15 : 12);
}

} // namespace orvanta
