// The Qt layer's single-instance marker and show channel, tried as an unlucky or hostile local user
// would: what a crash or a full disk leaves behind, folders that are not ours, long paths, and
// whatever can be written into the channel.

#include "platform/platform.h"
#include "platform/qt/process_internal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Points the runtime and temporary folders elsewhere for the life of the object.
struct Folders {
    Folders(const QString& runtime, const QString& temp) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("TMPDIR", QFile::encodeName(temp));
    }
    ~Folders() {
        qputenv("XDG_RUNTIME_DIR", runtime_);
        qputenv("TMPDIR", temp_);
    }
    const QByteArray runtime_ = qgetenv("XDG_RUNTIME_DIR"), temp_ = qgetenv("TMPDIR");
};

QString makeFolder(const QTemporaryDir& base, const QString& name, int mode) {
    const QString path = base.filePath(name);
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
    return path;
}

void runEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

const std::uint32_t SHOW = registerMessage("Process Test Show");
int showsSeen = 0;
int othersSeen = 0;

// A window of the class "process test" that counts the registered messages (show requests among
// them) and the closes that reach it.
WindowHandle countingWindow(const char* title) {
    registerWindowClass(WindowClass{
        "process test",
        [](WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) -> MessageResult {
            showsSeen += message >= FIRST_REGISTERED_MESSAGE;
            othersSeen += message == MSG_CLOSE || message == MSG_DESTROY;
            return 0;
        },
        {},
        0});
    showsSeen = othersSeen = 0;
    return createWindow("process test", title, WindowStyle::FixedTopLevel, {}, Rect{0, 0, 5, 5});
}

// One marker per display server, however DISPLAY names it; another server has its own.
TEST(InstanceMarker, KeyedOnTheDisplayServer) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":7");
    bool existed = false;
    const InstanceMarker held = createInstanceMarker("Display", existed);
    ASSERT_TRUE(held);
    for (const char* same : {":7.0", "unix:7", "localhost:7.1"}) {
        qputenv("DISPLAY", same);
        EXPECT_FALSE(createInstanceMarker("Display", existed)) << same;
        EXPECT_TRUE(existed) << same;
    }
    qputenv("DISPLAY", ":8");
    const InstanceMarker other = createInstanceMarker("Display", existed);
    EXPECT_TRUE(other);
    closeInstanceMarker(other);
    closeInstanceMarker(held);
    qputenv("DISPLAY", display);
}

// Whatever a crash or a full disk leaves in the lock file and in place of the channel, a holder
// that no longer runs never blocks a start.
TEST(InstanceMarker, LeftoverLockFilesNeverBlock) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    bool existed = false;
    const InstanceMarker first = createInstanceMarker("Leftover", existed);
    ASSERT_TRUE(first);
    const QStringList left = QDir(base.filePath("run")).entryList(QDir::Files | QDir::System);
    closeInstanceMarker(first);

    for (const QByteArray& content : {QByteArray(), QByteArray("garbage\n"), QByteArray("1\n")}) {
        for (const QString& name : left) {
            QFile file(base.filePath("run/" + name));
            file.remove();
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
            file.close();
            file.setPermissions(QFileDevice::Permissions()); // unreadable too
        }
        testing::internal::CaptureStderr();
        const InstanceMarker again = createInstanceMarker("Leftover", existed);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // the channel is made again too
        EXPECT_TRUE(again && !existed) << content.constData();
        closeInstanceMarker(again);
    }
}

