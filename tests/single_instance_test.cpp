// The single-instance lock and its show channel, tried as an unlucky or hostile local user would:
// what a crash or a full disk leaves behind, folders that are not ours, long paths, and whatever
// can be written into the channel.

#include "app/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvanta;
using Outcome = SingleInstance::Outcome;

namespace {

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
    QString path = base.filePath(name);
    QDir().mkpath(path);
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
    return path;
}

// The instance under test serves its channel only from the event loop.
void runEventsFor(int ms, QLocalSocket* untilDisconnected = nullptr) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (untilDisconnected != nullptr) {
        QObject::connect(untilDisconnected, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    }
    loop.exec();
}

// Whatever a crash or a full disk leaves in the lock file and in place of the channel, a holder
// that no longer runs never blocks a start.
TEST(SingleInstance, LeftoverFilesNeverBlock) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    QStringList left;
    {
        const SingleInstance first("Leftover", [] {});
        left = QDir(base.filePath("run")).entryList(QDir::Files | QDir::System);
    }
    ASSERT_EQ(left.size(), 2);
    for (const QByteArray& content : {QByteArray(), QByteArray("garbage\n"), QByteArray("1\n")}) {
        for (const QString& name : left) {
            QFile file(base.filePath("run/" + name));
            file.remove();
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) >= 0);
            file.setPermissions(QFileDevice::Permissions()); // unreadable too
        }
        testing::internal::CaptureStderr();
        const SingleInstance again("Leftover", [] {});
        EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // the channel is made again too
        EXPECT_EQ(again.outcome(), Outcome::First) << content.constData();
    }
    // A folder in the channel's place cannot be cleared away: the rule holds, and the line names
    // the path and what is wrong.
    QFile::remove(SingleInstance::channelPath("Leftover"));
    QDir().mkdir(SingleInstance::channelPath("Leftover"));
    testing::internal::CaptureStderr();
    const SingleInstance blocked("Leftover", [] {});
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_EQ(blocked.outcome(), Outcome::First);
    EXPECT_NE(warned.find(SingleInstance::channelPath("Leftover").toStdString() +
                          " (something that is not a socket is there)"),
              std::string::npos)
        << warned;
}

// A relative runtime folder would move with the working folder, so that a second start elsewhere
// could not find the first: it is passed over as one that is not private, and said once.
TEST(SingleInstance, ARelativeRuntimeFolderIsPassedOver) {
    QTemporaryDir base;
    const Folders folders(QStringLiteral("run"), base.path());
    testing::internal::CaptureStderr();
    const SingleInstance first("Relative", [] {});
    const SingleInstance second("Relative", [] {});
    const std::string warned = testing::internal::GetCapturedStderr();
    EXPECT_EQ(first.outcome(), Outcome::First);
    EXPECT_EQ(second.outcome(), Outcome::AlreadyRunning);
    EXPECT_TRUE(SingleInstance::channelPath("Relative").startsWith(base.path()));
    const std::string line = "the runtime folder \"run\" is not an absolute path";
    EXPECT_NE(warned.find(line), std::string::npos) << warned;
    EXPECT_EQ(warned.find(line), warned.rfind(line)) << warned; // one line, not one a use
}

