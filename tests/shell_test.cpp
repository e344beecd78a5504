// The shell's start-up and main window behaviour, against the recording window layer.

#include "app/shell.h"
#include "ephemeris/encounter_state.h"
#include "platform/fake/fake_platform.h"
#include "tests/fixed_clock.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

MessageResult paneProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

class ShellTest : public testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        encounterState = EncounterState{};
        diagramPaneWindow = WindowHandle{};
        infoPaneWindow = WindowHandle{};
    }

    // Runs the program; `scenario` runs once the loop is idle, with the main window.
    int runProgram(std::function<void(WindowHandle)> scenario) {
        fake::onIdle(
            [this, scenario] {
                if (!started) {
                    started = true;
                    scenario(WindowHandle{1});
                }
            },
            1);
        return WinMain(currentInstance(), InstanceHandle{}, "--ignored", 7);
    }

    MessageResult tray(WindowHandle window, std::intptr_t mouse) {
        return sendMessage(window, appMessage, TRAY_ICON_ID, mouse);
    }

    static bool called(const std::string& prefix) {
        return !fake::callsStartingWith(prefix).empty();
    }

    void createPanes(WindowHandle main) {
        registerWindowClass(WindowClass{"test pane", &paneProc, appInstance, 0});
        diagramPaneWindow =
            createWindow("test pane", "", WindowStyle::Child, main, {0, 0, 10, 10}, appInstance);
        infoPaneWindow =
            createWindow("test pane", "", WindowStyle::Child, main, {0, 0, 10, 10}, appInstance);
    }

    FixedClock clock{{2003, 8, 27, 9, 52, 19}};
    bool started = false;
};

// Everything up to the loop, in order; the numbers exist before the class is even registered.
TEST_F(ShellTest, StartUpOrder) {
    double distanceAtRegistration = 0;
    fake::onCall([&](const std::string& call) {
        if (call.rfind("registerWindowClass", 0) == 0) {
            distanceAtRegistration = encounterState.distanceAu;
        }
    });
    const int code = runProgram([](WindowHandle main) {
        fake::queueMenuCommand(ID_TRAY_EXIT);
        sendMessage(main, appMessage, TRAY_ICON_ID, MOUSE_RIGHT_DOWN);
    });
    EXPECT_EQ(code, 0);
    EXPECT_NEAR(distanceAtRegistration, 0.372719258581, 1e-11);

    std::vector<std::string> startup;
    for (const std::string& call : fake::calls()) {
        if (call == "runMessageLoop") {
            break;
        }
        if (call != "currentInstance") {
            startup.push_back(call);
        }
    }
    const std::string message = std::to_string(appMessage);
    const std::vector<std::string> expected = {
        "registerMessage Orvanta Message",
        "createInstanceMarker Orvanta Single Instance Mutex",
        "registerWindowClass Orvanta 2003 icon 104",
        "workArea",
        "createWindow Orvanta 2003 top #0 (384,258,1024,738)",
        "addTrayIcon #1 42 " + message + " 104 Quellmark Orvanta 2003",
        "setTimer #1 101 1000",
        "setTimer #1 102 900000",
        "showWindow #1",
    };
    EXPECT_EQ(startup, expected);
    EXPECT_EQ(fake::calls().back(), "closeInstanceMarker 1");
    EXPECT_GE(appMessage, 0xC000u);
}

struct PlacementCase {
    Rect workArea;
    Rect window;
};

TEST_F(ShellTest, WindowSitsInTheBottomRightCornerOfTheWorkArea) {
    const PlacementCase cases[] = {
        {{0, 0, 1024, 738}, {384, 258, 1024, 738}},
        {{60, 30, 1280, 1024}, {640, 544, 1280, 1024}}, // panel on the left and at the top
        {{0, 0, 600, 400}, {-40, -80, 600, 400}},       // smaller than the window: not clamped
    };
    for (const PlacementCase& c : cases) {
        SetUp();
        started = false;
        fake::setWorkArea(c.workArea);
        runProgram([](WindowHandle main) { destroyWindow(main); });
        EXPECT_EQ(fake::window(WindowHandle{1}).rect, c.window);
    }
}

TEST_F(ShellTest, SecondInstanceOnlyAsksTheFirstToShowItself) {
    for (bool reachable : {true, false}) {
        SetUp();
        fake::setMarkerHeldElsewhere(true);
        fake::setNamedWindowReachable(reachable);
        EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0);
        EXPECT_EQ(fake::callsStartingWith("postToNamedWindow"),
                  std::vector<std::string>{"postToNamedWindow Orvanta 2003 / Orvanta 2003 " +
                                           std::to_string(appMessage) + " 0 513"});
        EXPECT_FALSE(called("registerWindowClass"));
        EXPECT_FALSE(called("createWindow"));
        EXPECT_FALSE(called("addTrayIcon"));
        EXPECT_FALSE(called("runMessageLoop"));
        EXPECT_EQ(encounterState.distanceAu, 0.0); // not even the computation
    }
}

