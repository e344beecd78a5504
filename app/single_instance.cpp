#include "app/single_instance.h"

#include "panes/texts.h"
#include "rules/warning.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvanta {

namespace {

// The one request there is.
constexpr char SHOW_REQUEST[] = "show\n";
constexpr qint64 MAX_REQUEST_BYTES = 512;
constexpr int MAX_CONNECTIONS = 8;
constexpr int CONNECTION_TIMEOUT_MS = 2000;

// Owned by this user, a real folder and not a link to one, closed to everybody else.
QString privacyProblem(const QString& folder) {
    if (!folder.startsWith(QLatin1Char('/'))) {
        return QStringLiteral("is not an absolute path"); // a folder that moves with the program's
    }
    struct stat status {};
    if (::lstat(QFile::encodeName(folder).constData(), &status) != 0) {
        return QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(strerror(errno)));
    }
    if (S_ISLNK(status.st_mode)) {
        return QStringLiteral("is a symbolic link");
    }
    if (!S_ISDIR(status.st_mode)) {
        return QStringLiteral("is not a folder");
    }
    if (status.st_uid != ::getuid()) {
        return QStringLiteral("belongs to another user");
    }
    if ((status.st_mode & 077) != 0) {
        return QStringLiteral("is open to other users");
    }
    return {};
}

// The user's runtime folder, or else a folder of our own in the temporary folder. Empty, with the
// reason in `problem`, when neither is private.
QString privateFolder(QString& problem) {
    QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) {
        const QString why = privacyProblem(runtime);
        if (why.isEmpty()) {
            return runtime;
        }
        problem = QStringLiteral("the runtime folder %1 %2")
                      .arg(echoed(runtime, '"', std::string::npos), why);
    }
    QString fallback = QDir::tempPath() + QStringLiteral("/orvanta-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(fallback).constData(), 0700); // an existing one is checked below
    const QString why = privacyProblem(fallback);
    if (why.isEmpty()) {
        if (!problem.isEmpty()) {
            warnOnce((problem + QStringLiteral(": %1 is used instead")
                                    .arg(echoed(fallback, '"', std::string::npos)))
                         .toStdString());
            problem.clear();
        }
        return fallback;
    }
    problem += (problem.isEmpty() ? QString() : QStringLiteral(", and ")) +
               QStringLiteral("the folder %1 %2").arg(fallback, why);
    return {};
}

// The display server: host and display number, so ":0", ":0.0" and "unix:0" are one server.
QString displayServer() {
    QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    if (display.isEmpty()) {
        display = QString::fromLocal8Bit(qgetenv("WAYLAND_DISPLAY"));
        return display.isEmpty() ? QStringLiteral("none") : QStringLiteral("wayland:") + display;
    }
    const qsizetype colon = display.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        return display;
    }
    QString host = display.left(colon);
    if (host == QLatin1String("unix") || host == QLatin1String("localhost")) {
        host.clear();
    }
    QString number = display.mid(colon + 1);
    number.truncate(number.indexOf(QLatin1Char('.')) < 0 ? number.size()
                                                         : number.indexOf(QLatin1Char('.')));
    return host + QLatin1Char(':') + number;
}

// Short names, so the socket's path stays within what a local socket address holds (107 bytes)
// even in a deep runtime folder.
QString baseName(const char* name) {
    const QByteArray key = QByteArray(name) + '\0' + displayServer().toUtf8();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a, 64 bits
    for (const char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return QStringLiteral("orvanta-%1").arg(hash, 16, 16, QLatin1Char('0'));
}

// Opens and locks the file; -1 with `problem` empty when another holder has the lock.
int lockFile(const QString& path, QString& problem) {
    const QByteArray file = QFile::encodeName(path);
    int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EACCES) {
        // Ours (the folder is private) but with its permissions taken away: give them back.
        ::chmod(file.constData(), 0600);
        fd = ::open(file.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0) {
        problem = QStringLiteral("cannot open %1 (%2)")
                      .arg(path, QString::fromLocal8Bit(strerror(errno)));
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK) {
            problem = QStringLiteral("cannot lock %1 (%2)")
                          .arg(path, QString::fromLocal8Bit(strerror(error)));
        }
        return -1;
    }
    // For people who look; nothing reads it.
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.constData(), pid.size()) < 0) {
        // The lock holds without its note.
    }
    return fd;
}

