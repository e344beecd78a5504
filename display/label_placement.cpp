#include "display/label_placement.h"

#include <algorithm>

namespace orvanta {

bool LabelBox::overlaps(const LabelBox& other) const {
    const auto apart = [](double a0, double a1, double b0, double b1) {
        return std::max(a0, a1) <= std::min(b0, b1) || std::max(b0, b1) <= std::min(a0, a1);
    };
    return !apart(left, right, other.left, other.right) &&
           !apart(top, bottom, other.top, other.bottom);
}

std::vector<int> placeLabels(const std::vector<std::vector<LabelBox>>& candidates,
                             std::vector<LabelBox>& taken,
                             const std::function<bool(const LabelBox&)>& inside, double spaceX,
                             double spaceY) {
    std::vector<int> chosen;
    chosen.reserve(candidates.size());
    for (const std::vector<LabelBox>& places : candidates) {
        const auto free = std::find_if(places.begin(), places.end(), [&](const LabelBox& box) {
            return inside(box) && std::none_of(taken.begin(), taken.end(),
                                               [&](const LabelBox& t) { return box.overlaps(t); });
        });
        if (free == places.end()) {
            chosen.push_back(-1);
            continue;
        }
        chosen.push_back(static_cast<int>(free - places.begin()));
        taken.push_back(
            {free->left - spaceX, free->top - spaceY, free->right + spaceX, free->bottom + spaceY});
    }
    return chosen;
}

} // namespace orvanta
