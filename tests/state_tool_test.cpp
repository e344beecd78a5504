// orvanta-state: worked outputs (the sky's for Berlin on the night of the 2027 approach, as
// tests/sky/reference.tsv has it, and the Moon near Mars a day later), runs that must agree, and
// bad command lines.

#include "tools/state/state_tool.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

using Args = std::vector<std::string>;

struct Result {
    int status;
    std::string out, err;
};

Result run(const Args& args) {
    Result r{};
    r.status = runStateTool(args, r.out, r.err);
    return r;
}

Args words(const std::string& line) {
    Args args;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        args.push_back(word);
    }
    return args;
}

Result run(const char* line) {
    return run(words(line));
}

// Printed to 17 significant digits, so that they read back exactly.
const std::string STATE_2003 =
    "now 2452878.9113310184\n"
    "earth.x 0.90573176832005819\nearth.y -0.44792349341826632\nearth.z 1.1974926868056451e-06\n"
    "mars.x 1.2421563897119037\nmars.y -0.6024455489120637\nmars.z -0.043138739972402779\n"
    "distanceAu 0.37271925858099497\ndistanceKm 55758007.19169607\n"
    "distanceMi 34648025.668919936\napparentDiameterArcsec 25.112735080111225\n"
    "lightMinutes 3.0998115364916923\nmagnitude -2.8817396209962185\n"
    "daysLeft 0\nhoursLeft 0\nminutesLeft 0\n";

TEST(StateTool, WorkedOutputs) {
    const std::pair<const char*, std::string> cases[] = {
        {"--utc 2003-08-27T09:52:19", STATE_2003},
        // The time lines in the local zone, two hours east: 11:52:19.
        {"--lines --utc 2003-08-27T09:52:19",
         STATE_2003 + "\nCurrent Time\nWed, Aug 27, 2003\n11:52:19 AM\n"
                      "Distance to Mars\n34,648,025.67 mi.\n55,758,007.19 km.\n0.372719 au.\n"
                      "3.100 Light Minutes\nSize & Brightness\n25.11 arcseconds\nMagnitude: -2.88\n"
                      "Closest Approach\n0 Days\n0 Hours\n0 Minutes\n"},
        // The least distance of 2003 at 09:52:18 TT, the countdown's instant read as TT to a few
        // seconds, told TT − UT (64.184 s) earlier.
        {"--approaches 2003-01-01T00:00:00 2006-01-01T00:00:00",
         "stationary 2003-07-29T07:36 retrograde 340.13\n"
         "2003-08-27T09:51:14 2452878.910574 0.372719259 55758007 25.11 -2.88 173.2\n"
         "opposition 2003-08-28T17:59\n"
         "stationary 2003-09-27T07:51 direct 330.12\n"
         "stationary 2005-10-01T22:04 retrograde 53.37\n"
         "2005-10-30T03:24:34 2453673.642061 0.464062918 69422824 20.17 -2.26 168.9\n"
         "opposition 2005-11-07T07:57\n"
         "stationary 2005-12-10T04:03 direct 38.24\n"},
        // An opposition and stationary points in the span whose approach is not, and none at all.
        {"--approaches 2005-11-01T00:00:00 2007-12-10T00:00:00",
         "opposition 2005-11-07T07:57\nstationary 2005-12-10T04:03 direct 38.24\n"
         "stationary 2007-11-15T08:24 retrograde 102.45\n"},
        {"--approaches 2004-01-01T00:00:00 2005-01-01T00:00:00", ""},
        {"--jd 2452878.911333 --factor 0.25",
         "earth 0.90573167201580906 -0.44792346870589211 1.1895616545798714e-06\n"
         "mars 1.2421563879527435 -0.60244559751055993 -0.043138350975214991\n"},
        {"--sky --utc 2027-02-20T00:14:00 --place 52.52,13.405,34",
         "place 52.5200 13.4050 34\n"
         "mars 2027-02-20T00:14:00Z altitude 51.65 azimuth 199.32 constellation Leo\n"
         "sun altitude -47.16\nrise 2027-02-19T15:59Z azimuth 63.4\n"
         "transit 2027-02-19T23:25Z altitude 52.9\nset 2027-02-20T06:52Z azimuth 296.8\n"
         "best 2027-02-19T17:50Z 2027-02-20T04:50Z\n"
         // tests/sky/reference.tsv: HR 3975 (η Leo), 2.3632° south-east.
         "near η Leo 2.36 south-east\n"
         // astronomy-engine: 13.815, 0.99946, 20.14, 158.12 and 10.47.
         "disk diameter 13.81 phase 0.999 tilt 20.14 cm 158.10 pole 10.47\n"},
        // A night of the approach, the Moon full beside Mars; a night at 69° N never dark.
        {"--nights 2027-02-19T00:00:00 2027-02-20T00:00:00 --place 52.52,13.405,34",
         "2027-02-19 13.8 52.9 2027-02-19T23:25Z 11.3 0.99 14.1\n"},
        {"--nights 2027-06-15T00:00:00 2027-06-16T00:00:00 --place 69.65,18.96",
         "2027-06-15 6.4 none none 0.0 0.91 65.5\n"},
        // tests/faces/reference.csv: 20:09:15, 21:18:58 (twice), 00:44:00 and 02:06:00.
        {"--faces --utc 2003-08-27T12:00:00 --place 52.52,13.405,34",
         "face Isidis Planitia 2003-08-27T20:09Z altitude 10.1\n"
         "face Syrtis Major 2003-08-27T21:19Z altitude 16.8\n"
         "face Hellas 2003-08-27T21:19Z altitude 16.8\n"
         "face Sinus Sabaeus 2003-08-28T00:44Z altitude 19.4\n"
         "face Sinus Meridiani 2003-08-28T02:06Z altitude 13.0\n"},
    };
    setenv("TZ", "<+02>-2", 1);
    for (const auto& [line, out] : cases) {
        const Result r = run(line);
        EXPECT_TRUE(r.status == 0 && r.err.empty()) << line << ": " << r.err;
        EXPECT_EQ(r.out, out) << line;
    }
    unsetenv("TZ");
    // A day on, the Moon has come within 10° of Mars (6.73° by the same implementation), full
    // (0.99985 by the same).
    EXPECT_NE(run("--sky --utc 2027-02-21T00:14:00 --place 52.52,13.405,34")
                  .out.find("\nnear η Leo 1.98 south-east\nmoon 6.7 phase 1.000\ndisk "),
              std::string::npos);
    const Result help = run("--help");
    EXPECT_TRUE(help.status == 0 && help.out.rfind("usage: orvanta-state", 0) == 0 &&
                help.err.empty());
}