TEST_F(ShellTest, StartUpFailuresEndWithExitCodeZero) {
    for (const char* failing : {"registerWindowClass", "createWindow"}) {
        SetUp();
        fake::fail(failing);
        EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0) << failing;
        EXPECT_FALSE(called("showWindow")) << failing;
        EXPECT_FALSE(called("runMessageLoop")) << failing;
        EXPECT_FALSE(called("addTrayIcon")) << failing;
    }
}

struct LayoutCase {
    int width, height;
    Rect diagram, info;
};

TEST_F(ShellTest, LayoutOnEverySizeReport) {
    const LayoutCase cases[] = {
        {640, 480, {0, 0, 440, 480}, {440, 0, 640, 480}},
        {1000, 300, {0, 0, 440, 300}, {440, 0, 1000, 300}},
        {300, 200, {0, 0, 440, 200}, {440, 0, 300, 200}}, // info pane width -140
        {0, 0, {0, 0, 440, 0}, {440, 0, 0, 0}},
    };
    runProgram([&](WindowHandle main) {
        createPanes(main);
        // With null panes the layout is harmless.
        const WindowHandle diagram = diagramPaneWindow, info = infoPaneWindow;
        diagramPaneWindow = infoPaneWindow = WindowHandle{};
        EXPECT_EQ(sendMessage(main, MSG_SIZE, 0, sizeParam(640, 480)), 0);
        diagramPaneWindow = diagram;
        infoPaneWindow = info;
        for (const LayoutCase& c : cases) {
            EXPECT_EQ(sendMessage(main, MSG_SIZE, 0, sizeParam(c.width, c.height)), 0);
            EXPECT_EQ(fake::window(diagramPaneWindow).rect, c.diagram) << c.width;
            EXPECT_EQ(fake::window(infoPaneWindow).rect, c.info) << c.width;
            EXPECT_TRUE(fake::window(diagramPaneWindow).visible);
            EXPECT_TRUE(fake::window(infoPaneWindow).visible);
        }
        EXPECT_EQ(fake::callsStartingWith("moveWindow #3").back(),
                  "moveWindow #3 440 0 -440 0 repaint");
        destroyWindow(main);
    });
}

TEST_F(ShellTest, CloseHidesAndTheTrayIconShowsAgain) {
    runProgram([&](WindowHandle main) {
        EXPECT_EQ(sendMessage(main, MSG_CLOSE, 0, 0), 0);
        EXPECT_FALSE(fake::window(main).visible);
        EXPECT_TRUE(fake::window(main).alive);
        EXPECT_TRUE(fake::trayIcon().has_value());
        EXPECT_EQ(fake::window(main).timers, (std::set<std::uint32_t>{101, 102}));

        for (std::intptr_t mouse : {MOUSE_LEFT_DOWN, MOUSE_LEFT_DOUBLE_CLICK}) {
            hideWindow(main);
            EXPECT_EQ(tray(main, mouse), 0);
            EXPECT_TRUE(fake::window(main).visible) << mouse;
            EXPECT_EQ(fake::foregroundWindow(), main) << mouse;
        }
        // Moves, releases and other buttons go to the default procedure and change nothing.
        hideWindow(main);
        for (std::intptr_t mouse : {512, 514, 517, 518}) {
            tray(main, mouse);
        }
        EXPECT_FALSE(fake::window(main).visible);
        EXPECT_EQ(fake::callsStartingWith("defaultWindowProc").size(), 4u);
        destroyWindow(main);
    });
}

TEST_F(ShellTest, WithoutATrayIconClosingEndsTheProgram) {
    fake::setTrayAvailable(false);
    const int code = runProgram([](WindowHandle main) { sendMessage(main, MSG_CLOSE, 0, 0); });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(fake::window(WindowHandle{1}).alive);
    EXPECT_TRUE(called("postQuit 0"));
}

