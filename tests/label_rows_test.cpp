// Labels in rows: none overlaps another in its row, the one placed first is always drawn, and a
// label is left out only where every row is taken beside it.

#include "display/label_rows.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvanta;

namespace {

TEST(LabelRows, NoOverlapsAndTheFirstKept) {
    const std::vector<double> places = {0, 10, 20, 30, 31, 95, 200, 400, 401, 402, 60};
    constexpr double WIDTH = 50, GAP = 5;
    for (const int rows : {1, 2, 3}) {
        for (const int first : {-1, 4, 8}) {
            SCOPED_TRACE(testing::Message() << rows << " rows, first " << first);
            const std::vector<int> row = labelRows(places, WIDTH, GAP, rows, first);
            if (first >= 0) {
                EXPECT_EQ(row[first], 0);
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

} // namespace