TEST(StateTool, RunsThatMustAgree) {
    // One block per reading, separated by an empty line.
    EXPECT_EQ(run("--utc 2000-01-01T12:00:00 --utc 2003-08-27T10:00:00").out,
              run("--utc 2000-01-01T12:00:00").out + "\n" + run("--utc 2003-08-27T10:00:00").out);
    // Without a reading: the current instant, a Julian date of this era.
    EXPECT_EQ(run("").out.rfind("now 24", 0), 0u);
    // A factor beyond single precision means full precision.
    EXPECT_EQ(run("--jd 2451545 --factor 1e300").out, run("--jd 2451545").out);
    // Counting to the next approach (2027-02-20T00:12:53 UT) as the widget does when asked to, and
    // to 2003's again on the next run.
    EXPECT_NE(run("--lines --target next --utc 2026-12-07T00:00:00")
                  .out.find("\nClosest Approach 2027\n75 Days\n0 Hours\n12 Minutes\n"),
              std::string::npos);
    EXPECT_NE(run("--lines --utc 2026-12-07T00:00:00").out.find("\n-8503 Days\n"),
              std::string::npos);
    // The sky without --place: from the town of the time zone, and none for a zone without one.
    setenv("TZ", "Europe/Berlin", 1);
    EXPECT_EQ(run("--sky --utc 2027-02-20T00:14:00").out.substr(0, 25),
              "place 52.5244 13.4105 0\nm");
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(run("--sky --utc 2027-02-20T00:14:00").status, 2);
    // A town for --place, and the same place in degrees and minutes.
    EXPECT_EQ(run("--sky --utc 2027-02-20T00:14:00 --place Reykjavik").out.substr(0, 24),
              "place 64.1355 -21.8954 0");
    EXPECT_EQ(run("--sky --utc 2027-02-20T00:14:00 --place 64d08'N,21d54'W").out.substr(0, 24),
              "place 64.1333 -21.9000 0");
    unsetenv("TZ");
}

// A long span is found in pieces side by side, on threads of their own: together they tell what
// its halves tell, no approach, stop or opposition twice or lost at a seam.
TEST(StateTool, ALongSpanInPiecesTellsWhatItsHalvesTell) {
    const std::string whole = run("--approaches 1900-01-01T00:00:00 2100-01-01T00:00:00").out;
    const std::string halves = run("--approaches 1900-01-01T00:00:00 2000-01-01T00:00:00").out +
                               run("--approaches 2000-01-01T00:00:00 2100-01-01T00:00:00").out;
    EXPECT_EQ(whole, halves);
    EXPECT_NE(whole.find("\n2003-08-27T09:51:14 "), std::string::npos);
}

