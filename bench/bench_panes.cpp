// What the running window costs: one render of the orbit diagram (Mesa's software OpenGL), one
// copy of it to the pane, one paint of the info pane, and one whole one-second refresh (the state
// and the info pane's paint); the "Mars tonight" window's refresh and its disk's paint; Mars's
// loop among the stars and its paint. Runs on Qt's offscreen platform, as orvanta-snapshot does,
// unless QT_QPA_PLATFORM names another (xcb under xvfb-run, as the widget runs on X11). The
// searches too (search_benchmarks.h), to be compared with the plain process's: the series must not
// run slower once Qt has set up. The run's context says whether Qt's set-up left the upper halves
// of the AVX registers in use, the state that slows legacy SSE code on some processors.

#include "app/approaches_window.h"
#include "app/main_window.h"
#include "app/sky_window.h"
#include "bench/search_benchmarks.h"
#include "ephemeris/encounter_state.h"
#include "ephemeris/utc_clock.h"
#include "panes/diagram_pane.h"
#include "panes/distance_chart_picture.h"
#include "panes/info_pane.h"
#include "panes/loop_picture.h"
#include "panes/mars_disk_view.h"
#include "panes/night_red.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#endif

using namespace orvanta;

namespace {

MainWindow* window = nullptr;

// The processor's own word on the state, where it gives one: XGETBV with ECX = 1 reads which
// parts of the register state are in use, bit 2 the upper halves of the YMM registers.
const char* upperAvxHalves() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    unsigned a = 0, b = 0, c = 0, d = 0;
    constexpr unsigned OSXSAVE = 1u << 27, XGETBV_ECX_1 = 1u << 2;
    if (__get_cpuid(1, &a, &b, &c, &d) && (c & OSXSAVE) &&
        __get_cpuid_count(0xD, 1, &a, &b, &c, &d) && (a & XGETBV_ECX_1)) {
        unsigned low = 0, high = 0;
        asm volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
        return (low & 4u) ? "in use" : "clear";
    }
#endif
    return "not told by this processor";
}

