// The shell's start-up and main window behaviour, against the recording window layer.

#include "app/shell.h"
#include "display/diagram_pane.h"
#include "display/info_pane.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "platform/fake/fake.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

using Calls = std::vector<std::string>;

MessageResult paneProc(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

std::string id(WindowHandle w) {
    return "#" + std::to_string(w.id);
}

bool called(const std::string& prefix) {
    return !fake::callsStartingWith(prefix).empty();
}

class Shell : public testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        encounterState = EncounterState{};
        diagramPaneWindow = infoPaneWindow = WindowHandle{};
        setCountdownToNextApproach(false);
    }

    // Runs the program; `scenario` runs once the loop is idle, with the main window.
    static int run(std::function<void(WindowHandle)> scenario) {
        fake::onIdle([scenario] { scenario(mainWindow()); }, 1);
        return WinMain(currentInstance(), InstanceHandle{}, "--ignored", 7);
    }
    static WindowHandle mainWindow() { return fake::windowOfClass(MAIN_WINDOW_CLASS); }
    static MessageResult tray(WindowHandle window, std::intptr_t mouse) {
        return sendMessage(window, appMessage, TRAY_ICON_ID, mouse);
    }
    static void createPanes(WindowHandle main) {
        registerWindowClass(WindowClass{"test pane", &paneProc, appInstance, 0});
        diagramPaneWindow = createWindow("test pane", "", WindowStyle::Child, main, {0, 0, 10, 10});
        infoPaneWindow = createWindow("test pane", "", WindowStyle::Child, main, {0, 0, 10, 10});
    }

    FixedUtcClock clock{{2003, 8, 27, 9, 52, 19}};
};

// Everything up to the loop, in order; the numbers exist before the class is even registered.
TEST_F(Shell, StartUpOrder) {
    double distanceAtRegistration = 0;
    fake::onCall([&](const std::string& call) {
        if (call.rfind("registerWindowClass", 0) == 0) {
            distanceAtRegistration = encounterState.distanceAu;
        }
    });
    EXPECT_EQ(run([](WindowHandle main) { destroyWindow(main); }), 0);
    EXPECT_NEAR(distanceAtRegistration, 0.372719258581, 1e-11);

    // The start-up steps, leaving out what the panes do inside their own creation.
    Calls startup;
    const std::string main = id(mainWindow());
    for (const std::string& call : fake::calls()) {
        for (const char* step : {"register", "createInstanceMarker", "workArea", "createWindow",
                                 "addTrayIcon", "setTimer", "showWindow"}) {
            if (call.rfind(step, 0) == 0) {
                startup.push_back(call);
            }
        }
        if (call == "showWindow " + main) {
            break;
        }
    }
    EXPECT_EQ(startup, (Calls{
                           "registerMessage Orvanta Message",
                           "createInstanceMarker Orvanta Single Instance Mutex",
                           "registerWindowClass Orvanta 2003 icon 104",
                           "workArea",
                           "createWindow Orvanta 2003 top #0 (384,258,1024,738)",
                           "addTrayIcon " + main + " 42 " + std::to_string(appMessage) +
                               " 104 Quellmark Orvanta 2003",
                           "setTimer " + main + " 101 1000",
                           "setTimer " + main + " 102 900000",
                           "registerWindowClass GraphicsPaneWnd orvanta icon 0",
                           "createWindow GraphicsPaneWnd orvanta child " + main + " (0,0,10,10)",
                           "setTimer " + id(diagramPaneWindow) + " 201 900000",
                           "registerWindowClass InfoPaneWnd orvanta icon 0",
                           "createWindow InfoPaneWnd orvanta child " + main + " (0,0,10,10)",
                           "showWindow " + main,
                       }));
    EXPECT_EQ(diagramPaneWindow, fake::windowOfClass(DIAGRAM_PANE_CLASS));
    EXPECT_EQ(infoPaneWindow, fake::windowOfClass(INFO_PANE_CLASS));
    EXPECT_EQ(fake::calls().back().rfind("closeInstanceMarker", 0), 0u);
    EXPECT_GE(appMessage, FIRST_REGISTERED_MESSAGE);
}

