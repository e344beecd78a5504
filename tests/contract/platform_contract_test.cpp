// The window layer's contract: the same scenarios run against the recording fake and against the Qt
// layer, so that what the unit tests prove with the fake holds for the real program.

#include "platform/platform.h"
#include "tests/contract/harness.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

struct Delivery {
    std::uint32_t window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    friend bool operator==(const Delivery&, const Delivery&) = default;
};

std::vector<Delivery> deliveries;
// What a window does with a message beyond recording it, by window and message.
std::map<std::pair<std::uint32_t, std::uint32_t>, std::function<MessageResult()>> actions;

MessageResult recordingProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
    deliveries.push_back({window.id, message, wParam, lParam});
    const auto action = actions.find({window.id, message});
    return action == actions.end() ? 0 : action->second();
}

// Class names stay registered in the Qt layer for the whole test program: each scenario its own.
const char* newClass(WindowProc procedure = &recordingProc) {
    static std::deque<std::string> names;
    names.push_back("contract class " + std::to_string(names.size()));
    EXPECT_TRUE(registerWindowClass(WindowClass{names.back().c_str(), procedure, {}, 0}));
    return names.back().c_str();
}

WindowHandle topLevel(const char* cls, const char* title = "") {
    return createWindow(cls, title, WindowStyle::FixedTopLevel, {}, Rect{0, 0, 200, 100});
}

WindowHandle child(const char* cls, WindowHandle parent) {
    return createWindow(cls, "", WindowStyle::Child, parent, Rect{0, 0, 10, 10});
}

std::vector<Delivery> deliveriesOf(std::uint32_t message) {
    std::vector<Delivery> found;
    std::copy_if(deliveries.begin(), deliveries.end(), std::back_inserter(found),
                 [&](const Delivery& d) { return d.message == message; });
    return found;
}

constexpr std::uint32_t MSG_USER = 0x0400;

class Contract : public testing::Test {
  protected:
    void SetUp() override {
        prepareScenario();
        deliveries.clear();
        actions.clear();
    }
};

TEST_F(Contract, CreationDeliversCreateFirstAndCanBeRefused) {
    const char* cls = newClass();
    EXPECT_FALSE(registerWindowClass(WindowClass{cls, &recordingProc, {}, 0})); // taken
    EXPECT_FALSE(registerWindowClass(WindowClass{"contract incomplete", nullptr, {}, 0}));
    EXPECT_FALSE(createWindow("contract no such class", "", WindowStyle::FixedTopLevel, {},
                              Rect{0, 0, 10, 10}));

    const WindowHandle window = topLevel(cls);
    ASSERT_TRUE(window);
    EXPECT_EQ(deliveries, (std::vector<Delivery>{{window.id, MSG_CREATE, 0, 0}}));

    EXPECT_FALSE(topLevel(
        newClass([](WindowHandle, std::uint32_t message, std::uintptr_t,
                    std::intptr_t) -> MessageResult { return message == MSG_CREATE ? -1 : 0; })));
    destroyWindow(window);
    EXPECT_FALSE(child(cls, window)); // under a parent that is gone
}

TEST_F(Contract, DestroyReachesParentThenChildrenAndHandlesAreNeverReused) {
    const char* cls = newClass();
    const WindowHandle parent = topLevel(cls);
    const WindowHandle middle = child(cls, parent);
    const WindowHandle leaf = child(cls, middle);
    const WindowHandle sibling = child(cls, parent);
    deliveries.clear();

    destroyWindow(parent);
    std::vector<std::uint32_t> destroyed;
    for (const Delivery& d : deliveriesOf(MSG_DESTROY)) {
        destroyed.push_back(d.window);
    }
    EXPECT_EQ(destroyed, (std::vector<std::uint32_t>{parent.id, middle.id, leaf.id, sibling.id}));

    deliveries.clear();
    for (const WindowHandle gone : {parent, middle, leaf}) {
        EXPECT_EQ(sendMessage(gone, MSG_USER, 0, 0), 0);
        EXPECT_FALSE(postMessage(gone, MSG_USER, 0, 0));
        EXPECT_EQ(clientRect(gone), (Rect{0, 0, 0, 0}));
        destroyWindow(gone);
    }
    EXPECT_TRUE(deliveries.empty());

    const WindowHandle next = topLevel(cls);
    for (const WindowHandle old : {parent, middle, leaf, sibling}) {
        EXPECT_NE(next.id, old.id);
    }
    destroyWindow(next);
}

