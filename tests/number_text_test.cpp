#include "display/info_text.h"
#include "display/number_text.h"
#include "ephemeris/utc_clock.h"

#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace {

std::string fixed(double value, int decimals) {
    char buffer[400];
    formatFixed(buffer, sizeof buffer, value, decimals);
    return buffer;
}

struct FixedCase {
    double value;
    int decimals;
    const char* expected;
};

TEST(FormatFixed, RoundsTheSeventeenDigitExpansionHalfAwayFromZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const FixedCase cases[] = {
        // Exact ties round up in magnitude (the C library here rounds them to even).
        {0.125, 2, "0.13"},
        {0.375, 2, "0.38"},
        {0.625, 2, "0.63"},
        {-0.125, 2, "-0.13"},
        // Values whose 17-digit expansion is a tie although the binary value lies just below it.
        {0.105, 2, "0.11"},
        {0.155, 2, "0.16"},
        {0.0115, 3, "0.012"},
        {1.95e-05, 6, "0.000020"},
        // Below a tie after 17 digits: rounds down.
        {1.005, 2, "1.00"},
        {2.675, 2, "2.67"},
        {0.045, 2, "0.04"},
        // Carries across powers of ten.
        {999.999, 2, "1000.00"},
        {0.995, 2, "1.00"},
        {99.995, 2, "100.00"},
        {0.9999995, 6, "1.000000"},
        {9.9999995, 6, "9.999999"},
        // Sign kept when the shown digits are all zero.
        {-0.001, 2, "-0.00"},
        {-0.004, 2, "-0.00"},
        {-0.0, 2, "-0.00"},
        {0.0, 2, "0.00"},
        {5e-324, 6, "0.000000"},
        {0.004999, 2, "0.00"},
        {0.005, 2, "0.01"},
        // Beyond 17 significant digits the expansion has zeros.
        {1152921504606846976.0, 2, "1152921504606847000.00"},
        {1e20, 3, "100000000000000000000.000"},
        // The widget's own values.
        {0.372719258581, 6, "0.372719"},
        {3.099811536492, 3, "3.100"},
        {25.112735080111, 2, "25.11"},
        {-2.881739620996, 2, "-2.88"},
        {std::nan(""), 2, "nan"},
        {inf, 2, "inf"},
        {-inf, 3, "-inf"},
    };
    for (const FixedCase& c : cases) {
        EXPECT_EQ(fixed(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
    }
}

// Away from ties, and within 17 significant digits, the result is ordinary correct rounding, which
// the C library's printf provides independently. A tie is where the 17-digit expansion has exactly
// 5 and zeros after the last shown decimal.
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
            const int shownExponent = std::atoi(std::strchr(digits, 'e') + 1);
            const int keep = shownExponent + 1 + decimals; // significant digits shown
            std::string significant = std::string(1, digits[0]) + std::string(digits + 2, 16);
            if (keep > 17 || (keep >= 0 && keep < 17 && significant[keep] == '5' &&
                              significant.find_first_not_of('0', keep + 1) == std::string::npos)) {
                continue;
            }
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            ASSERT_EQ(fixed(value, decimals), expected) << digits << " to " << decimals;
            ++compared;
        }
    }
    EXPECT_GT(compared, 500000);
}

TEST(FormatFixed, CutsToTheBufferLikeSnprintf) {
    char small[6];
    EXPECT_EQ(formatFixed(small, sizeof small, 1234.5678, 2), 7u);
    EXPECT_STREQ(small, "1234.");
    EXPECT_EQ(formatFixed(nullptr, 0, -1.5, 3), 6u);
}

struct ThousandsCase {
    double value;
    const char* expected;
};