// Only a folder that is ours and closed to others may hold the lock and its channel; otherwise the
// program runs without the single-instance rule and says so. However deep the folder lies, a
// second start's request gets through.
TEST(SingleInstance, OnlyAPrivateFolderIsUsedHoweverDeep) {
    // A link to a private folder: it can be replaced; a foreign one: private, but another user's.
    enum Kind { None, Private, Open, Link, File, Foreign };
    const struct {
        Kind runtime, fallback; // the runtime folder, and what stands at TMPDIR/orvanta-UID
        bool usable;
        int depth = 0; // the length the runtime folder's path is made up to
    } cases[] = {
        {Open, None, true}, // falls back to a private folder of its own making
        {Open, Open, false},
        {Link, Link, false},
        {None, Private, true},
        {File, File, false},
        {Foreign, Foreign, false}, // as root only: a folder of nobody's
        // Deep, with nothing usable to fall back to.
        {Private, File, true, 75},
        {Private, File, true, 200},
        {Private, File, true, 1000},
    };
    for (const auto& c : cases) {
        if (c.runtime == Foreign && ::geteuid() != 0) {
            continue;
        }
        QTemporaryDir base;
        auto make = [&](const QString& name, Kind kind) {
            if (kind == Link) {
                QFile::link(makeFolder(base, name + "-real", 0700), base.filePath(name));
            } else if (kind == File) {
                QFile(base.filePath(name)).open(QIODevice::WriteOnly);
            } else if (kind != None) {
                makeFolder(base, name, kind == Open ? 0755 : 0700);
            }
            if (kind == Foreign) {
                EXPECT_EQ(::chown(QFile::encodeName(base.filePath(name)).constData(), 65534, 65534),
                          0);
            }
            return kind == None ? QString() : base.filePath(name);
        };
        const QString temp = makeFolder(base, "tmp", 0777);
        make(QStringLiteral("tmp/orvanta-%1").arg(::getuid()), c.fallback);
        QString run = "run";
        while (base.path().size() + run.size() < c.depth) {
            run += run.size() % 100 == 99 ? '/' : 'd';
        }
        const Folders folders(make(run, c.runtime), temp);
        int shows = 0;
        testing::internal::CaptureStderr();
        const SingleInstance instance("Private", [&shows] { ++shows; });
        const std::string warned = testing::internal::GetCapturedStderr();
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(instance.outcome(), c.usable ? Outcome::First : Outcome::Unguarded);
        EXPECT_EQ(SingleInstance::channelPath("Private").isEmpty(), !c.usable);
        EXPECT_EQ(warned.find("without the single-instance rule") != std::string::npos, !c.usable)
            << warned;
        if (c.usable) {
            // A runtime folder passed over is said, with the folder used instead.
            EXPECT_EQ(warned.find("is used instead") != std::string::npos, c.runtime == Open)
                << warned;
            EXPECT_TRUE(SingleInstance::requestShow("Private"));
            runEventsFor(300);
            EXPECT_EQ(shows, 1);
        }
    }
}

// One lock per display server, however DISPLAY names it; another server has its own. The channel
// carries the show request and nothing else, and hangs up on whatever it is sent, so that neither
// what it reads nor how long it waits is unbounded.
TEST(SingleInstance, KeyedOnTheDisplayServerWithAChannelThatTakesOnlyAShowRequest) {
    QTemporaryDir base;
    const Folders folders(makeFolder(base, "run", 0700), base.path());
    const QByteArray display = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":7");
    int shows = 0;
    const SingleInstance instance("Channel", [&shows] { ++shows; });
    ASSERT_EQ(instance.outcome(), Outcome::First);
    for (const char* same : {":7.0", "unix:7", "localhost:7.1"}) {
        qputenv("DISPLAY", same);
        EXPECT_EQ(SingleInstance("Channel", [] {}).outcome(), Outcome::AlreadyRunning) << same;
    }
    qputenv("DISPLAY", ":8");
    EXPECT_EQ(SingleInstance("Channel", [] {}).outcome(), Outcome::First);
    qputenv("DISPLAY", ":7");
    const struct {
        QByteArray sent;
        int shows;
        int hangUpMs; // within: at once, or after the channel's timeout
    } cases[] = {
        {"show\nshow\n", 1, 1000}, // one request a connection
        {"show \n", 0, 1000},
        {QByteArray(600, 'x') + "\n", 0, 1000},
        {QByteArray(100000, 'x'), 0, 1000}, // no end of line, ever
        {"show", 0, 4000},                  // silent after part of a line
    };
    for (const auto& c : cases) {
        shows = 0;
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::channelPath("Channel"));
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(c.sent);
        socket.waitForBytesWritten(1000);
        runEventsFor(c.hangUpMs, &socket);
        runEventsFor(50);
        const std::string shown = c.sent.left(60).toStdString();
        EXPECT_EQ(shows, c.shows) << shown;
        EXPECT_NE(socket.state(), QLocalSocket::ConnectedState) << shown;
    }
    qputenv("DISPLAY", display);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
