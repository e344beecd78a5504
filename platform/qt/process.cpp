// The process room on Qt 6 and POSIX: the marker is an advisory lock (flock) on a file in a folder
// that only this user can write, so the kernel drops it with its holder whatever the file holds;
// the show request travels over a local socket beside it.

#include "platform/qt/process_internal.h"
#include "platform/qt/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSettings>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qtlayer {

struct Marker {
    int lockFd = -1;
    std::unique_ptr<QLocalServer> server;
    ~Marker() {
        server.reset();
        if (lockFd >= 0) {
            ::close(lockFd); // releases the lock
        }
    }
};

namespace {

// The one request line: class, title, message, wParam and lParam, separated by unit separators.
constexpr char FIELD_SEPARATOR = '\x1f';
constexpr qint64 MAX_REQUEST_BYTES = 512;
constexpr int MAX_CONNECTIONS = 8;
constexpr int CONNECTION_TIMEOUT_MS = 2000;

bool isShowRequest(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return message >= FIRST_REGISTERED_MESSAGE && message <= LAST_REGISTERED_MESSAGE &&
           wParam == 0 && lParam == MOUSE_LEFT_DOWN;
}

// Owned by this user, a real folder and not a link to one, closed to everybody else.
QString privacyProblem(const QString& folder) {
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
QString markerFolder(QString& problem) {
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty()) {
        const QString why = privacyProblem(runtime);
        if (why.isEmpty()) {
            return runtime;
        }
        problem = QStringLiteral("the runtime folder %1 %2").arg(runtime, why);
    }
    const QString fallback = QDir::tempPath() + QStringLiteral("/orvanta-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(fallback).constData(), 0700); // an existing one is checked below
    const QString why = privacyProblem(fallback);
    if (why.isEmpty()) {
        problem.clear();
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
QString markerBaseName(const char* name) {
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

void handleRequest(const QByteArray& line) {
    const QList<QByteArray> fields = line.split(FIELD_SEPARATOR);
    if (fields.size() != 5) {
        return;
    }
    bool numbers[3] = {};
    const std::uint32_t message = fields[2].toUInt(&numbers[0]);
    const std::uintptr_t wParam = fields[3].toULongLong(&numbers[1]);
    const std::intptr_t lParam = fields[4].toLongLong(&numbers[2]);
    if (!numbers[0] || !numbers[1] || !numbers[2] || !isShowRequest(message, wParam, lParam) ||
        !isRegisteredMessage(message)) {
        return;
    }
    if (const WindowHandle target =
            findTopLevel(fields[0].toStdString(), fields[1].toStdString())) {
        postMessage(target, message, wParam, lParam);
    }
}

// One request a connection, one line long; anything else, or nothing for a while, is dropped.
void serveConnection(QLocalServer* server, QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (server->findChildren<QLocalSocket*>().size() > MAX_CONNECTIONS) {
        socket->abort();
        return;
    }
    QTimer::singleShot(CONNECTION_TIMEOUT_MS, socket, [socket] { socket->abort(); });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        if (socket->canReadLine()) {
            // readLine keeps a byte for a terminator of its own: one more reads the longest whole.
            const QByteArray line = socket->readLine(MAX_REQUEST_BYTES + 1);
            if (line.endsWith('\n')) {
                handleRequest(line.chopped(1));
            }
            socket->abort();
        } else if (socket->bytesAvailable() > MAX_REQUEST_BYTES) {
            socket->abort();
        }
    });
}

} // namespace

QString showChannelPath(const char* markerName) {
    QString problem;
    const QString folder = markerFolder(problem);
    return folder.isEmpty()
               ? QString()
               : folder + QLatin1Char('/') + markerBaseName(markerName) + QStringLiteral(".sock");
}

} // namespace qtlayer

using namespace qtlayer;

InstanceMarker createInstanceMarker(const char* name, bool& alreadyExisted) {
    alreadyExisted = false;
    QString problem;
    const QString folder = markerFolder(problem);
    if (folder.isEmpty()) {
        warn(problem + QStringLiteral(": running without the single-instance rule"));
        return {};
    }
    const QString base = folder + QLatin1Char('/') + markerBaseName(name);
    auto marker = std::make_shared<Marker>();
    marker->lockFd = lockFile(base + QStringLiteral(".lock"), problem);
    if (marker->lockFd < 0) {
        if (problem.isEmpty()) {
            alreadyExisted = true;
        } else {
            warn(problem + QStringLiteral(": running without the single-instance rule"));
        }
        return {};
    }

    const QString socketPath = base + QStringLiteral(".sock");
    marker->server = std::make_unique<QLocalServer>();
    QLocalServer* server = marker->server.get();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* connection = server->nextPendingConnection()) {
            serveConnection(server, connection);
        }
    });
    QLocalServer::removeServer(socketPath); // left by a crashed holder of the lock
    if (!server->listen(socketPath)) {
        warn(QStringLiteral("cannot listen for show requests at %1 (%2): a second start will not "
                            "bring this window back")
                 .arg(socketPath, server->errorString()));
    }
    const std::uint32_t id = newId();
    registry().markers[id] = std::move(marker);
    return InstanceMarker{id};
}

void closeInstanceMarker(InstanceMarker marker) {
    registry().markers.erase(marker.id);
}

bool postToNamedWindow(const char* markerName, const char* className, const char* title,
                       std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const QString path = showChannelPath(markerName);
    if (path.isEmpty() || !isShowRequest(message, wParam, lParam)) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(CONNECTION_TIMEOUT_MS)) {
        return false;
    }
    const QByteArray request = QByteArray(className) + FIELD_SEPARATOR + QByteArray(title) +
                               FIELD_SEPARATOR + QByteArray::number(message) + FIELD_SEPARATOR +
                               QByteArray::number(static_cast<qulonglong>(wParam)) +
                               FIELD_SEPARATOR +
                               QByteArray::number(static_cast<qlonglong>(lParam)) + '\n';
    if (request.size() > MAX_REQUEST_BYTES) {
        return false;
    }
    socket.write(request);
    // Only the delivery of the request is awaited, not its handling.
    const bool sent = socket.waitForBytesWritten(CONNECTION_TIMEOUT_MS);
    socket.disconnectFromServer();
    return sent;
}

namespace {
// ~/.config/orvanta/orvanta.conf, or wherever XDG_CONFIG_HOME says.
QSettings& settings() {
    static QSettings* kept = new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("orvanta"), QStringLiteral("orvanta"));
    return *kept;
}
} // namespace

bool loadSetting(const char* name, bool fallback) {
    return settings().value(QString::fromUtf8(name), fallback).toBool();
}

bool saveSetting(const char* name, bool value) {
    settings().setValue(QString::fromUtf8(name), value);
    settings().sync();
    return settings().status() == QSettings::NoError;
}
