#include "tools/cli/arguments.h"

#include "display/echo_text.h"

namespace orvanta {

namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : DAYS[month - 1];
}

// Reads `count` decimal digits at `pos`; false if any is not a digit.
bool digits(std::string_view text, std::size_t pos, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

std::string yearsText() {
    return "0" + std::to_string(FIRST_YEAR) + " to " + std::to_string(LAST_YEAR);
}

std::string quoteArgument(std::string_view text) {
    return echoText(text, '\'');
}

UtcClockReading parseUtcArgument(std::string_view option, std::string_view text) {
    const std::string quoted = std::string(option) + " " + quoteArgument(text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || !digits(text, 0, 4, year) ||
        !digits(text, 5, 2, month) || !digits(text, 8, 2, day) || !digits(text, 11, 2, hour) ||
        !digits(text, 14, 2, minute) || !digits(text, 17, 2, second)) {
        throw BadArgument{quoted + " is not of the form YYYY-MM-DDTHH:MM:SS"};
    }
    if (year < FIRST_YEAR || year > LAST_YEAR) {
        throw BadArgument{quoted + ": the year must be " + yearsText()};
    }
    if (month < 1 || month > 12) {
        throw BadArgument{quoted + ": the month must be 01 to 12"};
    }
    if (day < 1 || day > daysInMonth(year, month)) {
        throw BadArgument{quoted + ": the month has no day " + std::to_string(day)};
    }
    if (hour > 23 || minute > 59 || second > 59) {
        throw BadArgument{quoted + ": the time must be 00:00:00 to 23:59:59"};
    }
    return UtcClockReading{year,
                           static_cast<std::uint16_t>(month),
                           static_cast<std::uint16_t>(day),
                           static_cast<std::uint16_t>(hour),
                           static_cast<std::uint16_t>(minute),
                           static_cast<std::uint16_t>(second)};
}

} // namespace orvanta
