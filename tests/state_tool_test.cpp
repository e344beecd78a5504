#include "ephemeris/vsop87.h"
#include "tools/state/state_tool.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(const std::vector<std::string>& args) {
    Result r{};
    r.status = runStateTool(args, r.out, r.err);
    return r;
}

TEST(StateTool, PrintsTheStateForAUtcReading) {
    const Result r = run({"--utc", "2003-08-27T09:52:19"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "now 2452878.9113310184\n"
                     "earth.x 0.90573176832005819\n"
                     "earth.y -0.44792349341826632\n"
                     "earth.z 1.1974926868056451e-06\n"
                     "mars.x 1.2421563897119037\n"
                     "mars.y -0.6024455489120637\n"
                     "mars.z -0.043138739972402779\n"
                     "distanceAu 0.37271925858099497\n"
                     "distanceKm 55758007.19169607\n"
                     "distanceMi 34648025.668919936\n"
                     "apparentDiameterArcsec 25.112735080111225\n"
                     "lightMinutes 3.0998115364916923\n"
                     "magnitude -2.8817396209962185\n"
                     "daysLeft 0\n"
                     "hoursLeft 0\n"
                     "minutesLeft 0\n");
}

TEST(StateTool, OneBlockPerReadingSeparatedByAnEmptyLine) {
    const Result both = run({"--utc", "2000-01-01T12:00:00", "--utc", "2003-08-27T10:00:00"});
    const Result first = run({"--utc", "2000-01-01T12:00:00"});
    const Result second = run({"--utc", "2003-08-27T10:00:00"});
    ASSERT_EQ(both.status, 0);
    EXPECT_EQ(both.out, first.out + "\n" + second.out);
    EXPECT_NE(second.out.find("\ndaysLeft -1\nhoursLeft 23\nminutesLeft 52\n"), std::string::npos);
}

TEST(StateTool, WithoutArgumentsReportsTheCurrentInstant) {
    const Result r = run({});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("now 24", 0), 0u) << r.out; // a Julian date of this era
    EXPECT_NE(r.out.find("\nminutesLeft "), std::string::npos);
}

TEST(StateTool, PositionsForAJulianDateAndFactor) {
    Vec3 earth{}, mars{};
    evaluateEarth(2452878.911333, earth, 0.25f);
    evaluateMars(2452878.911333, mars, 0.25f);
    const std::string out = run({"--jd", "2452878.911333", "--factor", "0.25"}).out;
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(out.c_str(), "earth %lf %lf %lf", &x, &y, &z), 3) << out;
    EXPECT_EQ(x, earth.x); // 17 significant digits read back exactly
    EXPECT_EQ(z, earth.z);
    ASSERT_EQ(std::sscanf(out.c_str() + out.find("\nmars ") + 1, "mars %lf %lf %lf", &x, &y, &z),
              3);
    EXPECT_EQ(y, mars.y);
    // A factor beyond single precision means full precision.
    EXPECT_EQ(run({"--jd", "2451545", "--factor", "1e300"}).out, run({"--jd", "2451545"}).out);
}

TEST(StateTool, LinesFollowTheStateAsThePaneShowsThem) {
    setenv("TZ", "<+02>-2", 1); // two hours east: the local clock reads 11:52:19
    const Result r = run({"--lines", "--utc", "2003-08-27T09:52:19"});
    unsetenv("TZ");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string state = run({"--utc", "2003-08-27T09:52:19"}).out;
    EXPECT_EQ(r.out, state + "\n"
                             "Current Time\n"
                             "Wed, Aug 27, 2003\n"
                             "11:52:19 AM\n"
                             "Distance to Mars\n"
                             "34,648,025.67 mi.\n"
                             "55,758,007.19 km.\n"
                             "0.372719 au.\n"
                             "3.100 Light Minutes\n"
                             "Size & Brightness\n"
                             "25.11 arcseconds\n"
                             "Magnitude: -2.88\n"
                             "Closest Approach\n"
                             "0 Days\n"
                             "0 Hours\n"
                             "0 Minutes\n");
}

TEST(StateTool, ApproachesOneALine) {
    EXPECT_EQ(run({"--approaches", "2003-01-01T00:00:00", "2006-01-01T00:00:00"}).out,
              "2003-08-27T09:52:18 2452878.911316 0.372719259 55758007\n"
              "2005-10-30T03:25:38 2453673.642804 0.464062918 69422824\n");
    EXPECT_EQ(run({"--approaches", "2004-01-01T00:00:00", "2005-01-01T00:00:00"}).out, "");
}

