// Mars tonight's words and marks built from the record: words that agree with each other through
// an evening, a kept pass told as a fresh one, and the whole hours of the place's clock along the
// track, in zones on, half past and three quarters past the hour and across the changes of summer
// time.

#include "display/face_words.h"
#include "display/number_text.h"
#include "display/sky_hours.h"
#include "display/sky_words.h"
#include "ephemeris/julian_date.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

double jdAt(int year, int month, int day, double hours) {
    return julianDateValue(julianDateFromCalendar(year, month, day, hours));
}

// Samples every ten minutes, reached by sums as the track's are.
std::vector<SkySample> samplesFrom(double from, int count) {
    constexpr double STEP = 10.0 / 1440;
    std::vector<SkySample> samples;
    double t = std::floor(from / STEP) * STEP;
    for (int i = 0; i < count; ++i, t += STEP) {
        samples.push_back(SkySample{t, {20, 90}, -30});
    }
    return samples;
}

const Place BERLIN{52.52, 13.405, 34};

std::string utcClock(double utJd) {
    return isoText(nearestMinute(utJd), false) + " UT";
}

// Berlin's clock in winter, an hour ahead of UT.
std::string cet(double utJd) {
    return isoText(nearestMinute(utJd + 1.0 / 24), false).substr(11) + " CET";
}

// An hour and a half after Berlin's sunset the Sun is 16° down, in astronomical twilight: a dark
// sky by the one reading "best seen" is told by, so the words do not call it twilight beside the
// best stretch they say it lies in. Earlier the Sun is higher and the twilight is named.
TEST(SkyWords, FromBerlinTheWordsAgreeOnWhatADarkSkyIs) {
    const struct {
        double hours; // UT on 2027-02-19
        const char* now;
    } cases[] = {
        {18 + 10 / 60.0, "Now 19° above the horizon in the east."},
        {17 + 10 / 60.0, ", in nautical twilight."},
        {16 + 30 / 60.0, ", in civil twilight."},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> lines =
            tonightLines(skyTonight(jdAt(2027, 2, 19, c.hours), BERLIN), cet);
        const std::string said = [&] {
            std::string all;
            for (const std::string& line : lines) {
                all += line + '\n';
            }
            return all;
        }();
        SCOPED_TRACE(said);
        EXPECT_NE(said.find(std::string(c.now) + '\n'), std::string::npos);
        EXPECT_EQ(lines.back(),
                  "Best seen from 18:50 CET to 05:50 CET (the Sun below −12°, Mars above 10°).");
    }
}

// Through the evening of 2027-02-19, ten minutes at a time while Mars is well up: the words call
// the sky twilight exactly until the best stretch begins, never within it.
TEST(SkyWords, TheSkyIsDarkWhereBestSeenSaysSo) {
    const double evening = jdAt(2027, 2, 19, 17);
    int dark = 0, twilight = 0;
    for (int step = 0; step <= 15; ++step) {
        const double now = evening + step * 10.0 / 1440;
        const SkyTonight sky = skyTonight(now, BERLIN);
        if (sky.marsAt.altitude <= 10) {
            continue;
        }
        ASSERT_TRUE(sky.pass.best);
        const std::vector<std::string> lines = tonightLines(sky, utcClock);
        const bool saysTwilight = std::any_of(lines.begin(), lines.end(), [](const auto& line) {
            return line.find("twilight") != std::string::npos;
        });
        EXPECT_EQ(saysTwilight, now < sky.pass.best->from - 1e-6) << utcClock(now);
        (saysTwilight ? twilight : dark)++;
    }
    EXPECT_GT(dark, 0);
    EXPECT_GT(twilight, 0);
}

// What an observer is told where the plain words would mislead: a height by the zenith, a
// magnitude that rounds to nought, a pole, a best stretch of one sample, Mars up all day in a
// polar night; and whether the telescope is shown Mars now.
TEST(SkyWords, TheWordsStayHonestAtTheEdges) {
    const struct {
        Place place;
        double at;
        const char* said;
        const char* notSaid;
        bool disk;
    } cases[] = {
        // Mars 15.8° south crosses the meridian overhead.
        {{-15.8, -70, 3800},
         jdAt(2003, 8, 28, 5),
         "Highest at 2003-08-28T04:54 UT, overhead (90°).",
         "90° above",
         true},
        {{-15.8, -70, 3800},
         jdAt(2003, 8, 28, 5),
         "Now overhead (89°).",
         "above the horizon in",
         true},
        // Magnitude -0.04.
        {BERLIN, jdAt(2027, 4, 15, 21), "at magnitude 0.0,", "-0.0", true},
        // At the South Pole every way is north.
        {{-90, 0, 2835}, jdAt(2033, 7, 5, 10), "Now 28° above the horizon.", "in the north", true},
        {{-90, 0, 2835}, jdAt(2033, 7, 5, 10), "Best seen at any hour now", "Best seen from", true},
        // One sample of dark sky with Mars above 10° is no stretch.
        {{1.29, 103.85, 15}, jdAt(2025, 9, 28, 12), "Not well placed tonight", "Best seen", true},
        // Mars up all day at McMurdo: the dark stretch from its beginning, not from now.
        {{-77.85, 166.67, 10},
         jdAt(2033, 7, 5, 10),
         "Best seen from 2033-07-05T03:00 UT to 2033-07-05T22:50 UT",
         "T09:50",
         true},
        // Below the horizon at noon: no telescope's view.
        {BERLIN, jdAt(2027, 2, 20, 12), "Now below the horizon.", "overhead", false},
    };
    for (const auto& c : cases) {
        const SkyTonight sky = skyTonight(c.at, c.place);
        std::string said;
        for (const std::string& line : tonightLines(sky, utcClock)) {
            said += line + '\n';
        }
        SCOPED_TRACE(said);
        EXPECT_NE(said.find(c.said), std::string::npos);
        EXPECT_EQ(said.find(c.notSaid), std::string::npos);
        EXPECT_EQ(sky.diskSeen, c.disk);
    }
}