TEST(FormatThousands, GroupsTheRoundedIntegerDigits) {
    const ThousandsCase cases[] = {
        {0, "0.00"},
        {5.25, "5.25"},
        {55.25, "55.25"},
        {555.25, "555.25"},
        {5555.25, "5,555.25"},
        {55555.25, "55,555.25"},
        {555555.25, "555,555.25"},
        {123456, "123,456.00"},
        {1234567.891, "1,234,567.89"},
        {55758006.123, "55,758,006.12"},
        {999.999, "1,000.00"},
        {999999.995, "1,000,000.00"},
        {0.125, "0.13"},
        {34648025.669, "34,648,025.67"},
        // 1e44 is 1.0000000000000001e44 to 17 digits.
        {1e44, "100,000,000,000,000,010,000,000,000,000,000,000,000,000,000.00"},
        // Outside what the widget passes, but still sound: the sign stands before the groups.
        {-123.0, "-123.00"},
        {-1234.5, "-1,234.50"},
    };
    for (const ThousandsCase& c : cases) {
        EXPECT_STREQ(formatThousands(c.value), c.expected) << c.value;
    }
}

TEST(FormatThousands, TheNextCallOverwritesTheText) {
    const char* first = formatThousands(1234.5);
    const char* second = formatThousands(7.0);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "7.00");
}

TEST(FormatThousands, HugeValuesStayInsideTheBuffer) {
    for (double value : {1e45, 1e100, 1e308, -1e308}) {
        EXPECT_LE(std::strlen(formatThousands(value)), 63u) << value;
    }
}

// Sets TZ for the life of the object.
class TimeZone {
  public:
    explicit TimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
            hadPrevious_ = true;
        }
        setenv("TZ", tz, 1);
    }
    ~TimeZone() {
        if (hadPrevious_) {
            setenv("TZ", previous_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
    }

  private:
    std::string previous_;
    bool hadPrevious_ = false;
};

std::time_t utc(int y, unsigned m, unsigned d, int hh, int mm, int ss) {
    using namespace std::chrono;
    const auto days = sys_days{year{y} / month{m} / day{d}}.time_since_epoch().count();
    return static_cast<std::time_t>(days * 86400 + hh * 3600 + mm * 60 + ss);
}

struct TimeCase {
    const char* tz;
    std::time_t time;
    const char* date;
    const char* clock;
};

TEST(FormatLocalTime, DateAndClockLinesInTheLocalZone) {
    const TimeCase cases[] = {
        {"UTC0", utc(2003, 8, 27, 9, 52, 7), "Wed, Aug 27, 2003", "09:52:07 AM"},
        {"UTC0", utc(2004, 3, 1, 0, 0, 0), "Mon, Mar 01, 2004", "12:00:00 AM"},
        {"UTC0", utc(2004, 3, 1, 12, 0, 0), "Mon, Mar 01, 2004", "12:00:00 PM"},
        {"UTC0", utc(2004, 3, 1, 13, 7, 2), "Mon, Mar 01, 2004", "01:07:02 PM"},
        {"UTC0", utc(2003, 8, 31, 23, 59, 59), "Sun, Aug 31, 2003", "11:59:59 PM"},
        // Half-hour zone east of Greenwich: the local date is already the next month.
        {"IST-5:30", utc(2004, 2, 29, 18, 30, 0), "Mon, Mar 01, 2004", "12:00:00 AM"},
        // Daylight saving in summer, standard time in winter.
        {"EST5EDT,M3.2.0,M11.1.0", utc(2003, 8, 27, 17, 7, 2), "Wed, Aug 27, 2003", "01:07:02 PM"},
        {"EST5EDT,M3.2.0,M11.1.0", utc(2004, 1, 1, 5, 0, 0), "Thu, Jan 01, 2004", "12:00:00 AM"},
        {"<+14>-14", utc(2003, 12, 31, 22, 0, 0), "Thu, Jan 01, 2004", "12:00:00 PM"},
        {"<-10>10", utc(2004, 3, 1, 9, 0, 0), "Sun, Feb 29, 2004", "11:00:00 PM"},
    };
    for (const TimeCase& c : cases) {
        TimeZone zone(c.tz);
        EXPECT_STREQ(formatLocalTime(c.time, DATE_FORMAT).text, c.date) << c.tz << " " << c.time;
        EXPECT_STREQ(formatLocalTime(c.time, CLOCK_FORMAT).text, c.clock) << c.tz << " " << c.time;
    }
}

TEST(FormatLocalTime, EmptyWhenTheTimeCannotBeShown) {
    TimeZone zone("UTC0");
    EXPECT_STREQ(formatLocalTime(-1, DATE_FORMAT).text, "");
    EXPECT_STREQ(formatLocalTime(-86400 * 365, CLOCK_FORMAT).text, "");
    const std::string tooLong(200, 'x');
    EXPECT_STREQ(formatLocalTime(0, tooLong.c_str()).text, "");
    EXPECT_STREQ(formatLocalTime(0, DATE_FORMAT).text, "Thu, Jan 01, 1970");
}

std::string joined(const InfoText& text) {
    std::string all;
    for (const InfoLine& line : text.lines) {
        all += line.view();
        all += '|';
    }
    return all;
}

TEST(InfoText, LinesAtTheClosestApproach) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    TimeZone zone("UTC0");
    EXPECT_EQ(joined(buildInfoText(encounterState, utc(2003, 8, 27, 9, 52, 7))),
              "Wed, Aug 27, 2003|09:52:07 AM|34,648,025.67 mi.|55,758,007.19 km.|0.372719 au.|"
              "3.100 Light Minutes|25.11 arcseconds|Magnitude: -2.88|0 Days|0 Hours|0 Minutes|");
}

