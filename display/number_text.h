#pragma once

#include "ephemeris/utc_clock.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace orvanta {

// Text of numbers and times exactly as the widget shows them, the same on every C library and in
// every process locale: "." as the decimal point, English names, "AM"/"PM".

// Fixed notation with `decimals` places, like printf's "%.Nf", but rounded from the value's
// 17-significant-digit decimal expansion with a 5 in the first dropped place rounding up in
// magnitude (0.125 -> "0.13"). Writes at most size - 1 characters and a terminator; returns the
// length of the whole text, as snprintf does.
std::size_t formatFixed(char* buffer, std::size_t size, double value, int decimals);

// The same as a string.
std::string formatFixed(double value, int decimals);

// The value with two decimals and a "," between groups of three integer digits ("55,758,006.12").
// The text lives in a buffer of the calling thread's that its next call overwrites.
const char* formatThousands(double value);
// The value rounded to a whole number, with thousands separators: "55,758,007".
std::string formatWholeThousands(double value);

// Local wall-clock time of `calendarTime` through a strftime format, in the "C" locale. Empty when
// the time cannot be converted (beyond the years the calendar holds) or the text would not fit.
constexpr std::size_t TIME_TEXT_BYTES = 128;
struct TimeText {
    char text[TIME_TEXT_BYTES];
};
TimeText formatLocalTime(std::time_t calendarTime, const char* format);
// The same for a UT Julian date, to the nearest minute: the clock of an event shown in minutes.
TimeText formatLocalMinute(double utJd, const char* format);

// The UT calendar minute nearest to a Julian date (its seconds 0), rounded once: an instant at
// 29.6 s past a minute stays in that minute. Every event told to the minute, in UT or in local
// time, is told at this one.
UtcClockReading nearestMinute(double utJd);
// "2003-08-27T09:51:14", or to the minute "2003-08-27T09:51".
std::string isoText(const UtcClockReading& at, bool seconds = true);
// The UT date of a Julian date, "2003-08-27".
std::string isoDate(double utJd);
// The same in words, "27 August 2003", or without the year and the month cut short, "27 Aug".
std::string dateInWords(double utJd, bool shortly = false);

constexpr const char* DATE_FORMAT = "%a, %b %d, %Y";
constexpr const char* CLOCK_FORMAT = "%I:%M:%S %p";

// A fixed-capacity line: appends are cut at capacity - 1 characters and the text always ends in a
// terminator, the way a 64-byte line buffer holds its text.
template <std::size_t Capacity>
class TextLine {
  public:
    TextLine() { text_[0] = '\0'; }

    TextLine& append(std::string_view s) {
        for (char c : s) {
            if (length_ + 1 >= Capacity) {
                break;
            }
            text_[length_++] = c;
        }
        text_[length_] = '\0';
        return *this;
    }
    TextLine& appendFixed(double value, int decimals) {
        formatFixed(text_ + length_, Capacity - length_, value, decimals);
        while (text_[length_] != '\0') {
            ++length_;
        }
        return *this;
    }
    TextLine& appendInt(std::int32_t value) {
        char digits[12];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        return append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }

    const char* c_str() const { return text_; }
    std::size_t size() const { return length_; }
    std::string_view view() const { return {text_, length_}; }

  private:
    char text_[Capacity];
    std::size_t length_ = 0;
};

} // namespace orvanta