// Only a folder that is ours and closed to others may hold the marker and its channel; otherwise
// the program runs without the single-instance rule and says so.
TEST(InstanceMarker, OnlyAPrivateFolderIsUsed) {
    enum Kind { None, Private, Open, Link }; // a link to a private folder: it can be replaced
    struct Case {
        Kind runtime, fallback; // the runtime folder, and what stands at TMPDIR/orvanta-UID
        bool usable;
    };
    const Case cases[] = {
        {Open, None, true}, // falls back to a private folder of its own making
        {Open, Open, false},
        {Link, Link, false},
        {None, Private, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir base;
        auto make = [&](const QString& name, Kind kind) {
            if (kind == Link) {
                QFile::link(makeFolder(base, name + "-real", 0700), base.filePath(name));
            } else if (kind != None) {
                makeFolder(base, name, kind == Private ? 0700 : 0755);
            }
            return kind == None ? QString() : base.filePath(name);
        };
        const QString temp = makeFolder(base, "tmp", 0777);
        make(QStringLiteral("tmp/orvanta-%1").arg(::getuid()), c.fallback);
        const Folders folders(make("run", c.runtime), temp);
        bool existed = true;
        testing::internal::CaptureStderr();
        const InstanceMarker marker = createInstanceMarker("Private", existed);
        const std::string warned = testing::internal::GetCapturedStderr();
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(bool(marker), c.usable);
        EXPECT_FALSE(existed);
        EXPECT_EQ(qtlayer::showChannelPath("Private").isEmpty(), !c.usable);
        EXPECT_EQ(warned.find("without the single-instance rule") != std::string::npos, !c.usable)
            << warned;
        closeInstanceMarker(marker);
    }
}

// A deep runtime folder still leaves room for the channel's short name, and a request reaches the
// window; a folder too deep for any socket name is reported, not passed over.
TEST(InstanceMarker, DeepRuntimeFolders) {
    QTemporaryDir base;
    const QString deep = makeFolder(
        base, QString(std::max<qsizetype>(1, 75 - base.path().size()), QLatin1Char('d')), 0700);
    ASSERT_GT(deep.size(), 70); // the channel's old name did not fit beside a folder this deep
    const Folders folders(deep, base.path());
    const WindowHandle window = countingWindow("Deep");
    bool existed = false;
    testing::internal::CaptureStderr();
    const InstanceMarker marker = createInstanceMarker("Deep", existed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(postToNamedWindow("Deep", "process test", "Deep", SHOW, 0, MOUSE_LEFT_DOWN));
    runEventsFor(300);
    EXPECT_EQ(showsSeen, 1);
    closeInstanceMarker(marker);
    destroyWindow(window);

    const Folders deeper(
        makeFolder(base, deep.mid(base.path().size() + 1) + "/" + QString(40, 'e'), 0700),
        base.path());
    testing::internal::CaptureStderr();
    const InstanceMarker reported = createInstanceMarker("Deep", existed);
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reported); // the rule holds; only the show request is lost
    EXPECT_NE(warned.find("cannot listen for show requests"), std::string::npos) << warned;
    closeInstanceMarker(reported);
}

// The channel carries show requests and nothing else, and hangs up on whatever it is sent, so
// that neither what it reads nor how long it waits is unbounded.
TEST(ShowChannel, OnlyShowRequestsAndNothingUnbounded) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    const WindowHandle window = countingWindow("Channel");
    bool existed = false;
    const InstanceMarker marker = createInstanceMarker("Channel", existed);
    ASSERT_TRUE(marker);
    // A request line for the window: message, wParam and lParam, separated as the layer does.
    auto request = [](std::uint32_t message, int lParam) {
        return "process test\x1f"
               "Channel\x1f" +
               QByteArray::number(message) + "\x1f" + "0\x1f" + QByteArray::number(lParam);
    };
    struct Case {
        QByteArray sent;
        int shows;
        int hangUpMs; // within: at once, or after the channel's timeout
    };
    const Case cases[] = {
        {request(SHOW, 513) + "\n", 1, 1000},
        {request(MSG_CLOSE, 513) + "\n", 0, 1000},
        {request(MSG_DESTROY, 0) + "\n", 0, 1000},
        {request(SHOW, 516) + "\n", 0, 1000},  // a right click: not a show request
        {request(49999, 513) + "\n", 0, 1000}, // not a number this process registered
        {"nonsense\n", 0, 1000},
        {QByteArray(100000, 'x'), 0, 1000}, // no end of line, ever
        {request(SHOW, 513), 0, 4000},      // silent after part of a line
    };
    for (const Case& c : cases) {
        showsSeen = othersSeen = 0;
        QLocalSocket socket;
        socket.connectToServer(qtlayer::showChannelPath("Channel"));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(c.sent);
        socket.waitForBytesWritten(1000);
        QElapsedTimer timer;
        timer.start();
        while (socket.state() == QLocalSocket::ConnectedState && timer.elapsed() < c.hangUpMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            ::usleep(10000);
        }
        runEventsFor(50);
        const std::string shown = c.sent.left(60).toStdString();
        EXPECT_EQ(showsSeen, c.shows) << shown;
        EXPECT_EQ(othersSeen, 0) << shown;
        EXPECT_NE(socket.state(), QLocalSocket::ConnectedState) << shown;
    }
    closeInstanceMarker(marker);
    destroyWindow(window);
}

} // namespace
