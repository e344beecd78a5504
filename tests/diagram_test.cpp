// The off-screen target's state machine and the orbit diagram's scene, against the recording layer.
// What the scene looks like is for diagram_qt_test, which renders it.

#include "display/diagram_pane.h"
#include "display/diagram_scene.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "platform/fake/fake.h"
#include "tests/support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

using Calls = std::vector<std::string>;

// A memory-surface parent for the target: the fake's surface of a window with one of its own.
SurfaceHandle freshWindowSurface() {
    fake::reset();
    registerWindowClass(WindowClass{"owner", &defaultWindowProc, {}, 0, true});
    return windowSurface(createWindow("owner", "", WindowStyle::Child, {}, Rect{0, 0, 440, 480}));
}

std::size_t callCount(const std::string& prefix) {
    return fake::callsStartingWith(prefix).size();
}

// Each failing step of create: what is left, and the stored size (a 441-pixel row is 1323 bytes,
// padded in memory but not in the size). Whatever was made on the way to a failure is freed again.
TEST(Target, CreateWithEachStepFailing) {
    enum State { Empty, Ready, WithoutBitmap };
    struct CreateCase {
        const char* failing;
        State state;
        int width;
    };
    const CreateCase cases[] = {
        {"", Ready, 441},
        {"createMemorySurface", Empty, 0},
        {"createDibSection", WithoutBitmap, 0}, // the bitmap does not decide: the context comes
        {"choosePixelFormat", Empty, 441},
        {"setPixelFormat", Empty, 441},
        {"createGlContext", Empty, 441},
    };
    for (const CreateCase& c : cases) {
        const SurfaceHandle window = freshWindowSurface();
        if (*c.failing != '\0') {
            fake::fail(c.failing);
        }
        OffscreenGlTarget target;
        const GlContextHandle context = target.create(window, 441, 300, 24, 0, 0, 0);
        SCOPED_TRACE(c.failing);
        EXPECT_EQ(context, target.context);
        EXPECT_EQ(bool(context), c.state != Empty);
        EXPECT_EQ(bool(target.memoryDc), c.state != Empty);
        EXPECT_EQ(bool(target.dib), c.state == Ready);
        EXPECT_EQ(target.pixels != nullptr, c.state == Ready);
        EXPECT_EQ(target.width, c.width);
        if (c.state == Empty && std::string(c.failing) != "createMemorySurface") {
            EXPECT_EQ(callCount("createMemorySurface"), callCount("deleteMemorySurface"));
            EXPECT_EQ(callCount("createDibSection"), callCount("deletePicture"));
        }
        if (c.state == Ready) {
            EXPECT_EQ(target.bitmapInfo.bmiHeader.biSizeImage, 441u * 300u * 3u);
        }
        target.destroy();
    }
}

// A failed step of resize leaves what was made, the old stored size, and a next resize that
// starts again.
TEST(Target, ResizeWithEachStepFailing) {
    for (const char* failing : {"createDibSection", "setPixelFormat", "makeGlCurrent"}) {
        const SurfaceHandle window = freshWindowSurface();
        OffscreenGlTarget target;
        target.create(window, 440, 480, 24, 0, 0, 0);
        fake::fail(failing);
        EXPECT_FALSE(target.resize(440, 300)) << failing;
        const bool bitmap = std::string(failing) != "createDibSection";
        EXPECT_EQ(bool(target.dib), bitmap) << failing;
        EXPECT_TRUE(target.memoryDc && target.context) << failing;
        EXPECT_EQ(target.height, bitmap ? 300 : 480) << failing;
        target.destroy();
    }
}

