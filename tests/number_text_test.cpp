#include "display/info_text.h"
#include "display/number_text.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "tests/scoped_environment.h"

#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <utility>

using namespace orvanta;

namespace {

TEST(FormatFixed, RoundsTheSeventeenDigitExpansionHalfAwayFromZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int decimals;
        const char* expected;
    } cases[] = {
        // Exact ties round up in magnitude (the C library here rounds them to even).
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        // Values whose 17-digit expansion is a tie although the binary value lies just below it.
        {0.105, 2, "0.11"},
        {0.0115, 3, "0.012"},
        {1.95e-05, 6, "0.000020"},
        // Below a tie after 17 digits: rounds down, also where a carry would cross a power of ten.
        {1.005, 2, "1.00"},
        {2.675, 2, "2.67"},
        {9.9999995, 6, "9.999999"},
        // Zeros the random values below never are; the sign is kept.
        {-0.0, 2, "-0.00"},
        {0.0, 2, "0.00"},
        {5e-324, 6, "0.000000"},
        // Beyond 17 significant digits the expansion has zeros.
        {1152921504606846976.0, 2, "1152921504606847000.00"},
        {1e20, 3, "100000000000000000000.000"},
        {std::nan(""), 2, "nan"},
        {-inf, 3, "-inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatFixed(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
    }
    // Cut to the buffer as snprintf cuts, and the length uncut told.
    char small[6];
    EXPECT_EQ(formatFixed(small, sizeof small, 1234.5678, 2), 7u);
    EXPECT_STREQ(small, "1234.");
    EXPECT_EQ(formatFixed(nullptr, 0, -1.5, 3), 6u);
}

// Away from ties, and within 17 significant digits, the result is ordinary correct rounding, which
// the C library's printf provides independently: carries across powers of ten and negative values
// that round to zero among them. A tie is where the 17-digit expansion has exactly 5 and zeros
// after the last shown decimal.
TEST(FormatFixed, AgreesWithPrintfAwayFromTies) {
    std::mt19937_64 random(27082003);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 12);
    int compared = 0;
    for (int i = 0; i < 200000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        for (int decimals : {2, 3, 6}) {
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.16e", std::fabs(value));
            // The number of significant digits shown.
            const int keep = std::atoi(std::strchr(digits, 'e') + 1) + 1 + decimals;
            const std::string significant = digits[0] + std::string(digits + 2, 16);
            if (keep > 17 || (keep >= 0 && keep < 17 && significant[keep] == '5' &&
                              significant.find_first_not_of('0', keep + 1) == std::string::npos)) {
                continue;
            }
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            ASSERT_EQ(formatFixed(value, decimals), expected) << digits << " to " << decimals;
            ++compared;
        }
    }
    EXPECT_GT(compared, 500000);
}

// Pieces of a long span are formatted on threads of their own: one's text is never another's.
TEST(FormatThousands, EachThreadKeepsItsOwnText) {
    const auto formatMany = [](double value, const char* expected, bool& same) {
        for (int i = 0; i < 20000 && same; ++i) {
            const char* text = formatThousands(value);
            same = std::strcmp(text, expected) == 0;
        }
    };
    bool first = true, second = true;
    std::thread a(formatMany, 1234567.0, "1,234,567.00", std::ref(first));
    std::thread b(formatMany, -9.5, "-9.50", std::ref(second));
    a.join();
    b.join();
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
}

TEST(FormatThousands, GroupsTheRoundedIntegerDigits) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0, "0.00"},
        {5555.25, "5,555.25"},
        {123456, "123,456.00"},
        {1234567.891, "1,234,567.89"},
        {999.999, "1,000.00"},
        {999999.995, "1,000,000.00"},
        // 1e44 is 1.0000000000000001e44 to 17 digits.
        {1e44, "100,000,000,000,000,010,000,000,000,000,000,000,000,000,000.00"},
        // Outside what the widget passes, but still sound: the sign stands before the groups.
        {-1234.5, "-1,234.50"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(formatThousands(c.value), c.expected) << c.value;
    }
    // Too long for the buffer: cut, never past it.
    for (double value : {1e45, 1e308, -1e308}) {
        EXPECT_LE(std::strlen(formatThousands(value)), 63u) << value;
    }
}

struct TimeZone : ScopedEnvironment {
    explicit TimeZone(const char* tz) : ScopedEnvironment("TZ", tz) {}
};

std::time_t utc(int y, unsigned m, unsigned d, int hh, int mm, int ss) {
    using namespace std::chrono;
    const auto days = sys_days{year{y} / month{m} / day{d}}.time_since_epoch().count();
    return static_cast<std::time_t>(days * 86400 + std::int64_t{hh} * 3600 + std::int64_t{mm} * 60 +
                                    ss);
}