TEST_F(ShellTest, TrayMenuCommands) {
    struct MenuCase {
        std::uint32_t command;
        bool dialog;
        bool destroyed;
    };
    const MenuCase cases[] = {
        {0, false, false}, {ID_TRAY_ABOUT, true, false}, {ID_TRAY_EXIT, false, true}};
    for (const MenuCase& c : cases) {
        SetUp();
        started = false;
        fake::setCursor(Point{1200, 5});
        fake::onDialog([](DialogHandle d) { aboutDialogProc(d, MSG_COMMAND, COMMAND_OK, 0); });
        const int code = runProgram([&](WindowHandle main) {
            fake::queueMenuCommand(c.command);
            tray(main, MOUSE_RIGHT_DOWN);
            EXPECT_EQ(fake::callsStartingWith("createPopupMenu"),
                      std::vector<std::string>{"createPopupMenu |About=40004|-|Exit=40003"});
            EXPECT_EQ(fake::callsStartingWith("trackPopupMenu").size(), 1u);
            EXPECT_NE(fake::callsStartingWith("trackPopupMenu")[0].find(" 1200 5 #1"),
                      std::string::npos);
            EXPECT_EQ(fake::callsStartingWith("destroyMenu").size(), 1u);
            EXPECT_EQ(called("runModalDialog Orvanta Countdown #1"), c.dialog) << c.command;
            EXPECT_EQ(!fake::window(main).alive, c.destroyed) << c.command;
        });
        if (c.destroyed) {
            EXPECT_EQ(code, 0);
            EXPECT_FALSE(fake::trayIcon().has_value());
            EXPECT_TRUE(fake::window(WindowHandle{1}).timers.empty());
            EXPECT_EQ(fake::callsStartingWith("killTimer"),
                      (std::vector<std::string>{"killTimer #1 101", "killTimer #1 102"}));
        } else {
            EXPECT_EQ(code, -1); // still running when the scenario ended
        }
    }
}

TEST_F(ShellTest, AMenuThatCannotBeMadeIsIgnored) {
    fake::fail("createPopupMenu");
    fake::queueMenuCommand(ID_TRAY_EXIT);
    runProgram([&](WindowHandle main) {
        EXPECT_EQ(tray(main, MOUSE_RIGHT_DOWN), 0);
        EXPECT_TRUE(fake::window(main).alive);
        destroyWindow(main);
    });
}

TEST_F(ShellTest, BothTimersRefreshAndInvalidateTheInfoPane) {
    runProgram([&](WindowHandle main) {
        createPanes(main);
        const int before = fake::window(infoPaneWindow).invalidations;
        clock.set({2003, 8, 26, 9, 52, 20});
        EXPECT_EQ(sendMessage(main, MSG_TIMER, TIMER_SECOND, 0), 0);
        EXPECT_EQ(encounterState.hoursLeft, 23);
        clock.set({2003, 8, 27, 9, 0, 0});
        EXPECT_EQ(sendMessage(main, MSG_TIMER, TIMER_QUARTER_HOUR, 0), 0);
        EXPECT_EQ(encounterState.minutesLeft, 52);
        EXPECT_EQ(fake::window(infoPaneWindow).invalidations, before + 2);
        EXPECT_EQ(fake::window(diagramPaneWindow).invalidations, 0);
        destroyWindow(main);
    });
}

TEST_F(ShellTest, AboutBoxClosesOnlyOnOk) {
    struct DialogCase {
        std::uint32_t message;
        std::uintptr_t wParam;
        bool handled;
    };
    const DialogCase cases[] = {
        {MSG_INIT_DIALOG, 0, false},
        {MSG_COMMAND, COMMAND_CANCEL, false}, // Escape, the close box
        {MSG_COMMAND, 0x00010001, false},     // not a click
        {MSG_COMMAND, COMMAND_OK, true},
    };
    for (const DialogCase& c : cases) {
        fake::reset();
        EXPECT_EQ(aboutDialogProc(DialogHandle{7}, c.message, c.wParam, 0), c.handled) << c.wParam;
        EXPECT_EQ(called("endDialog #7 0"), c.handled) << c.wParam;
    }

    // Cancel leaves the box open; the following OK closes it.
    fake::reset();
    int step = 0;
    fake::onDialog([&](DialogHandle d) {
        aboutDialogProc(d, MSG_COMMAND, step++ == 0 ? COMMAND_CANCEL : COMMAND_OK, 0);
    });
    showAboutBox(WindowHandle{});
    EXPECT_EQ(step, 2);
    EXPECT_TRUE(called("dialogClosed Orvanta Countdown ended 0"));
}

// Exit chosen from the tray while the About box is open ends the program cleanly.
TEST_F(ShellTest, ExitWhileTheAboutBoxIsOpen) {
    fake::queueMenuCommand(ID_TRAY_ABOUT);
    fake::queueMenuCommand(ID_TRAY_EXIT);
    fake::onDialog([this](DialogHandle) { tray(WindowHandle{1}, MOUSE_RIGHT_DOWN); });
    const int code = runProgram([this](WindowHandle main) { tray(main, MOUSE_RIGHT_DOWN); });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(fake::window(WindowHandle{1}).alive);
    EXPECT_FALSE(fake::trayIcon().has_value());
    EXPECT_EQ(fake::callsStartingWith("postQuit"), std::vector<std::string>{"postQuit 0"});
}

} // namespace
