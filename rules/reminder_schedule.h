#pragma once

// When to remind of a closest approach: 30 days, 7 days and 1 day before it, and at its moment.
// Each point is shown once; of points that passed unseen (the program was not running) only the
// latest is shown, and only while the approach is still ahead. Pure: the caller keeps what was
// shown.

#include <optional>

namespace orvanta {

constexpr int REMINDER_POINTS = 4;
// Days before the approach, in the order the points come.
constexpr double REMINDER_DAYS_BEFORE[REMINDER_POINTS] = {30.0, 7.0, 1.0, 0.0};
// The moment's own reminder is still shown this long after it (a refresh a second late).
constexpr double MOMENT_GRACE_DAYS = 60.0 / 86400.0;

// A kept record of what was shown names the approach within a minute of it: its six decimals hold
// the instant to a tenth of a second, a search of another version may find it a little apart, and
// approaches come two years apart.
constexpr double RECORD_TOLERANCE_DAYS = 60.0 / 86400.0;
bool recordNames(double recordedJd, double approachJd);

// The point to show now (an index into REMINDER_DAYS_BEFORE) for the approach at `approachJd`,
// given the latest point already shown for it (-1 for none); nothing when none is due.
std::optional<int> dueReminder(double approachJd, double now, int latestShown);

} // namespace orvanta
