// The program's own widgets on Qt's offscreen platform, driven by their events and timers with the
// clock pinned: the window and its tray, the About box, and the off-screen OpenGL target.

#define GL_GLEXT_PROTOTYPES
#include "app/main_window.h"
#include "app/reminders.h"
#include "display/info_text.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/utc_clock.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"
#include "panes/offscreen_gl_target.h"
#include "tests/scoped_environment.h"

#include <GL/gl.h>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvanta;
using State = OffscreenGlTarget::State;

namespace {

// The one-second refresh has come by then, on a slow machine under load too.
constexpr int REFRESHED_WITHIN_MS = 10000;

// An entry of the tray menu, or of its "Count down to" submenu, by its words before any date.
QAction* menuItem(MainWindow& window, const char* text) {
    for (QAction* action : window.trayMenu()->findChildren<QAction*>()) {
        if (QString(action->text()).remove('&').section(", ", 0, 0) == QString::fromUtf8(text)) {
            return action;
        }
    }
    return nullptr;
}

// Runs the application's loop until the program ends it, or gives up after `ms` with -1.
int runUntilExit(int ms) {
    QTimer::singleShot(ms, [] { QCoreApplication::exit(-1); });
    return QApplication::exec();
}

// The tip names the approach counted to, also when the one-second refresh moves on to the next.
// (That the choice is kept across starts, the end-to-end tests over D-Bus and in the Approaches
// window show.) The About box is modal, keeps the refresh running, and only OK closes it; Exit
// while it is open ends the program.
TEST(MainWindow, TheTipFollowsTheTargetAndTheAboutBoxTheRefresh) {
    FixedUtcClock clock({2027, 1, 1, 0, 0, 0});
    setCountdownChoice({});
    computeEncounterState();
    MainWindow window(QRect(0, 0, 640, 480));
    QAction* next = menuItem(window, "The next one");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->text(), "The &next one, 2027-02-20");
    EXPECT_TRUE(menuItem(window, "2003")->isChecked());
    EXPECT_EQ(window.trayIcon()->toolTip(), "Quellmark Orvanta 2003");

    next->trigger();
    EXPECT_EQ(window.trayIcon()->toolTip(), "Quellmark Orvanta 2027-02-20, in 50 days");
    EXPECT_EQ(window.windowTitle(), "Orvanta 2027");
    EXPECT_EQ(infoBoxTitle(3), "Closest Approach 2027");

    // A day after the approach the countdown moves on to the next one, and so does the tip.
    clock.set({2027, 2, 21, 0, 14, 3});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return window.trayIcon()->toolTip().startsWith("Quellmark Orvanta 2029-03-29, in 76");
        },
        REFRESHED_WITHIN_MS))
        << window.trayIcon()->toolTip().toStdString();
    // The menu names it as it opens, whatever is counted to.
    menuItem(window, "2003")->trigger();
    clock.set({2029, 3, 31, 0, 0, 0});
    QMenu* countdown = menuItem(window, "Count down to")->menu();
    countdown->popup(QPoint());
    EXPECT_EQ(next->text(), "The &next one, 2031-05-12");
    countdown->hide();
    next->trigger();

    // Beyond the searched years there is no next one: 2003's, and a word why, once.
    clock.set({5999, 6, 1, 0, 0, 0});
    testing::internal::CaptureStderr();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.trayIcon()->toolTip() == "Quellmark Orvanta 2003"; },
                        REFRESHED_WITHIN_MS));
    // A later refresh (it counts a minute less, 9 h 51 min past 2003's) says nothing again.
    clock.set({5999, 6, 1, 0, 1, 0});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return encounterState.minutesLeft == 51; }, REFRESHED_WITHIN_MS));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(window.trayIcon()->toolTip(), "Quellmark Orvanta 2003");
    EXPECT_EQ(window.windowTitle(), "Orvanta 2003");
    EXPECT_EQ(infoBoxTitle(3), "Closest Approach");
    EXPECT_TRUE(menuItem(window, "2003")->isChecked()) << "the menu ticks what is counted to";
    EXPECT_NE(said.find("no closest approach is known after 6000-01-01"), std::string::npos);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    setCountdownChoice({});

    clock.set({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    QAction* about = menuItem(window, "About");
    QTimer::singleShot(200, &window, [&] {
        QDialog* box = window.aboutBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(QApplication::activeModalWidget(), box);
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        about->trigger(); // brings the open box forward, and no second one
        clock.set({2003, 8, 27, 10, 52, 19});
        EXPECT_TRUE(
            QTest::qWaitFor([] { return encounterState.daysLeft == -1; }, REFRESHED_WITHIN_MS))
            << "refreshed while the box was open";
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->findChildren<QDialog*>().size(), 0);
        QTest::keyClick(box, Qt::Key_Return); // OK is the default button
    });
    about->trigger();
    EXPECT_EQ(window.aboutBox(), nullptr);

    QTimer::singleShot(200, &window, [&] { menuItem(window, "Exit")->trigger(); });
    QTimer::singleShot(0, about, &QAction::trigger);
    EXPECT_EQ(runUntilExit(5000), 0);
    EXPECT_EQ(window.aboutBox(), nullptr);
}

