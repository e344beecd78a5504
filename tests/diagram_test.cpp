// The off-screen target's state machine and the orbit diagram's scene, against the recording layer.

#include "display/diagram_pane.h"
#include "display/diagram_scene.h"
#include "display/program.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "platform/fake/fake.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// A memory-surface parent for the target: the fake's surface of a window with one of its own.
SurfaceHandle freshWindowSurface() {
    fake::reset();
    registerWindowClass(WindowClass{"owner", &defaultWindowProc, {}, 0, true});
    return windowSurface(createWindow("owner", "", WindowStyle::Child, {}, Rect{0, 0, 440, 480}));
}

Calls layerCalls(const std::string& prefix = "") {
    return fake::callsStartingWith(prefix);
}

enum class State { Empty, Ready, ReadyWithoutBitmap };

State stateOf(const OffscreenGlTarget& t) {
    if (!t.memoryDc && !t.context && !t.dib) {
        return State::Empty;
    }
    EXPECT_TRUE(t.memoryDc && t.context) << "memory surface and context go together";
    return t.dib ? State::Ready : State::ReadyWithoutBitmap;
}

struct CreateCase {
    const char* failing; // the step made to fail, or ""
    State state;
    int width, height; // stored afterwards
};

class TargetCreate : public testing::TestWithParam<CreateCase> {};

TEST_P(TargetCreate, EachFailingStep) {
    const CreateCase& c = GetParam();
    const SurfaceHandle window = freshWindowSurface();
    if (*c.failing != '\0') {
        fake::fail(c.failing);
    }
    OffscreenGlTarget target;
    const GlContextHandle context = target.create(window, 441, 300, 24, 0, 0, 0);
    EXPECT_EQ(stateOf(target), c.state);
    EXPECT_EQ(bool(context), c.state != State::Empty);
    EXPECT_EQ(context, target.context);
    EXPECT_EQ(target.width, c.width);
    EXPECT_EQ(target.height, c.height);
    EXPECT_EQ(target.pixels != nullptr, c.state == State::Ready);
    if (c.state == State::Empty && std::string(c.failing) != "createMemorySurface") {
        // Whatever was made on the way is freed again.
        EXPECT_EQ(layerCalls("createMemorySurface").size(),
                  layerCalls("deleteMemorySurface").size());
        EXPECT_EQ(layerCalls("createDibSection").size(), layerCalls("deletePicture").size());
    }
    target.destroy();
}

INSTANTIATE_TEST_SUITE_P(
    Diagram, TargetCreate,
    testing::Values(CreateCase{"", State::Ready, 441, 300},
                    CreateCase{"createMemorySurface", State::Empty, 0, 0},
                    // The bitmap step does not decide: the context still comes.
                    CreateCase{"createDibSection", State::ReadyWithoutBitmap, 0, 0},
                    CreateCase{"choosePixelFormat", State::Empty, 441, 300},
                    CreateCase{"setPixelFormat", State::Empty, 441, 300},
                    CreateCase{"createGlContext", State::Empty, 441, 300}));

TEST(Diagram, TheBitmapAndPixelFormatAsked) {
    const SurfaceHandle window = freshWindowSurface();
    OffscreenGlTarget target;
    target.create(window, 441, 300, 24, 0, 0, 0);
    const BitmapInfoHeader& h = target.bitmapInfo.bmiHeader;
    // 441 pixels make rows of 1323 bytes, padded to 1324 in memory but not in the size.
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 441);
    EXPECT_EQ(h.biHeight, 300);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, BI_RGB);
    EXPECT_EQ(h.biSizeImage, 441u * 300u * 3u);
    EXPECT_EQ(h.biXPelsPerMeter, 2952);
    EXPECT_EQ(h.biYPelsPerMeter, 2952);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(target.pixelFormat, 1);
    // Bitmap, OpenGL, RGBA, 24 colour bits, no depth, stencil or accumulation, single-buffered.
    EXPECT_EQ(layerCalls("choosePixelFormat").at(0),
              "choosePixelFormat " + std::to_string(target.memoryDc.id) + " 40 0 24 0 0 0");
    target.destroy();
}