TEST(FormatLocalTime, DateAndClockLinesInTheLocalZone) {
    // Daylight saving, a half-hour zone at midnight, the hours after midnight and after noon are
    // the reference pictures'.
    const struct {
        const char* tz;
        std::time_t time;
        const char* date;
        const char* clock;
    } cases[] = {
        {"UTC0", utc(2004, 3, 1, 12, 0, 0), "Mon, Mar 01, 2004", "12:00:00 PM"},
        // West of Greenwich the local date is still the day before.
        {"<-10>10", utc(2004, 3, 1, 9, 0, 0), "Sun, Feb 29, 2004", "11:00:00 PM"},
        // The epoch and the times before it are times to show like any other.
        {"UTC0", 0, "Thu, Jan 01, 1970", "12:00:00 AM"},
        {"UTC0", -1, "Wed, Dec 31, 1969", "11:59:59 PM"},
    };
    for (const auto& c : cases) {
        TimeZone zone(c.tz);
        EXPECT_STREQ(formatLocalTime(c.time, DATE_FORMAT).text, c.date) << c.tz << " " << c.time;
        EXPECT_STREQ(formatLocalTime(c.time, CLOCK_FORMAT).text, c.clock) << c.tz << " " << c.time;
    }
    // A text longer than the buffer is dropped, not cut.
    EXPECT_STREQ(formatLocalTime(0, std::string(200, 'x').c_str()).text, "");
}

// Every event told to the minute is rounded once, from the instant itself: rounding to the second
// first would carry 29.6 s into the next minute.
TEST(NearestMinute, RoundedOnceAndWrittenAsIso) {
    const auto jd = [](int year, int month, int day, double seconds) {
        return julianDateValue(julianDateFromCalendar(year, month, day, 0.0)) + seconds / 86400;
    };
    const struct {
        double utJd;
        const char* minute;
    } cases[] = {
        {jd(2027, 2, 20, 12 * 60 + 53), "2027-02-20T00:13"},
        {jd(2003, 8, 28, 17 * 3600 + 59 * 60 + 29.6), "2003-08-28T17:59"},
        {jd(2003, 8, 28, 17 * 3600 + 59 * 60 + 30.001), "2003-08-28T18:00"},
        {jd(2003, 12, 31, 86400 - 15), "2004-01-01T00:00"},
        {jd(1, 1, 1, 29), "0001-01-01T00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isoText(nearestMinute(c.utJd), false), c.minute) << c.minute;
    }
    // Beyond four digits the year is written whole, not wrapped: a night that begins on the last
    // day taken ends in the year after it.
    for (const auto& [year, text] :
         {std::pair{9999, "9999-12-31T23:59:59"}, std::pair{10000, "10000-12-31T23:59:59"},
          std::pair{0, "0000-12-31T23:59:59"}, std::pair{-44, "-0044-12-31T23:59:59"}}) {
        EXPECT_EQ(isoText(UtcClockReading{year, 12, 31, 23, 59, 59}), text);
    }
    EXPECT_EQ(isoText(calendarOfJulianDate(julianDateOfYear(10000) + 0.2), false),
              "10000-01-01T04:48");
    EXPECT_EQ(calendarOfJulianDate(julianDateOfYear(-2000)).year, -2000);
}

std::string joined(const InfoText& text) {
    std::string all;
    for (const InfoLine& line : text.lines) {
        all += line.view();
        all += '|';
    }
    return all;
}

// Negative countdowns and values that round to zero keep their signs; a time beyond what the
// calendar can show leaves its lines empty.
TEST(InfoText, SignsAndEmptyTimeLines) {
    EncounterState state{};
    state.magnitude = -0.004;
    state.daysLeft = -3;
    state.hoursLeft = 7;
    state.minutesLeft = 5;
    EXPECT_EQ(joined(buildInfoText(state, std::numeric_limits<std::time_t>::max())),
              "||0.00 mi.|0.00 km.|0.000000 au.|0.000 Light Minutes|0.00 arcseconds|"
              "Magnitude: -0.00|-3 Days|7 Hours|5 Minutes|");
    EXPECT_EQ(titleAsShown("&About && Co"), "About & Co");
}

// The texts must not follow the process locale, which a GUI toolkit sets from the user's settings.
TEST(NumberTextLocale, SameTextsUnderGermanAndFrenchLocales) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    TimeZone zone("UTC0");
    const std::time_t now = utc(2003, 8, 27, 21, 52, 7);
    const std::string inC = joined(buildInfoText(encounterState, now));
    EXPECT_EQ(inC.substr(0, 48), "Wed, Aug 27, 2003|09:52:07 PM|34,648,025.67 mi.|");
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        const ScopedLocale locale(LC_ALL, name);
        ASSERT_TRUE(locale.taken())
            << name << " is not installed (tools/install-deps.sh --tests generates it)";
        char printed[16];
        std::snprintf(printed, sizeof printed, "%.1f", 0.5);
        EXPECT_STREQ(printed, "0,5") << "the locale is not in effect";
        EXPECT_EQ(joined(buildInfoText(encounterState, now)), inC) << name;
    }
}

} // namespace