// The desktop's keys, in whichever of the program's windows is active: Ctrl+W closes it, Ctrl+Q
// ends the program as Exit does.
TEST(MainWindow, TheKeysToCloseAndToQuit) {
    FixedUtcClock clock({2026, 12, 7, 12, 0, 0});
    MainWindow window(QRect(0, 0, 640, 480));
    const auto opened = [&](const char* item) {
        menuItem(window, item)->trigger();
        return QString(item).startsWith("Mars") ? window.skyWindow() : window.approachesWindow();
    };
    const auto active = [](QWidget* w) {
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    };
    window.show();
    for (const char* item : {"Mars tonight…", "Approaches…", ""}) {
        QPointer<QWidget> w = *item ? opened(item) : &window;
        ASSERT_TRUE(w && active(w)) << item;
        QTest::keyClick(w, Qt::Key_W, Qt::ControlModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w || !w->isVisible(); })) << item;
    }
    QPointer<QWidget> approaches = opened("Approaches…");
    ASSERT_TRUE(active(approaches));
    QTimer::singleShot(0, approaches,
                       [&] { QTest::keyClick(approaches, Qt::Key_Q, Qt::ControlModifier); });
    EXPECT_EQ(runUntilExit(5000), 0);
    EXPECT_TRUE(approaches == nullptr || !approaches->isVisible());
}

// A window larger than the work area starts with its caption on it (in the corner a window that
// fits takes, which the end-to-end test sees); one that is off the work area comes back onto it
// when it is shown again. Shown twice before its frame is known, it keeps its size and place.
// Without a notification area nothing is left out of reach: once the program has given up on an
// icon, an open window keeps it running and closing ends it (a window closed while the icon was
// awaited ends it then, as the end-to-end test without a tray shows).
TEST(MainWindow, ShownAgainOntoTheScreenAndClosedWithoutATray) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(placeInWorkArea(area.size() * 2).topLeft(), area.topLeft());
    MainWindow window(QRect(50, 50, 640, 480));
    window.show();
    window.hide();
    window.show();
    QTest::qWait(600);
    EXPECT_EQ(window.frameGeometry(), QRect(50, 50, 640, 480));
    window.move(area.right() + 100, area.bottom() + 100);
    window.showAndRaise();
    EXPECT_EQ(window.frameGeometry().bottomRight(), area.bottomRight());
    for (int attempt = 1; attempt < TRAY_ATTEMPTS; ++attempt) {
        window.retryTrayIcon();
    }
    EXPECT_EQ(runUntilExit(300), -1);
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    EXPECT_EQ(runUntilExit(5000), 0);
}

void writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Only a regular file is read or replaced, a link to one is written through and stays a link, a
// file that cannot be used is said so in one line and left as it is, and the user's own lines
// survive a save; the choice holds for the run either way.
TEST(MainWindow, SettingsFileOfEveryKind) {
    const struct {
        const char* what;
        void (*spoil)(const QString& file); // given the settings file's path, its folder made
        const char* said;                   // the one line said at start or at a save, or ""
        const char* after;                  // what the file (or the link's target) holds then
    } cases[] = {
        {"a folder", [](const QString& f) { QDir().mkpath(f); }, "not used (it is a folder)", ""},
        {"a pipe", [](const QString& f) { ::mkfifo(QFile::encodeName(f), 0600); },
         "not used (it is not a regular file)", ""},
        {"a link to a pipe",
         [](const QString& f) {
             ::mkfifo(QFile::encodeName(f + ".pipe"), 0600);
             QFile::link(f + ".pipe", f);
         },
         "not used (it is not a regular file)", ""},
        {"huge",
         [](const QString& f) {
             writeFile(f, "[countdown]\nnextApproach=true\n");
             QFile(f).resize(100 << 20);
         },
         "not used (it is larger than 64 KB)", ""},
        {"binary", [](const QString& f) { writeFile(f, QByteArray("[countdown]\n\0\xff", 14)); },
         "not used (it is not a settings file", ""},
        {"the folder read-only",
         [](const QString& f) {
             writeFile(f, "[countdown]\ntarget=2003\n");
             ::chmod(QFile::encodeName(QFileInfo(f).absolutePath()), 0500);
         },
         "are not saved in", "[countdown]\ntarget=2003\n"},
        {"comments and other keys",
         [](const QString& f) {
             writeFile(f, "; my own note\n[countdown]\n# why\ntarget=2003\nother=1\n");
         },
         "", "; my own note\n[countdown]\n# why\ntarget=next\nother=1\n"},
        {"a link to a file",
         [](const QString& f) {
             writeFile(f + ".real", "[countdown]\ntarget=2003\n");
             QFile::link(f + ".real", f);
         },
         "", "[countdown]\ntarget=next\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string_view what = c.what;
        if (what == "the folder read-only" && ::geteuid() == 0) {
            continue; // root writes there all the same
        }
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString path = config + "/orvanta/orvanta.conf";
        const ScopedEnvironment settingsFolder("XDG_CONFIG_HOME",
                                               QFile::encodeName(config).toStdString());
        QDir().mkpath(config + "/orvanta");
        c.spoil(path);
        const QByteArray before = QFileInfo(path).isFile() ? readFile(path) : QByteArray();
        struct stat kindBefore {
        }, kindAfter{};
        ::stat(QFile::encodeName(path), &kindBefore);
        setCountdownChoice({CountdownTarget::Of2003});
        testing::internal::CaptureStderr();
        loadCountdownChoice();
        {
            MainWindow window(QRect(0, 0, 640, 480));
            for (const char* item : {"The next one", "2003", "The next one"}) {
                menuItem(window, item)->trigger();
            }
        }
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), *c.said ? 1 : 0) << said;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(countdownChoice().target, CountdownTarget::Next)
            << "the choice holds for the run";
        QFileInfo file(path);
        EXPECT_EQ(file.isSymLink(), what.starts_with("a link")) << "a link stays a link";
        if (*c.after) {
            EXPECT_EQ(readFile(file.canonicalFilePath()), QByteArray(c.after));
        } else if (file.isFile()) {
            EXPECT_EQ(readFile(path), before) << "left as it is";
        }
        ::stat(QFile::encodeName(path), &kindAfter);
        EXPECT_EQ(kindAfter.st_mode & S_IFMT, kindBefore.st_mode & S_IFMT) << "never replaced";
        ::chmod(QFile::encodeName(config + "/orvanta"), 0700); // for the folder to be removed
    }
    setCountdownChoice({});
}

// A reminder that reaches nobody (here no session bus at all, and no tray) is not counted as
// shown: it waits for the window, and only then is it kept as shown.
TEST(Reminders, CountedAsShownOnlyOnceShown) {
    QTemporaryDir home;
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(home.path()).toStdString());
    const ScopedEnvironment bus("DBUS_SESSION_BUS_ADDRESS",
                                "unix:path=" + QFile::encodeName(home.path()).toStdString() +
                                    "/no-bus");
    QDir().mkpath(home.path() + "/orvanta");
    const QString path = home.path() + "/orvanta/orvanta.conf";
    writeFile(path, "[reminders]\nbeforeApproach=true\n");
    const FixedUtcClock clock({2027, 1, 21, 0, 13, 0}); // just after the 30-day point
    setCountdownChoice({});
    computeEncounterState();
    QWidget window;
    Reminders reminders(window);
    reminders.check(julianDateValue(currentJulianDate()), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reminders.undelivered(); }, REFRESHED_WITHIN_MS));
    EXPECT_EQ(readFile(path), "[reminders]\nbeforeApproach=true\n") << "not shown, not kept";
    window.show();
    reminders.showUndelivered(&window);
    const auto* box = window.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Mars is closest to Earth in 30 days");
    EXPECT_EQ(readFile(path), "[reminders]\nbeforeApproach=true\nshown=2461456.508950/0\n");
}