TEST(Diagram, TargetLifeCycle) {
    const SurfaceHandle window = freshWindowSurface();
    OffscreenGlTarget target;
    // Before create, a size is only recorded; create then keeps its own.
    EXPECT_TRUE(target.resize(50, 60));
    EXPECT_EQ(target.width, 50);
    EXPECT_TRUE(layerCalls("createDibSection").empty());
    const GlContextHandle first = target.create(window, 0, 0, 24, 0, 0, 0);
    EXPECT_EQ(target.width, 1); // a 0 x 0 request makes and stores 1 x 1
    EXPECT_EQ(target.height, 1);
    EXPECT_EQ(target.create(window, 10, 10, 24, 0, 0, 0), first); // and nothing else is made
    EXPECT_EQ(layerCalls("createMemorySurface").size(), 1u);
    EXPECT_EQ(layerCalls("createGlContext").size(), 1u);

    EXPECT_TRUE(target.resize(440, 480));
    const std::size_t bitmaps = layerCalls("createDibSection").size();
    EXPECT_TRUE(target.resize(440, 480)); // the same size: nothing re-created
    EXPECT_EQ(layerCalls("createDibSection").size(), bitmaps);
    // 0 x 0 makes a 1 x 1 bitmap but keeps 0 x 0, so nothing is copied; again does nothing.
    EXPECT_TRUE(target.resize(0, 0));
    EXPECT_NE(layerCalls("createDibSection").back().find(" 1 1 24 3 "), std::string::npos);
    EXPECT_TRUE(target.resize(0, 0));
    EXPECT_EQ(layerCalls("createDibSection").size(), bitmaps + 1);
    target.present(window);
    EXPECT_EQ(fake::drawn().back().call, "copySurface");
    EXPECT_EQ(fake::drawn().back().from, (Rect{0, 0, 0, 0}));

    target.resize(440, 480);
    fake::calls().clear();
    target.present(window);
    EXPECT_EQ(fake::glCalls().back().name, "finish"); // completed right before the copy
    EXPECT_EQ(layerCalls(), (Calls{"flushSurfaces", "copySurface " + std::to_string(window.id)}));
    EXPECT_EQ(fake::drawn().back().from, (Rect{0, 0, 440, 480}));

    target.destroy();
    EXPECT_EQ(stateOf(target), State::Empty);
    EXPECT_EQ(target.width, 440); // sizes and format stay
    fake::calls().clear();
    target.destroy(); // a second destroy only unbinds and deletes a null context
    EXPECT_EQ(layerCalls(), (Calls{"makeGlCurrent 0 0", "deleteGlContext 0"}));
    target.present(window); // without a memory surface: the swap, which shows nothing new
    EXPECT_EQ(layerCalls().back(), "swapSurfaceBuffers " + std::to_string(window.id));
}

struct ResizeCase {
    const char* failing;
    bool bitmap; // left with one
};

class TargetResize : public testing::TestWithParam<ResizeCase> {};

// A failed step leaves what was made, the old stored size, and a next resize that starts again.
TEST_P(TargetResize, FailingSteps) {
    const SurfaceHandle window = freshWindowSurface();
    OffscreenGlTarget target;
    target.create(window, 440, 480, 24, 0, 0, 0);
    fake::fail(GetParam().failing);
    EXPECT_FALSE(target.resize(440, 300));
    EXPECT_EQ(bool(target.dib), GetParam().bitmap);
    EXPECT_TRUE(target.memoryDc && target.context);
    EXPECT_EQ(target.height, GetParam().bitmap ? 300 : 480);
    target.destroy();
}

INSTANTIATE_TEST_SUITE_P(Diagram, TargetResize,
                         testing::Values(ResizeCase{"createDibSection", false},
                                         ResizeCase{"setPixelFormat", true},
                                         ResizeCase{"makeGlCurrent", true}));

TEST(Diagram, SpriteAlphaKey) {
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
        EXPECT_EQ(rgba[0], c.r);
        EXPECT_EQ(rgba[1], c.g);
        EXPECT_EQ(rgba[2], c.b);
        EXPECT_EQ(rgba[3], c.alpha) << int{c.b} << "," << int{c.g} << "," << int{c.r};
    }
}

