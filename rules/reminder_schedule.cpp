#include "rules/reminder_schedule.h"

#include <cmath>

namespace orvanta {

bool recordNames(double recordedJd, double approachJd) {
    return std::fabs(recordedJd - approachJd) <= RECORD_TOLERANCE_DAYS;
}

std::optional<int> dueReminder(double approachJd, double now, int latestShown) {
    int latest = -1;
    for (int point = 0; point < REMINDER_POINTS; ++point) {
        if (approachJd - REMINDER_DAYS_BEFORE[point] <= now) {
            latest = point;
        }
    }
    const bool stillAhead =
        latest == REMINDER_POINTS - 1 ? now <= approachJd + MOMENT_GRACE_DAYS : now < approachJd;
    if (latest <= latestShown || !stillAhead) {
        return std::nullopt;
    }
    return latest;
}

} // namespace orvanta
