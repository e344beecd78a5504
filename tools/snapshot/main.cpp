// orvanta-snapshot: the main window's client area at a chosen UTC instant, drawn by the program's
// own widgets and paint code on Qt's offscreen platform, into a PNG file.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "tools/cli/arguments.h"
#include "tools/snapshot/snapshot_arguments.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

using namespace orvanta;

namespace {

// Whether the file could be written, found out before anything is drawn.
bool writable(const std::string& path) {
    const QFileInfo file(QString::fromLocal8Bit(path.c_str()));
    const QFileInfo folder(file.absolutePath());
    return !file.isDir() && folder.isDir() && folder.isWritable();
}

QtMessageHandler standardMessages = nullptr;

// Qt notes that it makes up a runtime folder, which this tool never uses; everything else passes.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        standardMessages(type, context, message);
    }
}

void cannotWrite(const std::string& path) {
    std::fprintf(stderr, "orvanta-snapshot: cannot write %s\n", quoteArgument(path).c_str());
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

    if (!writable(request->output)) {
        cannotWrite(request->output);
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
    QSaveFile file(QString::fromLocal8Bit(request->output.c_str()));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
        cannotWrite(request->output);
        return 2;
    }
    return 0;
}