// Painting reaches the screen only once the window is exposed; a platform that never exposes it
// ends the run with a message rather than a wait without end.
bool exposed(QWidget& widget) {
    QElapsedTimer waited;
    waited.start();
    while (!widget.windowHandle()->isExposed()) {
        if (waited.elapsed() > 10000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

template <typename Call>
void measure(benchmark::State& state, Call call) {
    call(); // anything set up once happens outside the timing
    for (auto _ : state) {
        call();
    }
    const long before = allocationCount();
    call();
    state.counters["allocs/call"] = static_cast<double>(allocationCount() - before);
}

// renderDiagram only queues the drawing; the paint that follows makes the software renderer do it,
// then reads the frame back and copies it.
void BM_RenderDiagram(benchmark::State& state) {
    measure(state, [] {
        window->diagramPane()->renderDiagram();
        window->diagramPane()->repaint();
    });
}

// What a paint of the diagram pane costs: finish, read back and copy the last frame.
void BM_PresentDiagram(benchmark::State& state) {
    measure(state, [] { window->diagramPane()->repaint(); });
}

void BM_PaintInfoPane(benchmark::State& state) {
    measure(state, [] { window->infoPane()->repaint(); });
}

// The one-second timer's work, a second later each time: the state refreshed, the boxes whose text
// changed drawn again, and the rows they reach repainted.
void BM_OneSecondRefresh(benchmark::State& state) {
    static FixedUtcClock clock({2026, 12, 7, 18, 0, 0});
    static int second = 0;
    measure(state, [] {
        ++second;
        clock.set({2026, 12, 7, static_cast<std::uint16_t>(18 + second / 3600 % 6),
                   static_cast<std::uint16_t>(second / 60 % 60),
                   static_cast<std::uint16_t>(second % 60)});
        computeEncounterState();
        window->infoPane()->refresh();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    });
}

// The "Mars tonight" window's refresh once a minute (the night's track kept) with the paint that
// follows, in the red night mode with Arg 1; and once an hour (computed anew).
void BM_SkyWindowMinute(benchmark::State& state) {
    static SkyWindow sky(Place{52.52, 13.405, 34});
    showInNightRed(&sky, state.range(0) == 1);
    sky.show();
    if (!exposed(sky)) {
        state.SkipWithError("the window was not exposed within 10 s");
        return;
    }
    measure(state, [] {
        sky.refresh();
        sky.repaint();
    });
}

// Counts the paints a window's widgets have had.
class PaintCount : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// A window of its own opened as the tray menu's entry opens it, until it is on the screen with
// every widget painted once (a paint runs within the event it is sent in, so it has ended when
// the events have been processed), then closed and deleted, as closing it deletes it. The first
// opening in the process, with whatever it reads once, is a counter of its own: from the choice,
// made 0.4 s after the menu opened, as a hand takes to reach the entry.
void openFromMenu(benchmark::State& state, const QString& entry,
                  QWidget* (MainWindow::*opened)() const) {
    QAction* action = nullptr;
    for (QAction* a : window->trayMenu()->actions()) {
        action =
            QString(a->text()).remove(QLatin1Char('&')) == entry ? a : action; // less its letter
    }
    const auto open = [&] {
        action->trigger();
        QWidget* shown = (window->*opened)();
        PaintCount counted;
        QList<QWidget*> parts = shown->findChildren<QWidget*>();
        parts << shown;
        for (QWidget* part : parts) {
            part->installEventFilter(&counted);
        }
        if (!exposed(*shown)) {
            return false;
        }
        while (counted.paints == 0) {
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents(); // the paints a layout's first sizes ask for
        shown->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    };
    static std::map<QString, double> firstMs;
    if (firstMs.count(entry) == 0) {
        QMenu* menu = window->trayMenu();
        menu->popup(QPoint(0, 0));
        QElapsedTimer reaching;
        reaching.start();
        while (reaching.elapsed() < 400) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        menu->hide();
    }
    QElapsedTimer first;
    first.start();
    if (action == nullptr || !open()) {
        state.SkipWithError("the window did not open");
        return;
    }
    firstMs.try_emplace(entry, static_cast<double>(first.nsecsElapsed()) / 1e6);
    state.counters["first ms"] = firstMs[entry];
    for (auto _ : state) {
        open();
    }
}

void BM_OpenSkyWindow(benchmark::State& state) {
    openFromMenu(state, QStringLiteral("Mars tonight…"), &MainWindow::skyWindow);
}

void BM_OpenApproachesWindow(benchmark::State& state) {
    openFromMenu(state, QStringLiteral("Approaches…"), &MainWindow::approachesWindow);
}

BENCHMARK(BM_OpenSkyWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenApproachesWindow)->Unit(benchmark::kMillisecond);

void BM_SkyWindowNight(benchmark::State& state) {
    measure(state, [] { SkyWindow(Place{52.52, 13.405, 34}); });
}

// One disk of the "Mars tonight" window drawn, 180 pixels across: from the projection kept, and
// with the map projected anew, as after the disk has turned half a degree.
void paintDisk(benchmark::State& state, bool turned) {
    MarsDiskView view(nullptr);
    view.resize(212, 212);
    MarsDisk disk = marsDiskAt(2452879.39);
    measure(state, [&] {
        disk.centralMeridian += turned ? 1 : 0;
        view.setDisk(disk);
        benchmark::DoNotOptimize(view.grab());
    });
}

void BM_DiskPaint(benchmark::State& state) {
    paintDisk(state, false);
}

void BM_DiskProjection(benchmark::State& state) {
    paintDisk(state, true);
}

BENCHMARK(BM_DiskPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiskProjection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyWindowMinute)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkyWindowNight)->Unit(benchmark::kMillisecond);
// Mars's loop of 2027 as the Approaches window makes it for a new pick (the path and the stops,
// here in a process that has a QApplication), and one paint of it at the window's size.
const ClosestApproach APPROACH_2027 = approachAt(2461456.509);

void BM_LoopInTheGuiProcess(benchmark::State& state) {
    measure(state, [] { benchmark::DoNotOptimize(marsLoopAround(APPROACH_2027)); });
}

void BM_LoopPaint(benchmark::State& state) {
    LoopPicture picture(nullptr);
    picture.setScene(loopScene(*marsLoopAround(APPROACH_2027)));
    picture.resize(480, 310);
    QImage image(picture.size(), QImage::Format_RGB32);
    measure(state, [&] { picture.render(&image); });
}

// One paint of the Approaches window's distance chart over 47 and over 200 years.
void BM_DistanceChartPaint(benchmark::State& state) {
    ApproachesWindow approaches([](const CountdownChoice&) {}, 1900,
                                static_cast<int>(state.range(0)));
    DistanceChartPicture& chart = *approaches.chart();
    chart.resize(980, 300);
    QImage image(chart.size(), QImage::Format_RGB32);
    measure(state, [&] { chart.render(&image); });
}

BENCHMARK(BM_DistanceChartPaint)->Arg(47)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoopInTheGuiProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoopPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintInfoPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneSecondRefresh)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The windows read the settings and place the user by the time zone: a folder of the run's own
    // and a zone with a town, unless the run names its own.
    const QTemporaryDir config;
    if (!qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    }
    if (!qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", "Europe/Berlin");
    }
    QApplication application(argc, argv);
    // Read before anything else runs: the next AVX routine of the C library clears it again.
    benchmark::AddCustomContext("upper AVX halves after the QApplication", upperAvxHalves());
    benchmark::AddCustomContext("platform", QApplication::platformName().toStdString());
    computeEncounterState();
    MainWindow mainWindow(QRect(0, 0, 640, 480));
    mainWindow.show();
    if (!exposed(mainWindow)) {
        std::fprintf(stderr, "bench_panes: the window was not exposed within 10 s\n");
        return 1;
    }
    // Past the window's placing a quarter second after it shows, which renders the diagram anew.
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < 400) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    window = &mainWindow;
    bench::registerSearchBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