TEST_F(Contract, PostedMessagesArriveInOrderBeforeTheQuit) {
    const char* cls = newClass();
    const WindowHandle window = topLevel(cls);
    const WindowHandle doomed = topLevel(cls);
    EXPECT_TRUE(postMessage(doomed, MSG_USER + 9, 0, 0));
    destroyWindow(doomed); // its message is dropped
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(postMessage(window, MSG_USER + i, 10 + i, -20 - static_cast<int>(i)));
    }
    postQuit(7);
    deliveries.clear();
    EXPECT_EQ(runMessageLoop(), 7);
    EXPECT_EQ(deliveries, (std::vector<Delivery>{{window.id, MSG_USER, 10, -20},
                                                 {window.id, MSG_USER + 1, 11, -21},
                                                 {window.id, MSG_USER + 2, 12, -22}}));
    destroyWindow(window);
}

TEST_F(Contract, TimersTickUntilKilledOrTheirWindowIsGone) {
    const char* cls = newClass();
    const WindowHandle window = topLevel(cls);
    const WindowHandle doomed = topLevel(cls);
    setTimer(doomed, 3, 5);
    destroyWindow(doomed);

    int fast = 0, slow = 0;
    actions[{window.id, MSG_TIMER}] = [&] {
        const Delivery& tick = deliveries.back();
        if (tick.wParam == 1 && ++fast == 3) {
            killTimer(window, 1);
        } else if (tick.wParam == 2 && ++slow == 2) {
            postQuit(0);
        }
        return 0;
    };
    setTimer(window, 1, 10);
    setTimer(window, 2, 60);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(fast, 3);
    EXPECT_EQ(slow, 2);
    for (const Delivery& tick : deliveriesOf(MSG_TIMER)) {
        EXPECT_EQ(tick.window, window.id);
        EXPECT_EQ(tick.lParam, 0);
    }
    destroyWindow(window);
}

TEST_F(Contract, SizesAreReportedOnShowingAndOnChangeAndNegativeOnesAreZero) {
    const char* cls = newClass();
    const WindowHandle parent = topLevel(cls);
    const WindowHandle pane = child(cls, parent);
    auto reportsTo = [](WindowHandle w) {
        std::vector<std::pair<int, int>> sizes;
        for (const Delivery& d : deliveriesOf(MSG_SIZE)) {
            if (d.window == w.id) {
                sizes.emplace_back(lowWord(d.lParam), highWord(d.lParam));
            }
        }
        deliveries.clear();
        return sizes;
    };
    using Sizes = std::vector<std::pair<int, int>>;

    moveWindow(pane, 0, 0, 100, 50, true);
    EXPECT_EQ(reportsTo(pane), Sizes{}); // hidden: reported when shown
    showWindow(parent);
    EXPECT_EQ(reportsTo(parent), (Sizes{{200, 100}}));
    showWindow(pane);
    EXPECT_EQ(reportsTo(pane), (Sizes{{100, 50}}));

    moveWindow(pane, 0, 0, -140, 30, true);
    EXPECT_EQ(reportsTo(pane), (Sizes{{0, 30}}));
    EXPECT_EQ(clientRect(pane), (Rect{0, 0, 0, 30}));
    moveWindow(pane, 5, 5, 0, 30, true);
    EXPECT_EQ(reportsTo(pane), Sizes{}); // moved, same size

    hideWindow(pane);
    moveWindow(pane, 0, 0, 60, 40, false);
    EXPECT_EQ(reportsTo(pane), Sizes{});
    showWindow(pane);
    EXPECT_EQ(reportsTo(pane), (Sizes{{60, 40}}));
    EXPECT_EQ(clientRect(pane), (Rect{0, 0, 60, 40}));
    destroyWindow(parent);
}

