// orvanta-state --sky: the lines, with the figures an independent implementation gives for Berlin
// on the night of the 2027 approach (tests/sky/reference.tsv), the Moon near Mars a day later, and
// bad places refused.

#include "tools/state/state_tool.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using namespace orvanta;

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> all;
    for (std::string w; in >> w;) {
        all.push_back(w);
    }
    return all;
}

TEST(SkyTool, TheLinesForAPlace) {
    std::string out, err;
    ASSERT_EQ(
        runStateTool(words("--sky --utc 2027-02-20T00:14:00 --place 52.52,13.405,34"), out, err), 0)
        << err;
    EXPECT_EQ(out, "place 52.5200 13.4050 34\n"
                   "mars 2027-02-20T00:14:00Z altitude 51.65 azimuth 199.32 constellation Leo\n"
                   "sun altitude -47.16\n"
                   "rise 2027-02-19T15:59Z azimuth 63.4\n"
                   "transit 2027-02-19T23:25Z altitude 52.9\n"
                   "set 2027-02-20T06:52Z azimuth 296.8\n"
                   "near Regulus 4.02 north-east\n"
                   // astronomy-engine: 13.815, 0.99946, 20.14, 158.12 and 10.47.
                   "disk diameter 13.81 phase 0.999 tilt 20.14 cm 158.10 pole 10.47\n");
    // A day on, the Moon has come within 10° of Mars (6.73° by the same implementation).
    ASSERT_EQ(
        runStateTool(words("--sky --utc 2027-02-21T00:14:00 --place 52.52,13.405,34"), out, err),
        0);
    EXPECT_NE(out.find("\nnear Regulus 3.99 north\nmoon 6.7\ndisk "), std::string::npos) << out;
    // From the time zone's city when no place is given.
    setenv("TZ", "Europe/Berlin", 1);
    ASSERT_EQ(runStateTool(words("--sky --utc 2027-02-20T00:14:00"), out, err), 0);
    EXPECT_EQ(out.substr(0, 25), "place 52.5000 13.3667 0\nm");
    setenv("TZ", "UTC", 1);
    EXPECT_EQ(runStateTool(words("--sky --utc 2027-02-20T00:14:00"), out, err), 2);
    unsetenv("TZ");
}

TEST(SkyTool, BadPlacesAndCombinations) {
    for (const char* line : {"--sky --place 91,0", "--sky --place 0,181", "--sky --place north",
                             "--sky --place", "--place 52,13", "--sky --place 1,2 --place 3,4",
                             "--sky --jd 2451545", "--sky --lines --place 1,2",
                             "--sky --utc 2027-02-20T00:14:00 --utc "
                             "2027-02-21T00:14:00 --place 1,2"}) {
        std::string out, err;
        EXPECT_EQ(runStateTool(words(line), out, err), 2) << line;
        EXPECT_EQ(out, "") << line;
        EXPECT_EQ(err.rfind("orvanta-state: ", 0), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}

} // namespace
