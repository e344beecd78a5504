// The info pane's procedure against the recording layer: what it draws where, for the text units
// the surface reports.

#include "display/info_pane.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "platform/fake/fake.h"
#include "tests/support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

// What one paint of a pane with the given text units and client size draws, one line an operation:
// "title L T R B text", "black|white L T R B", "text X Y text", "stretch L T R B <- L T R B".
std::vector<std::string> paintWith(TextMetrics metrics, int width, int height) {
    fake::reset();
    fake::setTextMetrics(metrics);
    const FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    const WindowHandle parent = plainWindow(WindowStyle::FixedTopLevel, {}, {0, 0, 640, 480});
    const WindowHandle pane = createInfoPane(parent);
    moveWindow(pane, 440, 0, width, height, false);
    EXPECT_EQ(sendMessage(pane, MSG_ERASE_BACKGROUND, 0, 0), 1);
    sendMessage(pane, MSG_PAINT, 0, 0);
    std::vector<std::string> lines;
    auto rect = [](const Rect& r) {
        return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom);
    };
    for (const fake::Drawn& d : fake::drawn()) {
        if (d.call == "drawCenteredText") {
            lines.push_back("title " + rect(d.rect) + " " + d.text);
        } else if (d.call == "drawRoundedOutline") {
            lines.push_back((d.pen == Pen::Black ? "black " : "white ") + rect(d.rect));
        } else if (d.call == "drawText") {
            lines.push_back("text " + std::to_string(d.at.x) + " " + std::to_string(d.at.y) + " " +
                            d.text);
        } else if (d.call == "stretchSurface") {
            lines.push_back("stretch " + rect(d.rect) + " <- " + rect(d.from));
        }
    }
    destroyWindow(parent);
    return lines;
}

// The worked layout for a 16-pixel text height and 7-pixel average width, at 195 x 450.
TEST(InfoPane, WorkedLayout) {
    const std::vector<std::string> expected = {
        "title 10 20 185 84 Current Time",
        "black 10 36 185 84",
        "white 11 37 184 83",
        "text 17 44 Wed, Aug 27, 2003",
        "text 17 60 09:52:19 AM",
        "title 10 100 185 196 Distance to Mars",
        "black 10 116 185 196",
        "white 11 117 184 195",
        "text 17 124 34,648,025.67 mi.",
        "text 17 140 55,758,007.19 km.",
        "text 17 156 0.372719 au.",
        "text 17 172 3.100 Light Minutes",
        "title 10 212 185 276 Size && Brightness",
        "black 10 228 185 276",
        "white 11 229 184 275",
        "text 17 236 25.11 arcseconds",
        "text 17 252 Magnitude: -2.88",
        "title 10 292 185 372 Closest Approach",
        "black 10 308 185 372",
        "white 11 309 184 371",
        "text 17 316 0 Days",
        "text 17 332 0 Hours",
        "text 17 348 0 Minutes",
        "stretch 0 0 195 450 <- 0 0 195 450",
    };
    setenv("TZ", "UTC0", 1);
    EXPECT_EQ(paintWith({16, 7}, 195, 450), expected);
    unsetenv("TZ");
}

// One operation of the paint, for other text units and client widths.
TEST(InfoPane, FollowsTheTextUnitsAndTheClientWidth) {
    struct UnitsCase {
        TextMetrics metrics;
        int width;
        std::size_t operation; // which of the paint's operations
        std::string expected;
    };
    const UnitsCase cases[] = {
        // An odd height halves downward: the first line sits at 20 + 15 - 7 + 15.
        {{15, 7}, 195, 3, "text 17 43 "},
        // Tall text pushes the last box past the picture's bottom: clipped there, not moved.
        {{25, 9}, 195, 18, "black 10 470 185 570"},
        // A client narrower than the margins turns the boxes inside out; nothing else changes.
        {{16, 8}, 5, 3, "text 18 44 "},
    };
    for (const UnitsCase& c : cases) {
        const std::vector<std::string> drawn = paintWith(c.metrics, c.width, 450);
        ASSERT_GT(drawn.size(), c.operation);
        EXPECT_EQ(drawn[c.operation].substr(0, c.expected.size()), c.expected);
    }
}

TEST(InfoPane, APictureThatCannotBeLoadedStillPaintsAndValidates) {
    fake::reset();
    fake::fail("loadPicture");
    const WindowHandle parent = plainWindow(WindowStyle::FixedTopLevel, {}, {0, 0, 640, 480});
    const WindowHandle pane = createInfoPane(parent);
    moveWindow(pane, 440, 0, 200, 480, false);
    sendMessage(pane, MSG_PAINT, 0, 0);
    EXPECT_EQ(fake::drawn().back().call, "stretchSurface");
    EXPECT_EQ(fake::callsStartingWith("validateWindow").size(), 1u);

    // Its surfaces go with it.
    destroyWindow(parent);
    EXPECT_EQ(fake::callsStartingWith("releaseWindowSurface").size(), 1u);
    EXPECT_EQ(fake::callsStartingWith("deleteMemorySurface").size(), 1u);
    // A second pane cannot be had: the class is taken.
    EXPECT_FALSE(createInfoPane(parent));
}

} // namespace