TEST(InfoText, SignsAndEmptyTimeLines) {
    EncounterState state{};
    state.magnitude = -0.004;
    state.daysLeft = -3;
    state.hoursLeft = 7;
    state.minutesLeft = 5;
    EXPECT_EQ(joined(buildInfoText(state, -1)),
              "||0.00 mi.|0.00 km.|0.000000 au.|0.000 Light Minutes|0.00 arcseconds|"
              "Magnitude: -0.00|-3 Days|7 Hours|5 Minutes|");
}

TEST(InfoText, TitlesAsShown) {
    EXPECT_EQ(titleAsShown(INFO_BOXES[2].title), "Size & Brightness");
    EXPECT_EQ(titleAsShown("Current Time"), "Current Time");
    EXPECT_EQ(titleAsShown("&About"), "About");
    int lines = 0;
    for (const InfoBox& box : INFO_BOXES) {
        lines += box.lineCount;
    }
    EXPECT_EQ(lines, INFO_LINE_COUNT);
}

// The texts must not follow the process locale, which a GUI toolkit sets from the user's settings.
TEST(NumberTextLocale, SameTextsUnderGermanAndFrenchLocales) {
    FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    TimeZone zone("UTC0");
    const std::time_t now = utc(2003, 8, 27, 21, 52, 7);
    const std::string inC = joined(buildInfoText(encounterState, now));
    const std::string fixedInC = fixed(1234.125, 2);

    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, name), nullptr)
            << name << " is not installed (tools/install-deps.sh generates it)";
        char printed[16];
        std::snprintf(printed, sizeof printed, "%.1f", 0.5);
        EXPECT_STREQ(printed, "0,5") << "the locale is not in effect";
        EXPECT_EQ(joined(buildInfoText(encounterState, now)), inC) << name;
        EXPECT_EQ(fixed(1234.125, 2), fixedInC) << name;
        EXPECT_STREQ(formatThousands(55758006.123), "55,758,006.12") << name;
        EXPECT_STREQ(formatLocalTime(now, CLOCK_FORMAT).text, "09:52:07 PM") << name;
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(fixedInC, "1234.13");
    EXPECT_EQ(inC.substr(0, 30), "Wed, Aug 27, 2003|09:52:07 PM|");
}

} // namespace