TEST(StateTool, BadInputIsOneLineOnStandardErrorAndExitStatus2) {
    std::vector<Args> cases = {
        {"--utc", "2003-08-27 09:52:19"},
        {"--jd", ""},
        {"--utc", "2003-08-27\nT09:52:19"}, // must not break the one-line message
        {"--bogus\x1b[2J"},                 // nor reach the terminal as a control sequence,
        {"--utc", "\x9b"
                  "2J\xc2\x9b"
                  "31m"},                               // 8-bit or in UTF-8
        {"--sky", "--place", std::string(100000, '1')}, // told in a line a person reads
    };
    for (const char* line :
         {"--utc yesterday", "--utc 2003-13-01T00:00:00", "--utc 2003-00-01T00:00:00",
          "--utc 2003-02-29T00:00:00", "--utc 1900-02-29T00:00:00", "--utc 2003-04-31T00:00:00",
          "--utc 2003-08-27T09:52:60", "--utc 2003-08-27T24:00:00", "--utc 2003-08-27T09:60:00",
          "--utc 0000-01-01T00:00:00", "--utc 2003-08-27T09:52:19Z", "--utc 2003-8-27T09:52:19",
          "--utc 2003-08-27T09:52:19 --utc", "--jd", "--jd abc", "--jd 2451545x", "--jd nan",
          "--jd 2451545 --factor fast", "--jd 2451545 --factor nan", "--jd 2451545 --factor",
          "--jd 2451545 --jd 2451546", "--factor 0.25", "--jd 2451545 --utc 2003-08-27T09:52:19",
          "--verbose", "--lines --utc 2003-08-27T09:52:19 --utc 2003-08-27T09:52:20",
          "--lines --jd 2451545", "2003-08-27T09:52:19",
          // Beyond the calendar, where positions would be NaN.
          "--jd 1e100", "--jd 1757584.4", "--jd 5373484.5", "--utc 0099-12-31T23:59:59",
          "--target 0099", "--sky --utc 0001-01-01T00:00:00",
          "--approaches 2010-01-01T00:00:00 1990-01-01T00:00:00",
          "--approaches 1000-01-01T00:00:00 2000-01-02T00:00:00", // over 1000 years
          "--approaches 2003-08-27 2004-01-01T00:00:00", "--approaches 2003-01-01T00:00:00",
          "--approaches 2003-01-01T00:00:00 2004-01-01T00:00:00 --lines", "--target soon",
          "--target 2004", "--target 20350", "--target next --jd 2451545",
          // Beyond the searched years: no answer is not an answer.
          "--approaches 5999-01-01T00:00:00 6001-01-01T00:00:00",
          "--ics 2004-01-01T00:00:00 2005-01-01T00:00:00", // no approach: a calendar needs one
          "--ics 2004-01-01T00:00:00 2005-01-01T00:00:00 --with-oppositions", // nor any other
          "--with-oppositions",
          "--approaches 2003-01-01T00:00:00 2004-01-01T00:00:00 --with-oppositions",
          // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one argument line, split to fit
          "--ics 2003-01-01T00:00:00 2004-01-01T00:00:00 --approaches 2003-01-01T00:00:00 "
          "2004-01-01T00:00:00",
          "--target next --utc 5999-06-01T00:00:00",
          // Equal ends alike for both; the limit held to the second.
          "--approaches 2003-01-01T00:00:00 2003-01-01T00:00:00",
          "--ics 2003-08-27T09:51:14 2003-08-27T09:51:14",
          "--approaches 5990-01-01T00:00:00 6000-01-01T00:00:01", "--sky --place 52.5,13.4,1e308",
          "--sky --place 52.5,13.4,-7000000", "--target next --lines --utc 9000-01-01T00:00:00",
          "--sky --place north", "--place 52,13", "--sky --place 1,2 --place 3,4",
          "--sky --jd 2451545", "--sky --lines --place 1,2", "--faces --sky --place 1,2",
          "--faces --jd 2451545",
          "--sky --utc 2027-02-20T00:14:00 --utc 2027-02-21T00:14:00 --place 1,2",
          "--nights 2027-02-20T00:00:00 2027-02-19T00:00:00",
          "--nights 2027-01-01T00:00:00 2030-01-01T00:00:00", "--nights 2027-01-01T00:00:00",
          "--nights 2027-01-01T00:00:00 2027-02-01T00:00:00 --sky"}) {

        cases.push_back(words(line));
    }
    setenv("TZ", "Europe/Berlin", 1); // a zone with a place: a bad --place is not passed over
    for (const Args& args : cases) {
        const Result r = run(args);
        const std::string shown = testing::PrintToString(args);
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(r.err.rfind("orvanta-state: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_LT(r.err.size(), 200u) << r.err;
        EXPECT_TRUE(std::all_of(r.err.begin(), r.err.end() - 1, [](char c) {
            return c >= 0x20 && c < 0x7f;
        })) << r.err;
    }
    unsetenv("TZ");
}

TEST(StateTool, LeapDaysAndCalendarLimitsAreAccepted) {
    for (const char* line :
         {"--utc 2000-02-29T00:00:00", "--utc 2004-02-29T23:59:59", "--utc 0100-01-01T00:00:00",
          "--approaches 5990-01-01T00:00:00 6000-01-01T00:00:00", "--utc 9999-12-31T23:59:59",
          "--jd 1757584.5", "--jd 5373484.49"}) {
        EXPECT_EQ(run(line).status, 0) << line;
    }
    // The night of the last day taken ends in the year after it: written whole, not wrapped.
    const std::string last = run("--sky --utc 9999-12-31T23:59:59 --place 52.52,13.40").out;
    EXPECT_NE(last.find("\nrise 10000-01-01T"), std::string::npos) << last;
    EXPECT_EQ(run(Args{"--utc", "bad\tvalue"}).err,
              "orvanta-state: --utc 'bad\\x09value' is not of the form YYYY-MM-DDTHH:MM:SS\n");
}

} // namespace