TEST(Target, LifeCycle) {
    const SurfaceHandle window = freshWindowSurface();
    OffscreenGlTarget target;
    // Before create, a size is only recorded; create then keeps its own.
    EXPECT_TRUE(target.resize(50, 60));
    EXPECT_EQ(callCount("createDibSection"), 0u);
    const GlContextHandle first = target.create(window, 0, 0, 24, 0, 0, 0);
    EXPECT_EQ(target.width, 1); // a 0 x 0 request makes and stores 1 x 1
    EXPECT_EQ(target.height, 1);
    EXPECT_EQ(target.create(window, 10, 10, 24, 0, 0, 0), first); // and nothing else is made
    EXPECT_EQ(callCount("createMemorySurface"), 1u);
    EXPECT_EQ(callCount("createGlContext"), 1u);

    EXPECT_TRUE(target.resize(440, 480));
    const std::size_t bitmaps = callCount("createDibSection");
    EXPECT_TRUE(target.resize(440, 480)); // the same size: nothing re-created
    EXPECT_EQ(callCount("createDibSection"), bitmaps);
    // 0 x 0 makes a 1 x 1 bitmap but keeps 0 x 0, so nothing is copied; again does nothing.
    EXPECT_TRUE(target.resize(0, 0));
    EXPECT_NE(fake::callsStartingWith("createDibSection").back().find(" 1 1 24 3 "),
              std::string::npos);
    EXPECT_TRUE(target.resize(0, 0));
    EXPECT_EQ(callCount("createDibSection"), bitmaps + 1);
    target.present(window);
    EXPECT_EQ(fake::drawn().back().from, (Rect{0, 0, 0, 0}));

    target.resize(440, 480);
    fake::calls().clear();
    target.present(window);
    EXPECT_EQ(fake::glCalls().back().name, "finish"); // completed right before the copy
    EXPECT_EQ(fake::calls(), (Calls{"flushSurfaces", "copySurface " + std::to_string(window.id)}));
    EXPECT_EQ(fake::drawn().back().from, (Rect{0, 0, 440, 480}));

    target.destroy();
    EXPECT_FALSE(target.memoryDc || target.context || target.dib);
    fake::calls().clear();
    target.destroy(); // a second destroy only unbinds and deletes a null context
    EXPECT_EQ(fake::calls(), (Calls{"makeGlCurrent 0 0", "deleteGlContext 0"}));
    target.present(window); // without a memory surface: the swap, which shows nothing new
    EXPECT_EQ(fake::calls().back(), "swapSurfaceBuffers " + std::to_string(window.id));
}

TEST(Scene, SpriteAlphaKey) {
    struct KeyCase {
        std::uint8_t b, g, r, alpha;
    };
    const KeyCase cases[] = {{0, 0, 0, 0},  {21, 21, 21, 0}, {21, 21, 22, 255},
                             {63, 0, 0, 0}, {0, 64, 0, 255}, {255, 255, 255, 255},
                             {1, 2, 60, 0}};
    for (const KeyCase& c : cases) {
        const std::uint8_t bgr[3] = {c.b, c.g, c.r};
        std::uint8_t rgba[4] = {};
        keySprite(bgr, 1, rgba);
        const std::vector<int> expected = {c.r, c.g, c.b, c.alpha};
        EXPECT_EQ(std::vector<int>(rgba, rgba + 4), expected);
    }
}

TEST(Scene, TrailsFadeBackFromNow) {
    struct TrailCase {
        const TrailShape* shape;
        int points;
        double lastDaysBack;
        float lastAlpha;
    };
    const TrailCase cases[] = {{&EARTH_TRAIL, 164, 326, 0.0061f}, {&MARS_TRAIL, 206, 615, 0.0032f}};
    const double now = 2452878.9113310184;
    for (const TrailCase& c : cases) {
        TrailPoint points[MARS_TRAIL_POINTS + 1];
        ASSERT_EQ(traceTrail(*c.shape, now, points, MARS_TRAIL_POINTS + 1), c.points);
        Vec3 first{}, last{};
        c.shape->evaluate(now, first, 0.25f);
        c.shape->evaluate(now - c.lastDaysBack, last, 0.25f);
        EXPECT_EQ(points[0].x, first.x);
        EXPECT_EQ(points[0].alpha, 1.0f);
        EXPECT_EQ(points[c.points - 1].y, last.y);
        EXPECT_NEAR(points[c.points - 1].alpha, c.lastAlpha, 5e-5);
        for (int i = 1; i < c.points; ++i) {
            ASSERT_LT(points[i].alpha, points[i - 1].alpha);
        }
    }
}

