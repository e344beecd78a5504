#pragma once

// Labels along a line that must not overlap: each wants to be centred at its place and takes
// `width` along the line. Pure arithmetic for the Approaches window's pictures.

#include <vector>

namespace orvanta {

// The row (0 to rows - 1) each label is drawn in, or -1 where it is left out: in order of place,
// each goes into the first row where it keeps `gap` clear of the labels put there. The labels at
// the indices `first` (any that are -1 or repeated are passed over) are placed before all others
// in that order: the first of them in row 0, so that it is never the one left out.
std::vector<int> labelRows(const std::vector<double>& places, double width, double gap, int rows,
                           const std::vector<int>& first = {});

// An order of priority for labels of things told apart by one figure: the smallest first (the
// closest approaches of a span), ties in their order. It depends on nothing picked, so that no
// label moves when the pick does.
std::vector<int> smallestFirst(const std::vector<double>& figures);

} // namespace orvanta
