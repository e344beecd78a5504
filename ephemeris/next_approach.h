#pragma once

#include "ephemeris/closest_approach.h"

#include <optional>

namespace orvanta {

// The next closest approach as a clock moves on: one is kept (its instant then passed) until
// `keptPast` days after it, then the following one is taken. The search runs only when that
// happens or when the clock is set back before the instant it last searched at, so asking at
// every refresh stays cheap; beyond the searched years the answer is empty.
class NextApproach {
  public:
    explicit NextApproach(double keptPast) : keptPast_(keptPast) {}
    // At the UT instant `now`.
    const std::optional<ClosestApproach>& at(double now);
    // What the latest call gave; empty before any.
    const std::optional<ClosestApproach>& latest() const { return next_; }

  private:
    double keptPast_;
    bool searched_ = false;
    double searchedAt_ = 0.0;
    std::optional<ClosestApproach> next_;
};

} // namespace orvanta
