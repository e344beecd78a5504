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
class Folders {
  public:
    Folders(const QString& runtime, const QString& temp)
        : runtime_(qgetenv("XDG_RUNTIME_DIR")), temp_(qgetenv("TMPDIR")) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("TMPDIR", QFile::encodeName(temp));
    }
    ~Folders() {
        qputenv("XDG_RUNTIME_DIR", runtime_);
        qputenv("TMPDIR", temp_);
    }

  private:
    QByteArray runtime_, temp_;
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

std::uint32_t showMessage() {
    static const std::uint32_t message = registerMessage("Process Test Show");
    return message;
}

int showsSeen = 0;
int othersSeen = 0;
MessageResult countingProc(WindowHandle, std::uint32_t message, std::uintptr_t, std::intptr_t) {
    if (message == showMessage()) {
        ++showsSeen;
    } else if (message == MSG_CLOSE || message == MSG_DESTROY) {
        ++othersSeen;
    }
    return 0;
}

} // namespace

// A crash or a full disk leaves the lock file empty, unreadable or full of rubbish; a holder that
// no longer runs must never block a start.
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
            file.setPermissions(QFileDevice::Permissions());
        }
        const InstanceMarker again = createInstanceMarker("Leftover", existed);
        EXPECT_TRUE(again) << content.constData();
        EXPECT_FALSE(existed);
        closeInstanceMarker(again);
    }
}

// Only a folder that is ours and closed to others may hold the marker and its channel; otherwise
// the program runs without the single-instance rule and says so.
TEST(InstanceMarker, OnlyAPrivateFolderIsUsed) {
    struct Case {
        const char* runtime; // folder made with `mode`, or a link to a private one
        int mode;
        const char* tempFolder; // what stands at TMPDIR/orvanta-UID
        bool usable;
    };
    const Case cases[] = {
        {"open", 0755, "none", true},         // falls back to a private folder of our own
        {"open", 0777, "open folder", false}, // and the fallback is open too
        {"link", 0700, "link", false},        // links can be replaced under us
        {"", 0700, "private folder", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir base;
        const QString uidName = QStringLiteral("orvanta-%1").arg(::getuid());
        QString runtime;
        if (std::string(c.runtime) == "link") {
            runtime = base.filePath("runlink");
            QFile::link(makeFolder(base, "real", 0700), runtime);
        } else if (*c.runtime != '\0') {
            runtime = makeFolder(base, c.runtime, c.mode);
        }
        const QString temp = makeFolder(base, "tmp", 0777);
        if (std::string(c.tempFolder) == "open folder") {
            makeFolder(base, "tmp/" + uidName, 0777);
        } else if (std::string(c.tempFolder) == "link") {
            QFile::link(makeFolder(base, "elsewhere", 0700), base.filePath("tmp/" + uidName));
        } else if (std::string(c.tempFolder) == "private folder") {
            makeFolder(base, "tmp/" + uidName, 0700);
        }
        const Folders folders(runtime, temp);
        bool existed = true;
        testing::internal::CaptureStderr();
        const InstanceMarker marker = createInstanceMarker("Private", existed);
        const std::string warned = testing::internal::GetCapturedStderr();
        EXPECT_EQ(bool(marker), c.usable) << c.runtime << " / " << c.tempFolder;
        EXPECT_FALSE(existed);
        EXPECT_EQ(qtlayer::showChannelPath("Private").isEmpty(), !c.usable);
        if (!c.usable) {
            EXPECT_NE(warned.find("without the single-instance rule"), std::string::npos) << warned;
        }
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
    registerWindowClass(WindowClass{"process test", &countingProc, {}, 0});
    const WindowHandle window =
        createWindow("process test", "Deep", WindowStyle::FixedTopLevel, {}, Rect{0, 0, 50, 50});
    bool existed = false;
    testing::internal::CaptureStderr();
    const InstanceMarker marker = createInstanceMarker("Deep", existed);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    showsSeen = 0;
    EXPECT_TRUE(
        postToNamedWindow("Deep", "process test", "Deep", showMessage(), 0, MOUSE_LEFT_DOWN));
    runEventsFor(300);
    EXPECT_EQ(showsSeen, 1);
    closeInstanceMarker(marker);
    destroyWindow(window);

    const QString tooDeep = makeFolder(
        base, deep.mid(base.path().size() + 1) + "/" + QString(40, QLatin1Char('e')), 0700);
    const Folders deeper(tooDeep, base.path());
    testing::internal::CaptureStderr();
    const InstanceMarker reported = createInstanceMarker("Deep", existed);
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reported); // the rule holds; only the show request is lost
    EXPECT_NE(warned.find("cannot listen for show requests"), std::string::npos) << warned;
    closeInstanceMarker(reported);
}

// The channel carries show requests and nothing else; it bounds what it reads and how long it
// waits.
TEST(ShowChannel, OnlyShowRequestsAndNothingUnbounded) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    registerWindowClass(WindowClass{"channel test", &countingProc, {}, 0});
    const WindowHandle window =
        createWindow("channel test", "Channel", WindowStyle::FixedTopLevel, {}, Rect{0, 0, 5, 5});
    bool existed = false;
    const InstanceMarker marker = createInstanceMarker("Channel", existed);
    ASSERT_TRUE(marker);
    const QString path = qtlayer::showChannelPath("Channel");
    const QByteArray target = "channel test\x1f"
                              "Channel\x1f";
    const QByteArray show = QByteArray::number(showMessage());

    struct Case {
        QByteArray sent;
        int shows;
        bool dropped; // the channel hangs up without waiting for more
    };
    const Case cases[] = {
        {target + show +
             "\x1f"
             "0\x1f"
             "513\n",
         1, true},
        {target + QByteArray::number(MSG_CLOSE) +
             "\x1f"
             "0\x1f"
             "513\n",
         0, true},
        {target + QByteArray::number(MSG_DESTROY) +
             "\x1f"
             "0\x1f"
             "0\n",
         0, true},
        {target + show +
             "\x1f"
             "0\x1f"
             "516\n",
         0, true}, // a right click: not a show request
        {target + "49999\x1f"
                  "0\x1f"
                  "513\n",
         0, true}, // not a number this process registered
        {"nonsense\n", 0, true},
        {QByteArray(100000, 'x'), 0, true}, // no end of line, ever
        {target + show, 0, true},           // silent after part of a line
    };
    for (const Case& c : cases) {
        showsSeen = othersSeen = 0;
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(c.sent);
        socket.waitForBytesWritten(1000);
        QElapsedTimer timer;
        timer.start();
        while (socket.state() == QLocalSocket::ConnectedState && timer.elapsed() < 4000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            ::usleep(10000);
        }
        runEventsFor(50);
        EXPECT_EQ(showsSeen, c.shows) << c.sent.left(60).constData();
        EXPECT_EQ(othersSeen, 0) << c.sent.left(60).constData();
        EXPECT_EQ(socket.state() != QLocalSocket::ConnectedState, c.dropped)
            << c.sent.left(60).constData();
    }
    closeInstanceMarker(marker);
    destroyWindow(window);
}