struct PlacementCase {
    Rect workArea;
    Rect window;
};
class Placement : public Shell, public testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, BottomRightCornerOfTheWorkArea) {
    fake::setWorkArea(GetParam().workArea);
    run([](WindowHandle main) { destroyWindow(main); });
    EXPECT_EQ(fake::window(mainWindow()).rect, GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(Shell, Placement,
                         testing::Values(PlacementCase{{0, 0, 1024, 738}, {384, 258, 1024, 738}},
                                         // panels on the left and at the top
                                         PlacementCase{{60, 30, 1280, 1024},
                                                       {640, 544, 1280, 1024}},
                                         // smaller than the window: not clamped
                                         PlacementCase{{0, 0, 600, 400}, {-40, -80, 600, 400}}));

class SecondInstance : public Shell, public testing::WithParamInterface<bool> {};

TEST_P(SecondInstance, OnlyAsksTheFirstToShowItself) {
    fake::setMarkerHeldElsewhere(true, GetParam());
    EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0);
    EXPECT_EQ(
        fake::callsStartingWith("postToNamedWindow"),
        Calls{"postToNamedWindow Orvanta Single Instance Mutex / Orvanta 2003 / Orvanta 2003 " +
              std::to_string(appMessage) + " 0 513"});
    for (const char* never :
         {"registerWindowClass", "createWindow", "addTrayIcon", "runMessageLoop"}) {
        EXPECT_FALSE(called(never)) << never;
    }
    EXPECT_EQ(encounterState.distanceAu, 0.0); // not even the computation
}

INSTANTIATE_TEST_SUITE_P(Shell, SecondInstance, testing::Bool());

class StartUpFailure : public Shell, public testing::WithParamInterface<const char*> {};

TEST_P(StartUpFailure, EndsWithExitCodeZero) {
    fake::fail(GetParam());
    EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0);
    for (const char* never : {"showWindow", "runMessageLoop", "addTrayIcon"}) {
        EXPECT_FALSE(called(never)) << never;
    }
}

INSTANTIATE_TEST_SUITE_P(Shell, StartUpFailure,
                         testing::Values("registerWindowClass", "createWindow"));

TEST_F(Shell, APaneThatCannotBeMadeLeavesTheProgramRunning) {
    fake::fail("registerWindowClass InfoPaneWnd orvanta");
    EXPECT_EQ(run([](WindowHandle main) {
                  EXPECT_TRUE(fake::window(main).visible);
                  EXPECT_FALSE(infoPaneWindow);
                  sendMessage(main, MSG_TIMER, TIMER_SECOND, 0);
                  destroyWindow(main);
              }),
              0);
}

TEST_F(Shell, LayoutOnEverySizeReport) {
    struct LayoutCase {
        int width, height;
        Rect diagram, info;
    };
    const LayoutCase cases[] = {
        {640, 480, {0, 0, 440, 480}, {440, 0, 640, 480}},
        {1000, 300, {0, 0, 440, 300}, {440, 0, 1000, 300}},
        {300, 200, {0, 0, 440, 200}, {440, 0, 440, 200}}, // info pane width -140: nothing visible
        {0, 0, {0, 0, 440, 0}, {440, 0, 440, 0}},
    };
    run([&](WindowHandle main) {
        // Before the panes exist the layout passes them by.
        EXPECT_EQ(sendMessage(main, MSG_SIZE, 0, sizeParam(640, 480)), 0);
        createPanes(main);
        for (const LayoutCase& c : cases) {
            EXPECT_EQ(sendMessage(main, MSG_SIZE, 0, sizeParam(c.width, c.height)), 0);
            EXPECT_EQ(fake::window(diagramPaneWindow).rect, c.diagram) << c.width;
            EXPECT_EQ(fake::window(infoPaneWindow).rect, c.info) << c.width;
            EXPECT_TRUE(fake::window(diagramPaneWindow).visible);
            EXPECT_TRUE(fake::window(infoPaneWindow).visible);
        }
        EXPECT_EQ(fake::callsStartingWith("moveWindow " + id(infoPaneWindow)).back(),
                  "moveWindow " + id(infoPaneWindow) + " 440 0 -440 0 repaint");
        destroyWindow(main);
    });
}

TEST_F(Shell, CloseHidesAndTheTrayIconShowsAgain) {
    run([](WindowHandle main) {
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
        EXPECT_EQ(fake::callsStartingWith("defaultWindowProc " + id(main) + " " +
                                          std::to_string(appMessage))
                      .size(),
                  4u);
        destroyWindow(main);
    });
}

