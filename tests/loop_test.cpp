// Mars's loop among the stars: its daily path against an independent implementation's figures
// (tests/loop/path.tsv, made by tests/loop/make_loop_reference.py) around three approaches, two of
// them across 0 h, the frame it is drawn in, the stars along the path (tests/loop/along.tsv, made
// by tests/loop/make_along_reference.py), and the years that have no loop.

#include "display/loop_scene.h"
#include "ephemeris/apparent_place.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/mars_loop.h"
#include "ephemeris/stars.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

using namespace orvanta;

namespace {

double dayOf(const std::string& iso) { // "2003-08-27", 0 h UT
    return julianDateValue(julianDateFromCalendar(std::stoi(iso.substr(0, 4)),
                                                  std::stoi(iso.substr(5, 2)),
                                                  std::stoi(iso.substr(8, 2)), 0.0));
}

TEST(Loop, PathAgreesWithAnIndependentImplementation) {
    std::map<double, Equatorial> theirs;
    std::ifstream table(ORVANTA_LOOP_REFERENCE);
    std::string date;
    std::getline(table, date); // the heading
    for (double ra = 0, dec = 0; table >> date >> ra >> dec;) {
        theirs[dayOf(date)] = {ra * DEGREE, dec * DEGREE, 1};
    }
    ASSERT_EQ(theirs.size(), 483u);
    for (const int year : {2003, 2027, 2035}) {
        const std::optional<MarsLoop> loop = marsLoopOfYear(year);
        ASSERT_TRUE(loop) << year;
        std::size_t compared = 0;
        for (const LoopDay& day : loop->days) {
            if (const auto found = theirs.find(day.utJd); found != theirs.end()) {
                ++compared;
                EXPECT_LT(separation(day.place, found->second), 1.0 / 60)
                    << year << " " << day.utJd;
            }
        }
        // The whole loop, stop to stop and a month either side, lies within the table's days.
        EXPECT_EQ(compared, loop->days.size()) << year;
        EXPECT_LT(loop->stops[0].utJd, loop->opposition.utJd) << year;
        EXPECT_LT(loop->opposition.utJd, loop->stops[1].utJd) << year;
        EXPECT_GE(loop->stops[0].utJd - loop->days.front().utJd, 29.0) << year;
        EXPECT_GE(loop->days.back().utJd - loop->stops[1].utJd, 29.0) << year;
        // The frame holds the whole path, also across 0 h, in the picture's shape.
        for (const double aspect : {0.6, 1.5, 3.0}) {
            const LoopFrame frame = loopFrame(*loop, aspect);
            EXPECT_NEAR(frame.width() / frame.height(), aspect, 1e-9);
            for (const LoopDay& day : loop->days) {
                const std::optional<ChartPoint> p = frame.project(day.place);
                ASSERT_TRUE(p && p->x > frame.left && p->x < frame.right && p->y > frame.bottom &&
                            p->y < frame.top)
                    << year << " " << aspect;
                EXPECT_LT(separation(frame.placeAt(*p), day.place), 1e-9);
            }
        }
        // A place the plane cannot hold (the opposite sky) is found before the picture draws on.
        MarsLoop far = *loop;
        EXPECT_TRUE(loopFrame(far, 1.5).holds(far));
        const LoopFrame frame = loopFrame(far, 1.5);
        far.stops[1].place = {frame.centre.rightAscension + PI, -frame.centre.declination, 1};
        EXPECT_FALSE(frame.holds(far)) << year;
    }
}

// Where the constellations' names are placed, a place of date is taken back to J2000.
TEST(Loop, PrecessionIsUndone) {
    for (const double years : {-2000.0, 27.0, 4000.0}) {
        for (const Equatorial p :
             {Equatorial{0.1, 1.5}, Equatorial{3.0, -0.4}, Equatorial{6.0, 0.0}}) {
            const double tt = J2000_JD + years * JULIAN_YEAR_DAYS;
            const Equatorial back = unprecessed(precessed(p, tt), tt);
            EXPECT_LT(separation(back, p), 1e-12) << years;
        }
    }
}

// The stars the chart labels as along the path are those the reference finds within 3° of it on
// one of the loop's days; a star the two put either side of the limit, by less than a tenth of
// a degree, may go either way.
TEST(Loop, TheStarsAlongThePathAreThoseMarsPasses) {
    std::ifstream table(ORVANTA_ALONG_REFERENCE);
    std::string line;
    std::getline(table, line);                                 // the heading
    std::map<int, std::vector<std::pair<int, double>>> passed; // by year: HR, degrees
    std::map<int, std::vector<double>> when;
    int year = 0, number = 0;
    double degrees = 0;
    std::string day;
    while (table >> year >> number >> degrees >> day) {
        passed[year].emplace_back(number, degrees);
        when[year].push_back(dayOf(day));
    }
    ASSERT_EQ(passed.size(), 3u);
    for (const auto& [y, theirs] : passed) {
        SCOPED_TRACE(y);
        const LoopScene scene = loopScene(marsLoopOfYear(y).value());
        std::vector<int> ours;
        for (const std::size_t i : scene.alongPath) {
            ours.push_back(stars()[i].number);
        }
        for (std::size_t k = 0; k < theirs.size(); ++k) {
            const auto [star, least] = theirs[k];
            const bool inSpan = when[y][k] >= scene.loop.days.front().utJd &&
                                when[y][k] <= scene.loop.days.back().utJd;
            const bool found = std::find(ours.begin(), ours.end(), star) != ours.end();
            if (inSpan && least < ALONG_THE_PATH - 0.1) {
                EXPECT_TRUE(found) << "HR " << star << " at " << least << "°";
            }
            if (least > ALONG_THE_PATH + 0.1) {
                EXPECT_FALSE(found) << "HR " << star << " at " << least << "°";
            }
        }
        for (const int star : ours) {
            EXPECT_TRUE(std::any_of(theirs.begin(), theirs.end(),
                                    [&](const auto& t) { return t.first == star; }))
                << "HR " << star;
        }
    }
    // δ Aquarii in 2003 and η Leonis in 2027, right on the path.
    const auto along = [](int y, int number) {
        const LoopScene scene = loopScene(marsLoopOfYear(y).value());
        return std::any_of(scene.alongPath.begin(), scene.alongPath.end(),
                           [&](std::size_t i) { return stars()[i].number == number; });
    };
    EXPECT_TRUE(along(2003, 8709));
    EXPECT_TRUE(along(2027, 3975));
    // And in words, for a screen reader.
    EXPECT_NE(alongWords(loopScene(marsLoopOfYear(2003).value())).find("δ Aquarii (Skat)"),
              std::string::npos);
}

TEST(Loop, OnlyAYearWithAnApproachHasOne) {
    for (const int year : {2026, 2028, 6000, -3000}) {
        EXPECT_FALSE(marsLoopOfYear(year)) << year;
    }
}

} // namespace