TEST(Diagram, TrailsFadeBackFromNow) {
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

MessageResult parentProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::vector<fake::GlCall> callsNamed(const char* name) {
    std::vector<fake::GlCall> found;
    for (const fake::GlCall& call : fake::glCalls()) {
        if (call.name == name) {
            found.push_back(call);
        }
    }
    return found;
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
        registerWindowClass(WindowClass{"parent", &parentProc, {}});
        parent = createWindow("parent", "", WindowStyle::FixedTopLevel, {}, Rect{0, 0, 640, 480});
    }
    void TearDown() override { destroyWindow(parent); }

    FixedUtcClock clock{{2003, 8, 27, 9, 52, 19}};
    WindowHandle parent;
};

TEST_F(DiagramPane, TheSceneCallByCall) {
    const WindowHandle pane = createOrbitDiagramPane(parent);
    ASSERT_TRUE(pane);
    EXPECT_TRUE(callsNamed("begin").empty()) << "creation prepares, the first size renders";
    EXPECT_EQ(callsNamed("texImage2D").size(), 3u);
    EXPECT_EQ(fake::window(pane).timers, (std::set<std::uint32_t>{TIMER_DIAGRAM}));

    moveWindow(pane, 0, 0, 440, 480, true);
    showWindow(pane);
    EXPECT_EQ(callsNamed("viewport").at(0).args, (std::vector<double>{0, 0, 440, 480}));
    EXPECT_EQ(callsNamed("ortho").at(0).args, (std::vector<double>{-2, 2, -2, 2, -1, 1}));
    // Photograph, Earth's trail, Mars's trail, triangle, two sprites.
    const auto begins = callsNamed("begin");
    ASSERT_EQ(begins.size(), 6u);
    const std::vector<double> modes = {begins[0].args[0], begins[1].args[0], begins[2].args[0],
                                       begins[3].args[0], begins[4].args[0], begins[5].args[0]};
    EXPECT_EQ(modes, (std::vector<double>{glv::QUADS, glv::LINE_STRIP, glv::LINE_STRIP,
                                          glv::TRIANGLES, glv::QUADS, glv::QUADS}));
    EXPECT_EQ(callsNamed("vertex2d").size(), 164u + 206u + 3u);
    const auto translations = callsNamed("translated");
    ASSERT_EQ(translations.size(), 2u);
    EXPECT_EQ(translations[0].args,
              (std::vector<double>{encounterState.earth.x, encounterState.earth.y, 0}));
    EXPECT_EQ(translations[1].args,
              (std::vector<double>{encounterState.mars.x, encounterState.mars.y, 0}));
    EXPECT_EQ(fake::window(pane).invalidations, 0); // a new size repaints anyway

    // The timer renders and invalidates, whatever its identifier; a paint only copies.
    sendMessage(pane, MSG_TIMER, 999, 0);
    EXPECT_EQ(callsNamed("begin").size(), 12u);
    EXPECT_EQ(fake::window(pane).invalidations, 1);
    sendMessage(pane, MSG_PAINT, 0, 0);
    EXPECT_EQ(callsNamed("begin").size(), 12u);
    EXPECT_EQ(fake::drawn().back().call, "copySurface");

    destroyWindow(pane);
    EXPECT_EQ(callsNamed("deleteTextures").size(), 1u);
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
    EXPECT_EQ(fake::callsStartingWith("swapSurfaceBuffers").size(), 1u);
}

TEST_F(DiagramPane, BitmapPixelsAreReadInPlace) {
    int width = -1, height = -1;
    EXPECT_EQ(loadBitmapPixels(IDB_MARS_PHOTO, width, height),
              resourceBytes({}, IDB_MARS_PHOTO).data() + 40);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    width = height = -1;
    EXPECT_EQ(loadBitmapPixels(999, width, height), nullptr);
    EXPECT_EQ(width, 1); // a picture without stored bytes: its size, but no pixels
    fake::fail("loadPicture");
    width = -1;
    EXPECT_EQ(loadBitmapPixels(IDB_MARS_PHOTO, width, height), nullptr);
    EXPECT_EQ(width, -1); // not written when the bitmap is not there
}

} // namespace