// Started before the panel, the program tries again every 2 s: an icon that comes within a minute
// is added (and closing hid the window meanwhile); after a minute without one the hidden window is
// shown again, and from then on closing ends the program.
TEST_F(Shell, WaitingForTheNotificationArea) {
    fake::setTrayAvailable(false);
    fake::letTimeRun(7000);
    run([](WindowHandle main) {
        sendMessage(main, MSG_CLOSE, 0, 0);
        EXPECT_FALSE(fake::window(main).visible);
        EXPECT_TRUE(fake::window(main).alive);
        fake::setTrayAvailable(true); // the panel comes up
    });
    EXPECT_TRUE(fake::trayIcon().has_value());
    EXPECT_EQ(fake::callsStartingWith("addTrayIcon").size(), 2u);
    EXPECT_EQ(fake::window(mainWindow()).timers, (std::set<std::uint32_t>{101, 102}));
}

TEST_F(Shell, WithoutANotificationAreaClosingEndsTheProgram) {
    fake::setTrayAvailable(false);
    fake::letTimeRun(61000);
    fake::onIdle([] { sendMessage(mainWindow(), MSG_CLOSE, 0, 0); }, 1);
    WinMain(currentInstance(), InstanceHandle{}, "", 10); // gives up after a minute
    EXPECT_EQ(fake::callsStartingWith("addTrayIcon").size(), std::size_t(TRAY_ATTEMPTS));
    EXPECT_TRUE(fake::window(mainWindow()).visible) << "shown again, to be reached";
    EXPECT_EQ(sendMessage(mainWindow(), MSG_CLOSE, 0, 0), 0);
    EXPECT_FALSE(fake::window(mainWindow()).alive);
    EXPECT_TRUE(called("postQuit 0"));
}

struct MenuCase {
    std::uint32_t command;
    bool dialog;
    bool destroyed;
};
class TrayMenu : public Shell, public testing::WithParamInterface<MenuCase> {};

TEST_P(TrayMenu, Commands) {
    const MenuCase c = GetParam();
    fake::setCursor(Point{1200, 5});
    fake::onDialog([](DialogHandle d) { aboutDialogProc(d, MSG_COMMAND, COMMAND_OK, 0); });
    fake::queueMenuCommand(c.command);
    const int code = run([](WindowHandle main) { tray(main, MOUSE_RIGHT_DOWN); });
    EXPECT_EQ(fake::callsStartingWith("createPopupMenu"),
              Calls{"createPopupMenu |About=40004|[ ]Count down to the next approach=40005|-|"
                    "Exit=40003"});
    ASSERT_EQ(fake::callsStartingWith("trackPopupMenu").size(), 1u);
    EXPECT_NE(fake::callsStartingWith("trackPopupMenu")[0].find(" 1200 5"), std::string::npos);
    EXPECT_EQ(fake::callsStartingWith("destroyMenu").size(), 1u);
    EXPECT_EQ(called("runModalDialog Orvanta Countdown " + id(mainWindow())), c.dialog);
    EXPECT_EQ(!fake::window(mainWindow()).alive, c.destroyed);
    if (c.destroyed) {
        EXPECT_EQ(code, 0);
        EXPECT_FALSE(fake::trayIcon().has_value());
        EXPECT_TRUE(fake::window(mainWindow()).timers.empty());
        const std::string main = id(mainWindow());
        EXPECT_EQ(fake::callsStartingWith("killTimer " + main),
                  (Calls{"killTimer " + main + " 101", "killTimer " + main + " 102"}));
    } else {
        EXPECT_EQ(code, -1); // still running when the scenario ended
    }
}

INSTANTIATE_TEST_SUITE_P(Shell, TrayMenu,
                         testing::Values(MenuCase{0, false, false},
                                         MenuCase{ID_TRAY_ABOUT, true, false},
                                         MenuCase{ID_TRAY_EXIT, false, true}));

