// What the running window costs: one render of the orbit diagram (Mesa's software OpenGL), one
// copy of it to the pane, one paint of the info pane, and one whole one-second refresh (the state
// and the info pane's paint). Runs on Qt's offscreen platform, as orvanta-snapshot does.

#include "app/shell.h"
#include "display/diagram_pane.h"
#include "ephemeris/encounter_state.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace orvanta;

namespace {

WindowHandle mainWindow;

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

// renderDiagram only queues the drawing; the finish makes the software renderer do it.
void BM_RenderDiagram(benchmark::State& state) {
    measure(state, [] {
        renderDiagram();
        gl()->finish();
    });
}

// What a paint of the diagram pane costs: finish, read back and copy the last frame.
void BM_PresentDiagram(benchmark::State& state) {
    measure(state, [] { sendMessage(diagramPaneWindow, MSG_PAINT, 0, 0); });
}

void BM_PaintInfoPane(benchmark::State& state) {
    measure(state, [] { sendMessage(infoPaneWindow, MSG_PAINT, 0, 0); });
}

// The one-second timer's work: the state refreshed, then the info pane painted.
void BM_OneSecondRefresh(benchmark::State& state) {
    measure(state, [] {
        sendMessage(mainWindow, MSG_TIMER, TIMER_SECOND, 0);
        sendMessage(infoPaneWindow, MSG_PAINT, 0, 0);
    });
}

BENCHMARK(BM_RenderDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintInfoPane)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneSecondRefresh)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    appInstance = currentInstance();
    appMessage = registerMessage(APP_MESSAGE_NAME);
    computeEncounterState();
    registerMainWindowClass(appInstance);
    mainWindow = createMainWindow(Rect{0, 0, 640, 480});
    showWindow(mainWindow);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    destroyWindow(mainWindow);
    return 0;
}
