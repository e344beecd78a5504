#include "display/sky_hours.h"

#include <algorithm>
#include <cmath>

namespace orvanta {

namespace {

constexpr double DAY = 86400;
constexpr double HOUR = 3600;
// Seconds within which an hour is taken to be on a sample: the grid of samples is reached by
// sums of days, which leave a few microseconds.
constexpr double SLACK = 1e-3;

// The hours on the clock `offset` reads, from `a` to `b` (seconds of UT since the epoch of the
// Julian dates, which began at noon: a whole hour of it is a whole hour of the clock), `b` itself
// only at the track's end.
void hoursBetween(std::size_t i, double a, double b, bool end, int offset,
                  const ZoneOffset& offsetAt, bool check, std::vector<HourMark>& marks) {
    for (double h = std::ceil((a + offset - SLACK) / HOUR);; ++h) {
        const double t = h * HOUR - offset;
        if (end ? t > b + SLACK : t >= b - SLACK) {
            return;
        }
        // Where the offset changes within the step, only the hours of the clock then in force.
        if (check && offsetAt(t / DAY) != offset) {
            continue;
        }
        const double fraction = t - a < SLACK ? 0.0 : std::min((t - a) / (b - a), 1.0);
        const int hour = static_cast<int>(std::fmod(h + 12, 24.0));
        marks.push_back(HourMark{i, fraction, t / DAY, hour});
    }
}

} // namespace

std::vector<HourMark> localHourMarks(const std::vector<SkySample>& samples,
                                     const ZoneOffset& offsetAt) {
    std::vector<HourMark> marks;
    if (samples.size() < 2) {
        return marks;
    }
    int before = offsetAt(samples.front().utJd);
    for (std::size_t i = 0; i + 1 < samples.size(); ++i) {
        const double a = samples[i].utJd * DAY, b = samples[i + 1].utJd * DAY;
        const bool end = i + 2 == samples.size();
        const int after = offsetAt(samples[i + 1].utJd);
        const std::size_t first = marks.size();
        hoursBetween(i, a, b, end, before, offsetAt, before != after, marks);
        if (after != before) {
            hoursBetween(i, a, b, end, after, offsetAt, true, marks);
            std::sort(marks.begin() + static_cast<std::ptrdiff_t>(first), marks.end(),
                      [](const HourMark& x, const HourMark& y) { return x.utJd < y.utJd; });
        }
        before = after;
    }
    return marks;
}

} // namespace orvanta