// The menu's choice to count to the next approach changes the countdown and the tip at once, and
// the next start of the program counts the same way, until the user unticks it.
TEST_F(Shell, CountingToTheNextApproachIsKeptAcrossRestarts) {
    clock.set({2026, 12, 7, 0, 0, 0});
    fake::queueMenuCommand(ID_TRAY_NEXT_APPROACH);
    run([](WindowHandle main) {
        EXPECT_EQ(encounterState.daysLeft, -8503);
        tray(main, MOUSE_RIGHT_DOWN);
        EXPECT_EQ(encounterState.daysLeft, 75); // 2027-02-20T00:14:02
        EXPECT_EQ(fake::trayIcon()->tip, "Quellmark Orvanta 2027-02-20");
        destroyWindow(main);
    });
    EXPECT_EQ(fake::callsStartingWith("saveSetting"),
              Calls{"saveSetting countdown/nextApproach 1"});

    fake::reset(false); // a new run: only the saved setting is left
    setCountdownToNextApproach(false);
    fake::queueMenuCommand(ID_TRAY_NEXT_APPROACH);
    run([](WindowHandle main) {
        EXPECT_EQ(encounterState.hoursLeft, 0);
        EXPECT_EQ(encounterState.minutesLeft, 14);
        EXPECT_EQ(fake::trayIcon()->tip, "Quellmark Orvanta 2027-02-20");
        tray(main, MOUSE_RIGHT_DOWN);
        EXPECT_EQ(encounterState.daysLeft, -8503);
        EXPECT_EQ(fake::trayIcon()->tip, TRAY_TIP);
        destroyWindow(main);
    });
    EXPECT_NE(fake::callsStartingWith("createPopupMenu").at(0).find("[x]Count down"),
              std::string::npos);
}

TEST_F(Shell, AMenuThatCannotBeMadeIsIgnored) {
    fake::fail("createPopupMenu");
    fake::queueMenuCommand(ID_TRAY_EXIT);
    run([](WindowHandle main) {
        EXPECT_EQ(tray(main, MOUSE_RIGHT_DOWN), 0);
        EXPECT_TRUE(fake::window(main).alive);
        destroyWindow(main);
    });
}

// Fifteen minutes of the running program: 900 one-second refreshes and one quarter-hour refresh,
// each invalidating the info pane only, while the window is hidden in the tray.
TEST_F(Shell, BothTimersRefreshAndInvalidateTheInfoPane) {
    fake::letTimeRun(900000);
    run([](WindowHandle main) {
        createPanes(main);
        sendMessage(main, MSG_CLOSE, 0, 0);
        encounterState = EncounterState{};
    });
    EXPECT_EQ(fake::window(infoPaneWindow).invalidations, 901);
    EXPECT_EQ(fake::window(diagramPaneWindow).invalidations, 0);
    EXPECT_NEAR(encounterState.distanceAu, 0.372719258581, 1e-11);
}

TEST_F(Shell, AboutBoxClosesOnlyOnOk) {
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
        const std::size_t ends = fake::callsStartingWith("endDialog #7 0").size();
        EXPECT_EQ(aboutDialogProc(DialogHandle{7}, c.message, c.wParam, 0), c.handled) << c.wParam;
        EXPECT_EQ(fake::callsStartingWith("endDialog #7 0").size(), ends + c.handled) << c.wParam;
    }

    // Cancel leaves the box open; the following OK closes it.
    int step = 0;
    fake::onDialog([&](DialogHandle d) {
        aboutDialogProc(d, MSG_COMMAND, step++ == 0 ? COMMAND_CANCEL : COMMAND_OK, 0);
    });
    showAboutBox(WindowHandle{});
    EXPECT_EQ(step, 2);
    EXPECT_TRUE(called("dialogClosed Orvanta Countdown ended 0"));
}

// Exit chosen from the tray while the About box is open ends the program cleanly.
TEST_F(Shell, ExitWhileTheAboutBoxIsOpen) {
    fake::queueMenuCommand(ID_TRAY_ABOUT);
    fake::queueMenuCommand(ID_TRAY_EXIT);
    fake::onDialog([](DialogHandle) { tray(mainWindow(), MOUSE_RIGHT_DOWN); });
    EXPECT_EQ(run([](WindowHandle main) { tray(main, MOUSE_RIGHT_DOWN); }), 0);
    EXPECT_FALSE(fake::window(mainWindow()).alive);
    EXPECT_FALSE(fake::trayIcon().has_value());
    EXPECT_EQ(fake::callsStartingWith("postQuit"), Calls{"postQuit 0"});
}

} // namespace