// A refresh draws only the lines that changed; the picture must come out as if composed whole,
// second by second, across a minute, a day and a change of sign, and at a ratio of 2.
TEST(InfoPane, RefreshedLinesAsIfComposedWhole) {
    const UtcClockReading readings[] = {
        {2003, 8, 27, 9, 51, 58},   {2003, 8, 27, 9, 51, 59}, {2003, 8, 27, 9, 52, 0},
        {2003, 8, 27, 9, 52, 19},   {2003, 8, 27, 9, 52, 20}, {2003, 8, 28, 9, 52, 20},
        {2026, 12, 31, 23, 59, 59}, {2027, 1, 1, 0, 0, 0},
    };
    for (const qreal ratio : {1.0, 2.0}) {
        FixedUtcClock clock(readings[0]);
        InfoPicture picture(200, ratio);
        for (const UtcClockReading& reading : readings) {
            clock.set(reading);
            computeEncounterState();
            const QRect changed = picture.update(currentInfoText());
            EXPECT_FALSE(changed.isEmpty());
            EXPECT_EQ(picture.image(), composeInfoPicture(200, ratio))
                << ratio << " " << reading.day << " " << reading.second;
        }
        EXPECT_TRUE(picture.update(currentInfoText()).isEmpty())
            << "nothing changed, nothing drawn";
    }
}

// What the target copies in its present state: the pixels of a frame cleared to red that reach a
// black 8 x 8 picture.
int redPixels(OffscreenGlTarget& target) {
    if (target.makeCurrent()) {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    target.present(painter);
    painter.end();
    const auto* pixels = reinterpret_cast<const QRgb*>(picture.constBits());
    return static_cast<int>(std::count(pixels, pixels + 64, qRgb(255, 0, 0)));
}

TEST(OffscreenGlTarget, StatesAndWhatIsCopied) {
    OffscreenGlTarget target;
    EXPECT_TRUE(target.resize(3, 2)) << "before create only the size is recorded";
    EXPECT_EQ(target.state(), State::Empty);
    EXPECT_EQ(redPixels(target), 0);

    ASSERT_TRUE(target.create(0, 0));
    EXPECT_EQ(target.state(), State::Ready);
    EXPECT_EQ(QSize(target.width, target.height), QSize(1, 1));
    EXPECT_TRUE(target.create(5, 5)) << "a second create changes nothing";
    EXPECT_EQ(QSize(target.width, target.height), QSize(1, 1));

    struct Step {
        QSize asked;
        bool succeeds;
        State state;
        QSize stored;
        int red; // pixels copied: the stored size, where there is a bitmap
    };
    const Step steps[] = {
        {{4, 3}, true, State::Ready, {4, 3}, 12},
        {{100000, 2}, false, State::ReadyWithoutBitmap, {4, 3}, 0},
        {{4, 3}, true, State::Ready, {4, 3}, 12}, // the size it had: made again all the same
        {{0, 0}, true, State::Ready, {0, 0}, 0},  // a one-pixel bitmap, and nothing copied
        {{0, 0}, true, State::Ready, {0, 0}, 0},
        {{2, 5}, true, State::Ready, {2, 5}, 10},
        {{20, 20}, true, State::Ready, {20, 20}, 64}, // cut at the picture's edges
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(&s - steps);
        EXPECT_EQ(target.resize(s.asked.width(), s.asked.height()), s.succeeds);
        EXPECT_EQ(target.state(), s.state);
        EXPECT_EQ(QSize(target.width, target.height), s.stored);
        EXPECT_EQ(redPixels(target), s.red);
    }

    target.destroy();
    target.destroy();
    EXPECT_EQ(target.state(), State::Empty);
    EXPECT_FALSE(target.makeCurrent());
    EXPECT_EQ(redPixels(target), 0);
}

// The context and the first picture are made on a thread of the pane's own: whatever comes first
// (a size, a second one, a paint, the pane's end), the picture follows the last size and the pane
// ends without waiting for ever.
TEST(OrbitDiagramPane, TheFirstPictureWhateverComesFirst) {
    const FixedUtcClock clock({2003, 8, 27, 9, 52, 19});
    computeEncounterState();
    struct Case {
        bool shown;
        QSize resized; // after showing
        bool painted;
    };
    const Case cases[] = {
        {false, {}, false}, {true, {}, false}, {true, {}, true}, {true, {300, 200}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        OrbitDiagramPane pane(nullptr);
        pane.resize(440, 480);
        if (c.shown) {
            pane.show();
        }
        if (c.resized.isValid()) {
            pane.resize(c.resized);
        }
        if (c.painted) {
            const QImage picture = pane.grab().toImage();
            const QSize size = c.resized.isValid() ? c.resized : QSize(440, 480);
            EXPECT_EQ(QSize(pane.diagramTarget().width, pane.diagramTarget().height), size);
            int light = 0;
            for (int y = 0; y < size.height(); y += 4) {
                for (int x = 0; x < size.width(); x += 4) {
                    const QRgb p = picture.pixel(x, y);
                    light += qRed(p) + qGreen(p) + qBlue(p) > 150;
                }
            }
            EXPECT_GT(light, size.width() * size.height() / 16 / 4) << "the photograph drawn";
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
