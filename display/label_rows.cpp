#include "display/label_rows.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orvanta {

std::vector<int> labelRows(const std::vector<double>& places, double width, double gap, int rows,
                           const std::vector<int>& first) {
    std::vector<int> row(places.size(), -1);
    if (rows <= 0) {
        return row;
    }
    std::vector<std::size_t> order(places.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return places[a] < places[b]; });
    const double apart = width + gap;
    const auto clear = [&](std::size_t i, int r) {
        // Placed labels of a row may lie on either side of a new one, since `first` came first.
        for (std::size_t j = 0; j < places.size(); ++j) {
            if (row[j] == r && j != i && std::abs(places[j] - places[i]) < apart) {
                return false;
            }
        }
        return true;
    };
    std::vector<std::size_t> wanted;
    for (const int i : first) {
        if (i >= 0 && static_cast<std::size_t>(i) < places.size()) {
            wanted.push_back(static_cast<std::size_t>(i));
        }
    }
    order.insert(order.begin(), wanted.begin(), wanted.end());
    for (const std::size_t i : order) {
        for (int r = 0; r < rows && row[i] < 0; ++r) { // a repeated one is placed already
            if (clear(i, r)) {
                row[i] = r;
            }
        }
    }
    return row;
}

std::vector<int> smallestFirst(const std::vector<double>& figures) {
    std::vector<int> order(figures.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return figures[static_cast<std::size_t>(a)] < figures[static_cast<std::size_t>(b)];
    });
    return order;
}

} // namespace orvanta
