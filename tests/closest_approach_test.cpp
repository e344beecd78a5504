#include "ephemeris/apparent_place.h"
#include "ephemeris/approach_chart.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/opposition.h"
#include "ephemeris/sky.h"
#include "ephemeris/time_scales.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <vector>

using namespace orvanta;

namespace {

constexpr double SECOND = 1.0 / 86400.0;

double jdAt(int year, int month, int day) {
    return julianDateValue(julianDateFromCalendar(year, month, day, 0.0));
}

// The UT day as YYYYMMDD by the C++ calendar library (JD 2440587.5 is the Unix epoch), not by the
// ephemeris' own calendar arithmetic.
int utcDay(double jd) {
    using namespace std::chrono;
    const year_month_day day{sys_days{days{static_cast<int>(std::floor(jd - 2440587.5))}}};
    return static_cast<int>(day.year()) * 10000 + static_cast<int>(unsigned{day.month()}) * 100 +
           static_cast<int>(unsigned{day.day()});
}

std::vector<double> instants(const std::vector<ClosestApproach>& approaches) {
    std::vector<double> jds;
    jds.reserve(approaches.size());
    for (const ClosestApproach& a : approaches) {
        jds.push_back(a.julianDate);
    }
    return jds;
}

ClosestApproach approachIn(int year) {
    return findClosestApproaches(jdAt(year, 1, 1), jdAt(year + 1, 1, 1)).at(0);
}

TEST(ClosestApproach, FallsOnThePublishedDays) {
    // Every approach from 2003 to 2035, UT, from the table of Mars close approaches that NASA
    // publishes for the public and almanacs reproduce.
    const std::vector<int> published = {
        20030827, 20051030, 20071218, 20100127, 20120305, 20140414, 20160530, 20180731,
        20201006, 20221201, 20250112, 20270220, 20290329, 20310512, 20330705, 20350911,
    };
    std::vector<int> found;
    for (const double jd : instants(findClosestApproaches(jdAt(2003, 1, 1), jdAt(2036, 1, 1)))) {
        found.push_back(utcDay(jd));
    }
    EXPECT_EQ(found, published);
}

// Two seconds either side the distance is larger (by 4e-14 au, where its rounding is 6e-15): the
// instant is known to about a second. The quarter series alone would be up to nine seconds off.
// Stepping from one approach to the next gives the same approaches, instant for instant.
TEST(ClosestApproach, EachIsTheLeastDistanceToTheSecondAndTheNextAfterTheOneBefore) {
    const auto seventyYears = findClosestApproaches(jdAt(1990, 1, 1), jdAt(2060, 1, 1));
    ASSERT_EQ(seventyYears.size(), 33u);
    double previous = jdAt(1990, 1, 1);
    for (const ClosestApproach& a : seventyYears) {
        SCOPED_TRACE(a.julianDate);
        EXPECT_LT(a.distanceAu, earthMarsDistance(a.julianDate - 2 * SECOND, 1.0f));
        EXPECT_LT(a.distanceAu, earthMarsDistance(a.julianDate + 2 * SECOND, 1.0f));
        const std::optional<ClosestApproach> next = nextClosestApproachAfter(previous);
        ASSERT_TRUE(next.has_value());
        EXPECT_TRUE(next->julianDate == a.julianDate && next->distanceAu == a.distanceAu);
        previous = a.julianDate;
    }
}

struct SpanCase {
    double from, to; // days from the minimum
    std::size_t found;
};

// The 2003 minimum lies early in its ten-day scan step and the 2005 one late in its own, so the
// ends below fall on every side of the scan's samples; a span split anywhere but exactly at an
// instant thus gives each minimum once.
TEST(ClosestApproach, SpanEndsNearAMinimum) {
    const SpanCase cases[] = {
        {-1e-6, 400, 1},    {-1, 400, 1},    {-3, 400, 1}, {-5, 400, 1},    {-7, 400, 1},
        {-9, 400, 1},       {-400, 1e-6, 1}, {-400, 1, 1}, {-400, 3, 1},    {-400, 5, 1},
        {-400, 7, 1},       {-400, 9, 1},    {0, 0, 1},    {-SECOND, 0, 1}, {0, SECOND, 1},
        {SECOND, 700, 0},   // the distance rising from FROM is no minimum
        {-700, -SECOND, 0}, // nor is it falling to TO
    };
    for (const int year : {2003, 2005}) {
        const double t = approachIn(year).julianDate;
        for (const SpanCase& c : cases) {
            const auto found = instants(findClosestApproaches(t + c.from, t + c.to));
            EXPECT_EQ(found, std::vector<double>(c.found, t))
                << year << " " << c.from << " .. " << c.to;
        }
    }
}

// Only the 4000 years either side of J2000 are searched, so any span takes bounded time and memory;
// the chart's curve too, also where a day is below the dates' resolution.
TEST(ClosestApproach, EmptyForReversedNonFiniteOrDistantSpans) {
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const double t = approachIn(2003).julianDate;
    const double last = 2451545.0 + 1461000.0;
    const double spans[][2] = {{t + 1, t - 1}, {t + SECOND, t},   {nan, t + 1},
                               {t - 1, nan},   {-inf, t + 1},     {t - 1, inf},
                               {-inf, inf},    {last + 1, 1e300}, {1e18, 1e18 + 1e4}};
    for (const auto& span : spans) {
        EXPECT_TRUE(findClosestApproaches(span[0], span[1]).empty()) << span[0] << " " << span[1];
        const DistanceChart chart = distanceChart(span[0], span[1]);
        EXPECT_TRUE(chart.approaches.empty());
        EXPECT_LE(chart.curve.size(), 1202u) << span[0] << " " << span[1];
        EXPECT_EQ(chart.curve.empty(), !std::isfinite(span[0] + span[1]) || span[1] <= span[0]);
    }
    const auto lastYears = instants(findClosestApproaches(last - 1600, last));
    EXPECT_FALSE(lastYears.empty());
    EXPECT_EQ(instants(findClosestApproaches(last - 1600, 1e300)), lastYears);
    EXPECT_FALSE(nextClosestApproachAfter(nan).has_value());
    EXPECT_FALSE(nextClosestApproachAfter(last).has_value());
}

// The sign change of f between lo and hi, halved down to a hundredth of a second.
template <typename F>
double bisected(F f, double lo, double hi) {
    const bool fallingFromLo = f(lo) > 0;
    EXPECT_NE(fallingFromLo, f(hi) > 0) << lo << " .. " << hi;
    while (hi - lo > SECOND / 100) {
        const double middle = (lo + hi) / 2;
        ((f(middle) > 0) == fallingFromLo ? lo : hi) = middle;
    }
    return (lo + hi) / 2;
}

// How far Mars is past opposition in apparent ecliptic longitude of date, in degrees.
double pastOpposition(double utJd) {
    const double obliquity = nutation(ttOfUt(utJd)).trueObliquity;
    auto longitude = [obliquity](const Equatorial& p) {
        return std::atan2(std::sin(p.rightAscension) * std::cos(obliquity) +
                              std::tan(p.declination) * std::sin(obliquity),
                          std::cos(p.rightAscension)) /
               DEGREE;
    };
    return wrap180(longitude(apparentMars(utJd)) - longitude(apparentSun(utJd)) - 180);
}

// Where the searches step from a cut series' root with its slope, the two series part most: the
// first and last centuries searched. Each approach and opposition there is the full series' own to
// a second, as a bisection within two days of it finds it: of the distance's change over ±0.01 day
// (comparing distances could not settle a second, where their rounding reaches 5e-13 au), and of
// the longitudes' difference.
TEST(ClosestApproach, FarEndsAgreeWithABisectionOfTheFullSeries) {
    const int centuries[][2] = {{1, 100}, {5900, 6000}};
    for (const auto& years : centuries) {
        SCOPED_TRACE(years[0]);
        const Apparitions found =
            apparitionsBetween(julianDateOfYear(years[0]), julianDateOfYear(years[1]));
        EXPECT_GE(found.approaches.size(), 45u);
        EXPECT_GE(found.oppositions.size(), 45u);
        for (const ClosestApproach& a : found.approaches) {
            const double tt = ttOfUt(a.julianDate);
            const double least = bisected(
                [](double t) {
                    return earthMarsDistance(t + 0.01, 1.0f) - earthMarsDistance(t - 0.01, 1.0f);
                },
                tt - 2, tt + 2);
            EXPECT_NEAR(tt, least, SECOND) << a.julianDate;
        }
        for (const double opposition : found.oppositions) {
            EXPECT_NEAR(opposition, bisected(&pastOpposition, opposition - 2, opposition + 2),
                        SECOND);
        }
    }
}

} // namespace