// One request a connection, one line long; anything else, or nothing for a while, is dropped.
void serveConnection(QLocalServer* server, QLocalSocket* socket,
                     const std::function<void()>& onShowRequest) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (server->findChildren<QLocalSocket*>().size() > MAX_CONNECTIONS) {
        socket->abort();
        return;
    }
    QTimer::singleShot(CONNECTION_TIMEOUT_MS, socket, [socket] { socket->abort(); });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, onShowRequest] {
        if (socket->canReadLine()) {
            // readLine keeps a byte for a terminator of its own: one more reads the longest whole.
            if (socket->readLine(MAX_REQUEST_BYTES + 1) == SHOW_REQUEST) {
                onShowRequest();
            }
            socket->abort();
        } else if (socket->bytesAvailable() > MAX_REQUEST_BYTES) {
            socket->abort();
        }
    });
}

// A socket's path must fit in 107 bytes. In a deeper folder the socket is reached through an open
// descriptor of the folder, whose name in /proc is short however deep the folder lies.
QString socketPath(const QString& folder, const QString& file, int& folderFd) {
    QString path = folder + QLatin1Char('/') + file;
    if (QFile::encodeName(path).size() < 100) {
        return path;
    }
    folderFd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return folderFd < 0 ? path : QStringLiteral("/proc/self/fd/%1/").arg(folderFd) + file;
}

} // namespace

QString SingleInstance::channelPath(const char* name) {
    QString problem;
    const QString folder = privateFolder(problem);
    return folder.isEmpty() ? QString()
                            : folder + QLatin1Char('/') + baseName(name) + QStringLiteral(".sock");
}

SingleInstance::SingleInstance(const char* name, std::function<void()> onShowRequest) {
    QString problem;
    const QString folder = privateFolder(problem);
    if (folder.isEmpty()) {
        warn(
            (problem + QStringLiteral(": running without the single-instance rule")).toStdString());
        return;
    }
    const QString base = folder + QLatin1Char('/') + baseName(name);
    lockFd_ = lockFile(base + QStringLiteral(".lock"), problem);
    if (lockFd_ < 0) {
        if (problem.isEmpty()) {
            outcome_ = Outcome::AlreadyRunning;
        } else {
            warn((problem + QStringLiteral(": running without the single-instance rule"))
                     .toStdString());
        }
        return;
    }
    outcome_ = Outcome::First;

    const QString socket = socketPath(folder, baseName(name) + QStringLiteral(".sock"), folderFd_);
    server_ = std::make_unique<QLocalServer>();
    QLocalServer* server = server_.get();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server, &QLocalServer::newConnection, server,
                     [server, onShowRequest = std::move(onShowRequest)] {
                         while (QLocalSocket* connection = server->nextPendingConnection()) {
                             serveConnection(server, connection, onShowRequest);
                         }
                     });
    QLocalServer::removeServer(socket); // left by a crashed holder of the lock
    if (!server->listen(socket)) {
        struct stat status {};
        const QString path = channelPath(name);
        const bool inTheWay =
            ::lstat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISSOCK(status.st_mode);
        warn(QStringLiteral("cannot listen for show requests at %1 (%2): a second start will not "
                            "bring this window back")
                 .arg(path, inTheWay ? QStringLiteral("something that is not a socket is there")
                                     : server->errorString())
                 .toStdString());
    }
}

SingleInstance::~SingleInstance() {
    server_.reset();
    if (folderFd_ >= 0) {
        ::close(folderFd_);
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_); // releases the lock
    }
}

bool SingleInstance::requestShow(const char* name) {
    QString problem;
    const QString folder = privateFolder(problem);
    if (folder.isEmpty()) {
        return false;
    }
    int folderFd = -1;
    QLocalSocket socket;
    socket.connectToServer(socketPath(folder, baseName(name) + QStringLiteral(".sock"), folderFd));
    bool sent = socket.waitForConnected(CONNECTION_TIMEOUT_MS);
    if (sent) {
        socket.write(SHOW_REQUEST);
        sent = socket.waitForBytesWritten(CONNECTION_TIMEOUT_MS);
        socket.disconnectFromServer();
    }
    if (folderFd >= 0) {
        ::close(folderFd);
    }
    return sent;
}

} // namespace orvanta
