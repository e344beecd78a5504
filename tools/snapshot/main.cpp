// orvanta-snapshot: the main window's client area at a chosen UTC instant, drawn by the program's
// own widgets and paint code on Qt's offscreen platform, into a PNG file.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "panes/diagram_pane.h"
#include "tools/cli/arguments.h"
#include "tools/snapshot/snapshot_arguments.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace orvanta;

namespace {

// Why the file could not be written, found out before anything is drawn; empty when it can be.
// Only a regular file is replaced: a device or a pipe in its place is left as it is.
QString unwritable(const std::string& path) {
    const QFileInfo file(QString::fromLocal8Bit(path.c_str()));
    const QFileInfo folder(file.absolutePath());
    if (file.exists() && !file.isFile()) {
        return file.isDir() ? QStringLiteral("it is a folder")
                            : QStringLiteral("it is not a regular file");
    }
    if (!folder.isDir()) {
        return QStringLiteral("no such folder");
    }
    return folder.isWritable() ? QString() : QStringLiteral("the folder is not writable");
}

QtMessageHandler standardMessages = nullptr;

// Qt notes that it makes up a runtime folder, which this tool never uses; everything else passes.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        standardMessages(type, context, message);
    }
}

// Writes the whole of `data` into a new file beside `path` and renames it over `path` once it is
// complete, so that a failure leaves nothing behind; the error number, or 0.
int writeReplacing(const std::string& path, const QByteArray& data) {
    const std::string temporary = path + ".new-" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    for (qsizetype done = 0; done < data.size() && error == 0;) {
        const ssize_t written = ::write(fd, data.constData() + done, data.size() - done);
        if (written >= 0) {
            done += written;
        } else if (errno != EINTR) {
            error = errno;
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
    return error;
}

void cannotWrite(const std::string& path, const QString& why) {
    std::fprintf(stderr, "orvanta-snapshot: cannot write %s: %s\n", quoteArgument(path).c_str(),
                 qPrintable(why));
}

} // namespace

int main(int argc, char** argv) {
    bool help = false;
    std::string error;
    const std::optional<SnapshotRequest> request =
        parseSnapshotArguments(std::vector<std::string>(argv + 1, argv + argc), help, error);
    if (help) {
        std::fputs(SNAPSHOT_USAGE, stdout);
        return 0;
    }
    if (!request) {
        std::fprintf(stderr, "orvanta-snapshot: %s\n", error.c_str());
        return 2;
    }

    if (const QString why = unwritable(request->output); !why.isEmpty()) {
        cannotWrite(request->output, why);
        return 2;
    }

    // Never a window on anybody's screen, and no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    standardMessages = qInstallMessageHandler(&quietMessages);
    QApplication application(argc, argv);
    const FixedUtcClock clock(request->utc);
    computeEncounterState();
    // Without a window manager the outer size is the client size.
    MainWindow window(QRect(0, 0, request->width, request->height));
    window.show(); // the first size lays the panes out, as on a desktop
    const qreal ratio = window.devicePixelRatioF();
    QImage picture(window.size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    window.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    // Encoded in memory first, so that a failed write is told once, with its reason.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    if (const int error = writeReplacing(request->output, png); error != 0) {
        cannotWrite(request->output, QString::fromLocal8Bit(std::strerror(error)));
        return 2;
    }
    // The pane has said why; the picture is written all the same.
    if (window.diagramPane()->diagramTarget().state() != OffscreenGlTarget::State::Ready) {
        return 1;
    }
    return 0;
}
