// What the running window costs: one render of the orbit diagram (Mesa's software OpenGL), one
// copy of it to the pane, one paint of the info pane, and one whole one-second refresh (the state
// and the info pane's paint). Runs on Qt's offscreen platform, as orvanta-snapshot does.

#include "app/main_window.h"
#include "ephemeris/encounter_state.h"
#include "panes/diagram_pane.h"
#include "panes/info_pane.h"
#include "tools/allocation_counter/allocation_counter.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace orvanta;

namespace {

MainWindow* window = nullptr;

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

// The one-second timer's work: the state refreshed, then the info pane painted.
void BM_OneSecondRefresh(benchmark::State& state) {
    measure(state, [] {
        computeEncounterState();
        window->infoPane()->repaint();
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
    computeEncounterState();
    MainWindow mainWindow(QRect(0, 0, 640, 480));
    mainWindow.show();
    window = &mainWindow;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
