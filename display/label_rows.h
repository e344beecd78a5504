#pragma once

// Labels along a line that must not overlap: each wants to be centred at its place and takes
// `width` along the line. Pure arithmetic for the Approaches window's pictures.

#include <vector>

namespace orvanta {

// The row (0 to rows - 1) each label is drawn in, or -1 where it is left out: in order of place,
// each goes into the first row where it keeps `gap` clear of the last label put there. The label
// at index `first` (if any) is placed before all others, in row 0, so that it is never the one
// left out.
std::vector<int> labelRows(const std::vector<double>& places, double width, double gap, int rows,
                           int first = -1);

} // namespace orvanta
