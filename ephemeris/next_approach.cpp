#include "ephemeris/next_approach.h"

namespace orvanta {

const std::optional<ClosestApproach>& NextApproach::at(double now) {
    // An approach between now − keptPast and the last search's start could only be missed once
    // the clock went back before that search; none found stays none for every later instant.
    const bool held =
        searched_ && searchedAt_ <= now && (!next_ || now <= next_->julianDate + keptPast_);
    if (!held) {
        searched_ = true;
        searchedAt_ = now;
        next_ = nextClosestApproachAfter(now - keptPast_);
    }
    return next_;
}

} // namespace orvanta