// Two top-level windows each open a modal box, the second inside the first's loop. Destroying the
// second window ends only its own box; the first box stays open until it is ended.
TEST_F(Contract, DestroyingAWindowEndsOnlyItsOwnDialogs) {
    static constexpr DialogTemplate BOX{"Contract box", 100, 50, 8, {}};
    enum : std::uint32_t { OPEN_FIRST = MSG_USER, OPEN_SECOND, DESTROY_SECOND, END_FIRST };
    static WindowHandle first, second;
    static DialogHandle firstBox;
    static std::vector<std::string> events;
    events.clear();
    const char* cls = newClass();
    first = topLevel(cls);
    second = topLevel(cls);

    actions[{first.id, OPEN_FIRST}] = [] {
        const int result = runModalDialog(
            BOX, first, [](DialogHandle box, std::uint32_t message, std::uintptr_t, std::intptr_t) {
                if (message == MSG_INIT_DIALOG) {
                    firstBox = box;
                    postMessage(second, OPEN_SECOND, 0, 0);
                }
                return false;
            });
        events.push_back("first box " + std::to_string(result));
        postQuit(0);
        return 0;
    };
    actions[{second.id, OPEN_SECOND}] = [] {
        const int result = runModalDialog(
            BOX, second, [](DialogHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) {
                if (message == MSG_INIT_DIALOG) {
                    postMessage(first, DESTROY_SECOND, 0, 0);
                }
                return false;
            });
        events.push_back("second box " + std::to_string(result));
        return 0;
    };
    actions[{first.id, DESTROY_SECOND}] = [] {
        destroyWindow(second);
        postMessage(first, END_FIRST, 0, 0);
        return 0;
    };
    actions[{first.id, END_FIRST}] = [] {
        events.push_back("ending the first box");
        endDialog(firstBox, 5);
        return 0;
    };

    postMessage(first, OPEN_FIRST, 0, 0);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(events,
              (std::vector<std::string>{"second box 0", "ending the first box", "first box 5"}));
    destroyWindow(first);
}

TEST_F(Contract, OneMarkerHolderAndOnlyTheShowRequestReachesIt) {
    const char* markerName = "Contract Marker";
    bool existed = true;
    const InstanceMarker marker = createInstanceMarker(markerName, existed);
    EXPECT_TRUE(marker && !existed);
    EXPECT_FALSE(createInstanceMarker(markerName, existed));
    EXPECT_TRUE(existed);

    const char* cls = newClass();
    const WindowHandle window = topLevel(cls, "Contract Show");
    const std::uint32_t show = registerMessage("Contract Show Message");
    actions[{window.id, show}] = [] {
        postQuit(0);
        return 0;
    };
    actions[{window.id, MSG_TIMER}] = [] { // in case the request never arrives
        postQuit(1);
        return 0;
    };
    auto post = [&](std::uint32_t message, std::intptr_t mouse) {
        return postToNamedWindow(markerName, cls, "Contract Show", message, 0, mouse);
    };
    EXPECT_FALSE(post(MSG_CLOSE, MOUSE_LEFT_DOWN));
    EXPECT_FALSE(post(show, MOUSE_RIGHT_DOWN));
    EXPECT_TRUE(post(show, MOUSE_LEFT_DOWN));
    setTimer(window, 1, 5000);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(deliveriesOf(show), (std::vector<Delivery>{{window.id, show, 0, MOUSE_LEFT_DOWN}}));
    EXPECT_TRUE(deliveriesOf(MSG_CLOSE).empty());

    closeInstanceMarker(marker);
    EXPECT_FALSE(post(show, MOUSE_LEFT_DOWN));
    const InstanceMarker later = createInstanceMarker(markerName, existed);
    EXPECT_TRUE(later && !existed);
    closeInstanceMarker(later);
    destroyWindow(window);
}

// Pictures in memory surfaces: the first selection hands back the surface's own picture, a picture
// deleted while selected lives until it is selected out, only a picture that is there can be
// selected, and bitmaps over pixel buffers are 24-bit and bottom-up.
TEST_F(Contract, PicturesAreSelectedAndFreedAlike) {
    registerWindowClass(WindowClass{"contract surface", &defaultWindowProc, {}, 0, true});
    const WindowHandle window =
        createWindow("contract surface", "", WindowStyle::FixedTopLevel, {}, Rect{0, 0, 64, 64});
    const SurfaceHandle memory = createMemorySurface(windowSurface(window));
    auto dib = [&](int width, int height, std::uint16_t bits) {
        BitmapInfo info{};
        info.bmiHeader = BitmapInfoHeader{40, width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
        std::uint8_t* pixels = nullptr;
        return createDibSection(memory, info, &pixels);
    };
    EXPECT_FALSE(dib(4, 4, 32));
    EXPECT_FALSE(dib(4, -4, 24)); // top-down
    const PictureHandle picture = dib(4, 4, 24);
    ASSERT_TRUE(picture);
    EXPECT_FALSE(selectPicture(memory, PictureHandle{}));
    const PictureHandle initial = selectPicture(memory, picture);
    EXPECT_TRUE(initial);
    deletePicture(picture);
    EXPECT_EQ(pictureSize(picture), (Size{4, 4}));
    EXPECT_EQ(selectPicture(memory, initial), picture);
    EXPECT_EQ(pictureSize(picture), (Size{0, 0}));
    deleteMemorySurface(memory);
    destroyWindow(window);
}

} // namespace
