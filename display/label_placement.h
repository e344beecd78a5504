#pragma once

// Labels placed without collisions: each label, in order of priority, takes the first of its
// candidate places (in order of preference) that is inside the drawing and overlaps nothing taken
// so far, whether by another label or by what else is written there. Pure geometry, so that every
// picture with names to place (the years on the orbits, the names of the stars) can share it.

#include <functional>
#include <vector>

namespace orvanta {

// Axis-aligned, in the drawing's own units; y may run either way.
struct LabelBox {
    double left, top, right, bottom;
    // Touching edges do not overlap: labels may sit side by side.
    bool overlaps(const LabelBox& other) const;
};

// The candidate chosen for each label (an index into its candidates), or -1 where none is free;
// each chosen box is added to `taken`, grown by `spaceX` and `spaceY` on each side where labels
// side by side would read as one. `inside` says whether a box is wholly within the drawing (its
// edges, a circle, clear of lines drawn there).
std::vector<int> placeLabels(const std::vector<std::vector<LabelBox>>& candidates,
                             std::vector<LabelBox>& taken,
                             const std::function<bool(const LabelBox&)>& inside, double spaceX = 0,
                             double spaceY = 0);

} // namespace orvanta