// The minute's refresh keeps the pass of the record before: what it tells is what a record found
// afresh tells, and it is found afresh an hour on or at another place.
TEST(SkyWords, AKeptPassIsToldAsAFreshOne) {
    const double first = jdAt(2027, 2, 19, 21);
    const SkyTonight earlier = skyTonight(first, BERLIN);
    for (const double minutes : {1.0, 30.0, 59.0}) {
        const double now = first + minutes / 1440;
        const SkyTonight kept = skyTonight(now, BERLIN, &earlier);
        EXPECT_EQ(kept.passFoundAt, first) << minutes;
        EXPECT_EQ(tonightLines(kept, utcClock), tonightLines(skyTonight(now, BERLIN), utcClock))
            << minutes;
    }
    EXPECT_NE(skyTonight(first + 61.0 / 1440, BERLIN, &earlier).passFoundAt, first);
    EXPECT_EQ(skyTonight(first + 1.0 / 1440, Place{48.85, 2.35, 35}, &earlier).passFoundAt,
              first + 1.0 / 1440);
}

// Zones at :30 and :45 (Delhi, St. John's, Kathmandu, Eucla, Chatham), past midnight, and a
// change of an hour either way (Berlin) and one between two hours of the clock (Chatham).
TEST(SkyHours, EveryZoneHasItsWholeHours) {
    struct Mark {
        int hour;
        int minutes; // after the first sample, in UT
        double fraction;
    };
    const double feb = jdAt(2027, 2, 19, 12);
    const struct {
        double from;       // the first sample
        int before, after; // the offsets in minutes
        double change;     // hours after the first sample, 0 for none
        std::vector<Mark> marks;
    } cases[] = {
        {feb, 60, 60, 0, {{13, 0, 0}, {14, 60, 0}, {15, 120, 0}, {16, 180, 1}}},
        {feb, 330, 330, 0, {{18, 30, 0}, {19, 90, 0}, {20, 150, 0}}},
        {feb, -210, -210, 0, {{9, 30, 0}, {10, 90, 0}, {11, 150, 0}}},
        {feb, 345, 345, 0, {{18, 15, 0.5}, {19, 75, 0.5}, {20, 135, 0.5}}},
        {feb, 525, 525, 0, {{21, 15, 0.5}, {22, 75, 0.5}, {23, 135, 0.5}}},
        {jdAt(2027, 6, 19, 10), 765, 765, 0, {{23, 15, 0.5}, {0, 75, 0.5}, {1, 135, 0.5}}},
        {jdAt(2027, 3, 28, 0), 60, 120, 1, {{1, 0, 0}, {3, 60, 0}, {4, 120, 0}, {5, 180, 1}}},
        {jdAt(2027, 10, 31, 0), 120, 60, 1, {{2, 0, 0}, {2, 60, 0}, {3, 120, 0}, {4, 180, 1}}},
        {jdAt(2027, 9, 25, 13), 765, 825, 1, {{2, 15, 0.5}, {4, 75, 0.5}, {5, 135, 0.5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.before) + " to " + std::to_string(c.after) + " min");
        const std::vector<SkySample> samples = samplesFrom(c.from, 19); // three hours
        const long long change = std::llround((c.from + c.change / 24) * 86400);
        const auto offsetAt = [&](double utJd) {
            return 60 * (std::llround(utJd * 86400) >= change && c.change > 0 ? c.after : c.before);
        };
        const std::vector<HourMark> marks = localHourMarks(samples, offsetAt);
        ASSERT_EQ(marks.size(), c.marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(marks[i].hour, c.marks[i].hour) << i;
            EXPECT_NEAR((marks[i].utJd - samples.front().utJd) * 1440, c.marks[i].minutes, 1e-4)
                << i;
            EXPECT_NEAR(marks[i].fraction, c.marks[i].fraction, 1e-6) << i;
            const SkySample& on = samples[marks[i].after];
            EXPECT_NEAR((on.utJd - samples.front().utJd) * 1440,
                        c.marks[i].minutes - 10 * c.marks[i].fraction, 1e-4)
                << i;
        }
    }
}

} // namespace

// A crossing told on the place's clock with UT beside it, UT once when it is the clock; a sky
// from astronomical twilight on is a dark one, a lighter one named.
TEST(SkyWords, AFaceOnTheCentralMeridian) {
    const MarsFeature syrtis = marsFeatures()[0];
    const double at = julianDateValue(julianDateFromCalendar(2003, 8, 27, 22 + 40 / 60.0));
    const ClockText cet = [](double) { return std::string("23:40 CET"); };
    const ClockText ut = [](double) { return std::string("22:40 UT"); };
    const struct {
        const ClockText& clock;
        double altitude, sun;
        const char* told;
    } cases[] = {
        {cet, 44.6, -30, "at 23:40 CET (22:40 UT), Mars 45° up, dark sky"},
        {ut, 12.4, -15, "at 22:40 UT, Mars 12° up, dark sky"},
        {cet, 3.0, -8, "at 23:40 CET (22:40 UT), Mars 3° up, nautical twilight"},
        {ut, 20.0, 5, "at 22:40 UT, Mars 20° up, daylight"},
    };
    for (const auto& c : cases) {
        const FaceCrossing crossing{&syrtis, at, c.altitude, c.sun, skyLightOf(c.sun)};
        EXPECT_EQ(faceLine(crossing, c.clock),
                  std::string("Syrtis Major on the central meridian ") + c.told);
    }
}
