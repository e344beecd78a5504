// orvanta-snapshot: the main window's client area at a chosen UTC instant, drawn by the program's
// own widgets and paint code on Qt's offscreen platform, into a PNG file.

#include "app/approaches_window.h"
#include "app/main_window.h"
#include "app/mars_disk_panel.h"
#include "app/night_red_setting.h"
#include "app/nights_tab.h"
#include "app/replace_file.h"
#include "app/settings.h"
#include "app/sky_window.h"
#include "display/number_text.h"
#include "ephemeris/closest_approach.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/julian_date.h"
#include "ephemeris/mars_loop.h"
#include "panes/diagram_pane.h"
#include "panes/loop_picture.h"
#include "rules/warning.h"
#include "tools/cli/arguments.h"
#include "tools/snapshot/snapshot_arguments.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
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
    // The file is written as a new one beside it, renamed over it: a file made and removed there
    // now tells whether that will work, also where permissions say nothing (/proc, /sys).
    const QString real = file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
    std::string probe = QFile::encodeName(QFileInfo(real).absolutePath()).toStdString() +
                        "/.orvanta-snapshot-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        return QStringLiteral("no file can be made in its folder (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

QtMessageHandler standardMessages = nullptr;

// Qt notes that it makes up a runtime folder, which this tool never uses, and that a window without
// a screen cannot tell a window manager its size; everything else passes.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")) &&
        !message.startsWith(QLatin1String("This plugin does not support propagateSizeHints"))) {
        standardMessages(type, context, message);
    }
}

void cannotWrite(const std::string& path, const QString& why) {
    warn("cannot write " + quoteArgument(path) + ": " + why.toStdString());
}

// The window asked for, shown once so that its first size lays it out as on a desktop.
std::unique_ptr<QWidget> windowFor(const SnapshotRequest& request,
                                   const std::optional<MarsLoop>& loop,
                                   const std::optional<ClosestApproach>& nights) {
    std::unique_ptr<QWidget> shown;
    if (nights) {
        auto tab = std::make_unique<NightsTab>(nullptr, request.place);
        tab->showApproach(nights->julianDate);
        tab->markFeature(request.feature);
        tab->resize(900, 420);
        shown = std::move(tab);
    } else if (loop) {
        auto picture = std::make_unique<LoopPicture>(nullptr);
        picture->setScene(loopScene(*loop, request.southUp));
        picture->resize(800, 560);
        shown = std::move(picture);
    } else if (request.approaches) {
        shown = std::make_unique<ApproachesWindow>([](const CountdownChoice&) {}, request.fromYear,
                                                   request.years);
    } else if (request.sky) {
        auto sky = std::make_unique<SkyWindow>(request.place);
        if (request.clock) {
            sky->showClock(*request.clock);
        }
        // The instant as a user would choose it in the window's date field.
        if (const auto& t = request.typed) {
            sky->showWallTime(QDate(t->year, t->month, t->day),
                              QTime(t->hour, t->minute, t->second));
        } else {
            sky->showInstant(julianDateValue(julianDateOfReading(request.utc)));
        }
        if (request.disk) {
            sky->disks()->showOrientation(*request.disk);
        }
        shown = std::move(sky);
    } else {
        // Without a window manager the outer size is the client size.
        shown = std::make_unique<MainWindow>(QRect(0, 0, request.width, request.height));
    }
    if (request.sizeGiven && (request.approaches || request.sky || loop || nights)) {
        shown->resize(request.width, request.height);
    }
    shown->show();
    // The nights are found off the GUI thread: the picture waits for them.
    if (const auto* tab = dynamic_cast<NightsTab*>(shown.get())) {
        while (tab->finding()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    return shown;
}

// Why the window drawn is not the one asked for; empty when it is.
std::string refusedWindow(const SnapshotRequest& request, const QWidget& window) {
    if (const auto* sky = dynamic_cast<const SkyWindow*>(&window);
        sky != nullptr && request.typed && !sky->shownInstant()) {
        return "--typed " + isoText(*request.typed) + ": on that clock it lies outside the years " +
               yearsText();
    }
    if (request.sizeGiven && window.size() != QSize(request.width, request.height)) {
        const auto size = [](int width, int height) {
            return std::to_string(width) + "x" + std::to_string(height);
        };
        return "--size " + size(request.width, request.height) +
               ": this window is drawn only from " +
               size(window.minimumWidth(), window.minimumHeight()) + " to " +
               size(std::min(window.maximumWidth(), 4096), std::min(window.maximumHeight(), 4096));
    }
    return {};
}

// The window's client area as a PNG file's bytes.
QByteArray pictureOf(QWidget& window, bool ownBackground) {
    const qreal ratio = window.devicePixelRatioF();
    QImage picture(window.size() * ratio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::black);
    // The main window's panes cover it whole; the other windows show their own background.
    window.render(&picture, QPoint(), QRegion(),
                  ownBackground ? QWidget::DrawWindowBackground | QWidget::DrawChildren
                                : QWidget::RenderFlags(QWidget::DrawChildren));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

// The loop or the nights of the year asked for, if any; false, said, for a year without an
// approach.
bool approachesOfYears(const SnapshotRequest& request, std::optional<MarsLoop>& loop,
                       std::optional<ClosestApproach>& nights) {
    const auto none = [](const char* option, int year) {
        const std::string text = std::to_string(year);
        warn(std::string(option) + ' ' + text + ": Mars has no closest approach in " + text);
        return false;
    };
    if (request.loopYear != 0 && !(loop = marsLoopOfYear(request.loopYear))) {
        return none("--loop", request.loopYear);
    }
    if (const int year = request.nightsYear; year != 0) {
        const std::vector<ClosestApproach> in =
            findClosestApproaches(julianDateOfYear(year), julianDateOfYear(year + 1));
        if (in.empty()) {
            return none("--nights", year);
        }
        nights = in.front();
    }
    return true;
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
        warn(error);
        return 2;
    }
    if (const QString why = unwritable(request->output); !why.isEmpty()) {
        cannotWrite(request->output, why);
        return 2;
    }
    std::optional<MarsLoop> loop;
    std::optional<ClosestApproach> nights;
    if (!approachesOfYears(*request, loop, nights)) {
        return 2;
    }

    // Never a window on anybody's screen, and no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    standardMessages = qInstallMessageHandler(&quietMessages);
    QApplication application(argc, argv);
    // The picture is the arguments' and the environment's alone, whoever runs it.
    useNoSettingsFile();
    if (request->red) {
        chooseNightRed(true); // held for this process alone, as every choice here
    }
    const FixedUtcClock clock(request->utc);
    computeEncounterState();
    const std::unique_ptr<QWidget> window = windowFor(*request, loop, nights);
    if (const std::string refused = refusedWindow(*request, *window); !refused.empty()) {
        warn(refused);
        return 2;
    }
    // Encoded in memory first, so that a failed write is told once, with its reason.
    const QByteArray png = pictureOf(*window, !dynamic_cast<MainWindow*>(window.get()));
    if (const int failed =
            replaceFile(request->output, std::string_view(png.constData(), png.size()));
        failed != 0) {
        cannotWrite(request->output, QString::fromLocal8Bit(std::strerror(failed)));
        return 2;
    }
    // The pane has said why; the picture is written all the same.
    const auto* main = dynamic_cast<MainWindow*>(window.get());
    if (main != nullptr &&
        main->diagramPane()->diagramTarget().state() != OffscreenGlTarget::State::Ready) {
        return 1;
    }
    return 0;
}