class DiagramPane : public testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        // Pictures as the program embeds them: a 2 x 2 photograph and 2 x 2 sprites.
        std::vector<std::uint8_t> bytes(40 + 2 * 2 * 3, 200);
        for (int id : {IDB_MARS_PHOTO, IDB_EARTH_SPRITE, IDB_MARS_SPRITE}) {
            fake::addResource(id, Size{2, 2}, bytes);
        }
        computeEncounterState();
        parent = plainWindow(WindowStyle::FixedTopLevel, {}, Rect{0, 0, 640, 480});
    }
    void TearDown() override { destroyWindow(parent); }

    static std::size_t glCount(const char* name) {
        return std::count_if(fake::glCalls().begin(), fake::glCalls().end(),
                             [&](const fake::GlCall& call) { return call.name == name; });
    }

    FixedUtcClock clock{{2003, 8, 27, 9, 52, 19}};
    WindowHandle parent;
};

// Creation prepares the textures, a size renders, the timer renders and invalidates whatever its
// identifier, a paint only copies, and destruction deletes the textures while still bound.
TEST_F(DiagramPane, WhatRendersAndWhatOnlyCopies) {
    const WindowHandle pane = createOrbitDiagramPane(parent);
    ASSERT_TRUE(pane);
    EXPECT_EQ(glCount("begin"), 0u);
    EXPECT_EQ(glCount("texImage2D"), 3u);
    EXPECT_EQ(fake::window(pane).timers, (std::set<std::uint32_t>{TIMER_DIAGRAM}));

    moveWindow(pane, 0, 0, 440, 480, true);
    showWindow(pane);
    EXPECT_EQ(glCount("begin"), 6u);                // photograph, two trails, triangle, two sprites
    EXPECT_EQ(fake::window(pane).invalidations, 0); // a new size repaints anyway

    sendMessage(pane, MSG_TIMER, 999, 0);
    EXPECT_EQ(glCount("begin"), 12u);
    EXPECT_EQ(fake::window(pane).invalidations, 1);
    sendMessage(pane, MSG_PAINT, 0, 0);
    EXPECT_EQ(glCount("begin"), 12u);
    EXPECT_EQ(fake::drawn().back().call, "copySurface");

    destroyWindow(pane);
    EXPECT_EQ(glCount("deleteTextures"), 1u);
    EXPECT_FALSE(gl());
}

// Without a context nothing is drawn, and a paint takes the swap instead of the copy.
TEST_F(DiagramPane, WithoutAContextNothingIsDrawn) {
    fake::fail("createGlContext");
    const WindowHandle pane = createOrbitDiagramPane(parent);
    moveWindow(pane, 0, 0, 440, 480, true);
    showWindow(pane);
    sendMessage(pane, MSG_TIMER, TIMER_DIAGRAM, 0);
    sendMessage(pane, MSG_PAINT, 0, 0);
    EXPECT_TRUE(fake::glCalls().empty());
    EXPECT_EQ(callCount("swapSurfaceBuffers"), 1u);
}

TEST_F(DiagramPane, BitmapPixelsAreReadInPlace) {
    int width = -1, height = -1;
    EXPECT_EQ(loadBitmapPixels(IDB_MARS_PHOTO, width, height),
              resourceBytes({}, IDB_MARS_PHOTO).data() + 40);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(loadBitmapPixels(999, width, height), nullptr);
    EXPECT_EQ(width, 1); // a picture without stored bytes: its size, but no pixels
    fake::fail("loadPicture");
    width = -1;
    EXPECT_EQ(loadBitmapPixels(IDB_MARS_PHOTO, width, height), nullptr);
    EXPECT_EQ(width, -1); // not written when the bitmap is not there
}

} // namespace
