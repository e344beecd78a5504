// Labels in rows: none overlaps another in its row, the one placed first is always drawn, and a
// label is left out only where every row is taken beside it; labels placed among candidates.

#include "display/label_placement.h"
#include "display/label_rows.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/julian_date.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(LabelRows, NoOverlapsAndTheFirstKept) {
    const std::vector<double> places = {0, 10, 20, 30, 31, 95, 200, 400, 401, 402, 60};
    constexpr double WIDTH = 50, GAP = 5;
    for (const int rows : {1, 2, 3}) {
        // None first; one; several, with one that is not there and one repeated.
        for (const std::vector<int>& first :
             {std::vector<int>{}, std::vector<int>{4}, std::vector<int>{8, -1, 9, 8, 3}}) {
            SCOPED_TRACE(testing::Message() << rows << " rows, first of " << first.size());
            const std::vector<int> row = labelRows(places, WIDTH, GAP, rows, first);
            if (!first.empty()) {
                EXPECT_EQ(row[first[0]], 0);
            }
            // 9 lies beside 8 alone: with a second row it is placed even before 7, its neighbour.
            if (first.size() > 1) {
                EXPECT_EQ(row[9], rows > 1 ? 1 : -1);
            }
            for (std::size_t i = 0; i < places.size(); ++i) {
                std::vector<bool> taken(rows, false);
                for (std::size_t j = 0; j < places.size(); ++j) {
                    const bool near = j != i && std::fabs(places[i] - places[j]) < WIDTH + GAP;
                    EXPECT_FALSE(near && row[i] >= 0 && row[i] == row[j]) << i << " and " << j;
                    if (near && row[j] >= 0) {
                        taken[row[j]] = true;
                    }
                }
                EXPECT_TRUE(row[i] >= 0 || std::count(taken.begin(), taken.end(), true) == rows)
                    << i << " left out with room";
            }
        }
    }
}

// Two centuries of approaches on a chart 640 wide, three rows of labels of the width of a date:
// with the closest placed first, every great approach (closer than 0.40 au: 1924, 1939, 1956,
// 1971, 1988, 2003, 2018, 2035, 2050, 2066, 2082, 2097...) keeps its label, however many lesser
// ones crowd between.
TEST(LabelRows, TheClosestApproachesAreLabelledFirst) {
    const double from = julianDateValue(julianDateFromCalendar(1900, 1, 1, 0));
    const double to = julianDateValue(julianDateFromCalendar(2100, 1, 1, 0));
    const std::vector<ClosestApproach> approaches = findClosestApproaches(from, to);
    std::vector<double> places, distances;
    for (const ClosestApproach& a : approaches) {
        places.push_back((a.julianDate - from) / (to - from) * 640);
        distances.push_back(a.distanceAu);
    }
    const std::vector<int> row = labelRows(places, 64, 8, 3, smallestFirst(distances));
    int great = 0, lesserLeftOut = 0;
    for (std::size_t i = 0; i < approaches.size(); ++i) {
        if (distances[i] < 0.40) {
            ++great;
            EXPECT_GE(row[i], 0) << i;
        }
        lesserLeftOut += row[i] < 0;
    }
    EXPECT_GE(great, 12);
    EXPECT_GT(lesserLeftOut, 0); // the chart is crowded: the rule is put to work
}

// Placed in order of priority, each label takes its first candidate that is inside and overlaps
// nothing taken, by what else is written or by a label placed before it; edges may touch.
TEST(LabelPlacement, TheFirstFreeCandidateInOrderOfPriority) {
    const LabelBox caption{0, 0, 10, 2};
    const auto inside = [](const LabelBox& b) { return b.left >= 0 && b.right <= 20; };
    const struct {
        const char* what;
        std::vector<std::vector<LabelBox>> candidates;
        std::vector<int> chosen;
    } cases[] = {
        {"the first when free", {{{12, 0, 16, 2}, {12, 4, 16, 6}}}, {0}},
        {"over the caption: the next", {{{8, 1, 12, 3}, {12, 0, 16, 2}}}, {1}},
        {"cut at the edge: the next", {{{18, 4, 22, 6}, {-1, 4, 3, 6}, {14, 4, 18, 6}}}, {2}},
        {"touching the caption", {{{10, 0, 14, 2}}}, {0}},
        {"no room: left out", {{{5, 1, 9, 3}, {19, 3, 23, 5}}}, {-1}},
        {"the earlier label keeps its place",
         {{{12, 4, 16, 6}}, {{13, 5, 17, 7}, {12, 6, 16, 8}}, {{12, 4, 16, 6}}},
         {0, 1, -1}},
        {"y running upwards", {{{12, 6, 16, 4}}, {{13, 7, 17, 5}, {13, 9, 17, 7}}}, {0, 1}},
    };
    for (const auto& c : cases) {
        std::vector<LabelBox> taken = {caption};
        EXPECT_EQ(placeLabels(c.candidates, taken, inside), c.chosen) << c.what;
        const auto placed =
            std::count_if(c.chosen.begin(), c.chosen.end(), [](int i) { return i >= 0; });
        EXPECT_EQ(taken.size(), 1 + static_cast<std::size_t>(placed)) << c.what;
    }
}

} // namespace