// Counting to the next approach (2027-02-20T00:14:02) as the widget does when asked to.
TEST(StateTool, LinesCountingToTheNextApproach) {
    const std::string out =
        run({"--lines", "--target", "next", "--utc", "2026-12-07T00:00:00"}).out;
    EXPECT_NE(out.find("\nClosest Approach\n75 Days\n0 Hours\n14 Minutes\n"), std::string::npos)
        << out;
    EXPECT_NE(run({"--lines", "--utc", "2026-12-07T00:00:00"}).out.find("\n-8503 Days\n"),
              std::string::npos);
}

TEST(StateTool, HelpGoesToStandardOutput) {
    const Result r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: orvanta-state"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(StateTool, BadInputIsOneLineOnStandardErrorAndExitStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--utc", "yesterday"},
        {"--utc", "2003-13-01T00:00:00"},
        {"--utc", "2003-00-01T00:00:00"},
        {"--utc", "2003-02-29T00:00:00"},
        {"--utc", "1900-02-29T00:00:00"},
        {"--utc", "2003-04-31T00:00:00"},
        {"--utc", "2003-08-27T09:52:60"},
        {"--utc", "2003-08-27T24:00:00"},
        {"--utc", "2003-08-27T09:60:00"},
        {"--utc", "0000-01-01T00:00:00"},
        {"--utc", "2003-08-27 09:52:19"},
        {"--utc", "2003-08-27T09:52:19Z"},
        {"--utc", "2003-8-27T09:52:19"},
        {"--utc"},
        {"--utc", "2003-08-27T09:52:19", "--utc"},
        {"--jd"},
        {"--jd", "abc"},
        {"--jd", "2451545x"},
        {"--jd", ""},
        {"--jd", "nan"},
        {"--jd", "2451545", "--factor", "fast"},
        {"--jd", "2451545", "--factor", "nan"},
        {"--jd", "2451545", "--factor"},
        {"--jd", "2451545", "--jd", "2451546"},
        {"--factor", "0.25"},
        {"--jd", "2451545", "--utc", "2003-08-27T09:52:19"},
        {"--verbose"},
        {"--lines", "--utc", "2003-08-27T09:52:19", "--utc", "2003-08-27T09:52:20"},
        {"--lines", "--jd", "2451545"},
        {"2003-08-27T09:52:19"},
        {"--jd", "1e100"}, // beyond the calendar: positions would be NaN
        {"--jd", "1721425.4"},
        {"--jd", "5373484.5"},
        {"--utc", "2003-08-27\nT09:52:19"}, // must not break the one-line message
        {"--bogus\x1b[2J"},                 // nor reach the terminal as a control sequence
        {"--approaches", "2010-01-01T00:00:00", "1990-01-01T00:00:00"},
        {"--approaches", "1000-01-01T00:00:00", "2000-01-02T00:00:00"}, // over 1000 years
        {"--approaches", "2003-08-27", "2004-01-01T00:00:00"},
        {"--approaches", "2003-01-01T00:00:00"},
        {"--approaches", "2003-01-01T00:00:00", "2004-01-01T00:00:00", "--lines"},
        {"--target", "soon"},
        {"--target", "next", "--jd", "2451545"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args) {
            joined += "[" + a + "]";
        }
        const Result r = run(args);
        EXPECT_EQ(r.status, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        ASSERT_FALSE(r.err.empty()) << joined;
        EXPECT_EQ(r.err.rfind("orvanta-state: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    }
}

TEST(StateTool, LeapDaysAndCalendarLimitsAreAccepted) {
    for (const char* reading : {"2000-02-29T00:00:00", "2004-02-29T23:59:59", "0001-01-01T00:00:00",
                                "9999-12-31T23:59:59"}) {
        EXPECT_EQ(run({"--utc", reading}).status, 0) << reading;
    }
    for (const char* jd : {"1721425.5", "5373484.49"}) {
        EXPECT_EQ(run({"--jd", jd}).status, 0) << jd;
    }
    EXPECT_EQ(run({"--utc", "bad\tvalue"}).err,
              "orvanta-state: --utc 'bad\\x09value' is not of the form YYYY-MM-DDTHH:MM:SS\n");
}

} // namespace
