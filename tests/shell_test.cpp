// The shell's start-up and main window behaviour, against the recording window layer.

#include "app/shell.h"
#include "display/diagram_pane.h"
#include "display/info_pane.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "platform/fake/fake.h"
#include "tests/support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace orvanta;

namespace {

using Calls = std::vector<std::string>;

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
        fresh();
    }
    // A new run of the program: only the user's saved settings are left of the last one.
    static void fresh() {
        fake::reset(false);
        encounterState = EncounterState{};
        diagramPaneWindow = infoPaneWindow = WindowHandle{};
        setCountdownToNextApproach(false);
    }

    // Runs the program; `scenario` runs once the loop is idle, with the main window.
    static int run(std::function<void(WindowHandle)> scenario) {
        fake::onIdle([scenario] { scenario(mainWindow()); }, 1);
        return WinMain(currentInstance(), InstanceHandle{}, "--ignored", 7);
    }
    static int runAndEnd() {
        return run([](WindowHandle main) { destroyWindow(main); });
    }
    static WindowHandle mainWindow() { return fake::windowOfClass(MAIN_WINDOW_CLASS); }
    static MessageResult tray(WindowHandle window, std::intptr_t mouse) {
        return sendMessage(window, appMessage, TRAY_ICON_ID, mouse);
    }
    // Panes that record what the main window does to them.
    static void createPanes(WindowHandle main) {
        diagramPaneWindow = plainWindow(WindowStyle::Child, main, {0, 0, 10, 10});
        infoPaneWindow = plainWindow(WindowStyle::Child, main, {0, 0, 10, 10});
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
    EXPECT_EQ(runAndEnd(), 0);
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
    EXPECT_EQ(infoPaneWindow, fake::windowOfClass(INFO_PANE_CLASS));
    EXPECT_EQ(fake::calls().back().rfind("closeInstanceMarker", 0), 0u);
}

// From the work area's right and bottom, not its size; not clamped when it is too small.
TEST_F(Shell, PlacedAtTheBottomRightOfTheWorkArea) {
    const Rect cases[][2] = {{{60, 30, 1280, 1024}, {640, 544, 1280, 1024}},
                             {{0, 0, 600, 400}, {-40, -80, 600, 400}}};
    for (const auto& [area, placed] : cases) {
        fresh();
        fake::setWorkArea(area);
        runAndEnd();
        EXPECT_EQ(fake::window(mainWindow()).rect, placed);
    }
}

TEST_F(Shell, ASecondStartOnlyAsksTheFirstToShowItself) {
    for (const bool reachable : {true, false}) {
        fresh();
        fake::setMarkerHeldElsewhere(true, reachable);
        EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0);
        EXPECT_EQ(fake::callsStartingWith("postToNamedWindow"),
                  Calls{"postToNamedWindow Orvanta Single Instance Mutex / Orvanta 2003 / "
                        "Orvanta 2003 " +
                        std::to_string(appMessage) + " 0 513"});
        for (const char* never : {"registerWindowClass", "createWindow", "runMessageLoop"}) {
            EXPECT_FALSE(called(never)) << never;
        }
        EXPECT_EQ(encounterState.distanceAu, 0.0); // not even the computation
    }
}

TEST_F(Shell, AMainWindowThatCannotBeMadeEndsWithExitCodeZero) {
    for (const char* failing : {"registerWindowClass", "createWindow"}) {
        fresh();
        fake::fail(failing);
        EXPECT_EQ(WinMain(currentInstance(), InstanceHandle{}, "", 10), 0);
        EXPECT_FALSE(called("runMessageLoop") || called("addTrayIcon")) << failing;
    }
}

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
        createPanes(main);
        for (const LayoutCase& c : cases) {
            sendMessage(main, MSG_SIZE, 0, sizeParam(c.width, c.height));
            EXPECT_EQ(fake::window(diagramPaneWindow).rect, c.diagram) << c.width;
            EXPECT_EQ(fake::window(infoPaneWindow).rect, c.info) << c.width;
        }
        EXPECT_TRUE(fake::window(diagramPaneWindow).visible &&
                    fake::window(infoPaneWindow).visible);
        destroyWindow(main);
    });
}

// A left press or double click shows the hidden window in front; the icon's other events do not.
TEST_F(Shell, CloseHidesAndTheTrayIconShowsAgain) {
    run([](WindowHandle main) {
        EXPECT_EQ(sendMessage(main, MSG_CLOSE, 0, 0), 0);
        EXPECT_FALSE(fake::window(main).visible);
        EXPECT_TRUE(fake::trayIcon().has_value());
        for (std::intptr_t mouse :
             {512L, 514L, 517L, 518L, MOUSE_LEFT_DOWN, MOUSE_LEFT_DOUBLE_CLICK}) {
            hideWindow(main);
            EXPECT_EQ(tray(main, mouse), 0);
            EXPECT_EQ(fake::window(main).visible,
                      mouse == MOUSE_LEFT_DOWN || mouse == MOUSE_LEFT_DOUBLE_CLICK)
                << mouse;
        }
        EXPECT_EQ(fake::foregroundWindow(), main);
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

    fresh();
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

// Every right click opens the menu at the cursor, also from inside the About box.
TEST_F(Shell, TrayMenuCommands) {
    struct MenuCase {
        std::vector<std::uint32_t> commands;
        const char* failing;
        bool dialog, ends;
    };
    const MenuCase cases[] = {
        {{0}, "", false, false},
        {{ID_TRAY_ABOUT}, "", true, false},
        {{ID_TRAY_EXIT}, "", false, true},
        {{ID_TRAY_ABOUT, ID_TRAY_EXIT}, "", true, true},
        {{ID_TRAY_EXIT}, "createPopupMenu", false, false}, // no menu: nothing chosen
    };
    for (const MenuCase& c : cases) {
        fresh();
        fake::setCursor(Point{1200, 5});
        for (const std::uint32_t command : c.commands) {
            fake::queueMenuCommand(command);
        }
        if (*c.failing != '\0') {
            fake::fail(c.failing);
        }
        fake::onDialog([](DialogHandle) { tray(mainWindow(), MOUSE_RIGHT_DOWN); });
        const int code = run([](WindowHandle main) { EXPECT_EQ(tray(main, MOUSE_RIGHT_DOWN), 0); });
        const std::string main = id(mainWindow());
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(fake::callsStartingWith("createPopupMenu").at(0),
                  "createPopupMenu |About=40004|[ ]Count down to the next approach=40005|-|"
                  "Exit=40003");
        EXPECT_NE(fake::callsStartingWith("trackPopupMenu").at(0).find(" 1200 5"),
                  std::string::npos);
        EXPECT_EQ(fake::callsStartingWith("destroyMenu").size(),
                  fake::callsStartingWith("trackPopupMenu").size());
        EXPECT_EQ(called("runModalDialog Orvanta Countdown " + main), c.dialog);
        EXPECT_EQ(code, c.ends ? 0 : -1); // -1: still running when the scenario ended
        EXPECT_EQ(fake::window(mainWindow()).alive, !c.ends);
        EXPECT_EQ(fake::trayIcon().has_value(), !c.ends);
    }
}

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

    fresh();
    fake::queueMenuCommand(ID_TRAY_NEXT_APPROACH);
    run([](WindowHandle main) {
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
}

} // namespace
