// One whole frame of the real program (the main window's idle turn) on the headless driver,
// after the bundled demo has played for a while: pouring, pen, text, water step, the copy of the
// scene, and presenting on every frameSkip-th frame. Run with frame skip 10 (the default) and 1
// (every frame presented) to separate the simulation from the display.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include "app/app.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "gfx/draw.h"
#include "platform/headless.h"
#include "water/water.h"
#include "win/window.h"

namespace {

// A scene like the README's: a funnel over a basin with water poured in for `frames` frames.
MainWindow* StartProgram(int frameSkip, int warmFrames) {
    headless::Reset();
    if (chdir(ONDREL_RUN_DIR) != 0) return nullptr;
    AppInit();
    auto* main = static_cast<MainWindow*>(appGlobals.windowRegistry[0]);
    main->frameSkip = frameSkip;
    Surface* scene = appGlobals.sceneSurface;
    DrawLine(scene, 150, 140, 300, 230, 0);
    DrawLine(scene, 490, 140, 340, 230, 0);
    DrawLine(scene, 120, 330, 140, 440, 0);
    DrawLine(scene, 140, 440, 500, 440, 0);
    DrawLine(scene, 500, 440, 520, 330, 0);
    for (int i = 0; i < warmFrames; ++i) {
        PourWater(200 + (i * 7) % 240, 210 + (i * 7) % 240, 80);
        RunWindowsIdle();
    }
    return main;
}

void StopProgram() {
    DeleteAllWindows();
    AppShutdown();
    headless::Reset();
}

void BM_Frame(benchmark::State& state) {
    MainWindow* main = StartProgram(static_cast<int>(state.range(0)), 600);
    if (!main) {
        state.SkipWithError("no run directory");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        // Keep water coming so the scene stays as busy as it was.
        PourWater(200 + (i * 7) % 240, 210 + (i * 7) % 240, 80);
        ++i;
        RunWindowsIdle();
    }
    state.counters["spans"] = appGlobals.waterSpans.count;
    StopProgram();
}
BENCHMARK(BM_Frame)->ArgName("frameSkip")->Arg(10)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
