// One whole frame of the real program (the main window's idle turn with its messages) on the
// headless driver: pouring, pen, text, water step, the copy of the scene, and presenting on every
// frameSkip-th frame.
//
// - BM_Frame: a funnel over a basin with water poured in, frame skip 10 (the default) and 1 (every
//   frame presented), to separate the simulation from the display.
// - BM_EmptyFrameVsMemcpy: every frame presented on an empty scene, timed in turns with one
//   640 × 480 memcpy; `ratio` is frame time over memcpy time.
// - BM_DemoFrame: the README's demo (docs/demo.txt) played to its busiest stretch, frames 440 to
//   479 (water pouring into the funnel, the basin filling), every frame presented. Beside each
//   frame it times what converting all 480 rows to 32 bits costs (`convert_all_us`), which every
//   present paid before presents converted only what changed.
// - BM_DemoFrameSkip10VsMemcpy: the same stretch at frame skip 10, every turn (one step, and a
//   present on every tenth) timed in turns with one 640 × 480 memcpy; `ratio` is turn over memcpy.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <ctime>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "bench/thread_clock.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/gdi_internal.h"
#include "platform/headless.h"
#include "tools/replay/playback.h"
#include "tools/replay/script.h"
#include "water/water.h"
#include "win/window.h"

namespace {

// A fresh program on the headless driver, in the directory holding its media.
MainWindow* Start(int frameSkip) {
    headless::Reset();
    if (chdir(ONDREL_RUN_DIR) != 0) return nullptr;
    AppInit();
    auto* main = static_cast<MainWindow*>(appGlobals.windowRegistry[0]);
    main->frameSkip = frameSkip;
    return main;
}

void Stop() {
    DeleteAllWindows();
    AppShutdown();
    headless::SetBeforeIdleHook(nullptr);
    headless::Reset();
}

// One turn of the main loop: every pending message dispatched, then the idle turn (the frame).
void Turn() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RunWindowsIdle();
}

// A scene like the README's: a funnel over a basin with water poured in for `frames` frames.
MainWindow* StartFunnel(int frameSkip, int warmFrames) {
    MainWindow* main = Start(frameSkip);
    if (!main) return nullptr;
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

// `turn` eight times, then eight 640 × 480 memcpys, each group timed on the thread clock (eight
// at a time so that reading the clock costs next to nothing); the benchmark's time is a turn's.
// Source and target of the copy lie in one block, 2 KB apart modulo a page: two blocks from the
// allocator can land 16 bytes apart modulo a page, where this machine's memcpy (rep movsb) runs
// ten times slower, and that is no floor. Counters: frame_us, memcpy_us, and `ratio`, turn over
// memcpy.
template <typename Turn>
void TimeTurnsVsMemcpy(benchmark::State& state, Turn turn) {
    constexpr size_t kImage = 640 * 480;
    std::vector<uint8_t> block(2 * kImage + 4096, EmptyIndex);
    const uint8_t* from = block.data();
    uint8_t* to = block.data() + kImage + 2048;
    double frames = 0;
    double copies = 0;
    constexpr int kTurns = 8;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < kTurns; ++i) turn();
        const double t1 = ThreadSeconds();
        for (int i = 0; i < kTurns; ++i) {
            std::memcpy(to, from, kImage);
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        frames += t1 - t0;
        copies += t2 - t1;
        state.SetIterationTime((t1 - t0) / kTurns);
    }
    const auto n = static_cast<double>(state.iterations()) * kTurns;
    state.counters["frame_us"] = frames / n * 1e6;
    state.counters["memcpy_us"] = copies / n * 1e6;
    state.counters["ratio"] = frames / copies;
}

void BM_Frame(benchmark::State& state) {
    SetWaterThreads(1);  // the clock is the thread's own
    if (!StartFunnel(static_cast<int>(state.range(0)), 600)) {
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
    Stop();
}
BENCHMARK(BM_Frame)->ArgName("frameSkip")->Arg(10)->Arg(1)->Unit(benchmark::kMicrosecond);

// BM_Frame's funnel at frame skip 10 beside one 640 × 480 memcpy.
void BM_FrameSkip10VsMemcpy(benchmark::State& state) {
    SetWaterThreads(1);  // the clock is the thread's own
    if (!StartFunnel(10, 600)) {
        state.SkipWithError("no run directory");
        return;
    }
    int i = 0;
    TimeTurnsVsMemcpy(state, [&i] {
        PourWater(200 + (i * 7) % 240, 210 + (i * 7) % 240, 80);
        ++i;
        RunWindowsIdle();
    });
    state.counters["spans"] = appGlobals.waterSpans.count;
    Stop();
}
BENCHMARK(BM_FrameSkip10VsMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_EmptyFrameVsMemcpy(benchmark::State& state) {
    SetWaterThreads(1);  // the clock is the thread's own
    if (!Start(1)) {
        state.SkipWithError("no run directory");
        return;
    }
    TimeTurnsVsMemcpy(state, Turn);
    state.counters["surfaces_apart"] = static_cast<double>(
        (reinterpret_cast<uintptr_t>(appGlobals.sceneSurface->pixels) - reinterpret_cast<uintptr_t>(appGlobals.screenSurface->pixels)) % 4096);
    Stop();
}
BENCHMARK(BM_EmptyFrameVsMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The demo script's events, delivered before the idle turn they name, as ondrel-replay does.
class DemoPlayer {
public:
    explicit DemoPlayer(std::vector<ScriptEvent> script) : events(std::move(script)) {}

    void Install() {
        next = 0;
        headless::SetBeforeIdleHook([this](int turn) { Deliver(turn); });
    }

private:
    void Deliver(int turn) {
        HWND hwnd = headless::TopLevelWindows().empty() ? nullptr : headless::TopLevelWindows().front();
        for (; next < events.size() && events[next].frame <= turn; ++next)
            if (events[next].frame == turn) PlayEvent(events[next], hwnd, &pointer);
    }

    std::vector<ScriptEvent> events;
    size_t next = 0;
    ScriptPointer pointer;
};

constexpr int kDemoFirstTimed = 440;
constexpr int kDemoLastTimed = 479;

// The demo script's events; false (and the benchmark skipped) when it cannot be read.
bool LoadDemo(benchmark::State& state, std::vector<ScriptEvent>* events) {
    std::ifstream in(ONDREL_DEMO_SCRIPT, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ParsedScript script = ParseScript(text.str());
    if (!in || !script.error.empty()) {
        state.SkipWithError("cannot read the demo script");
        return false;
    }
    *events = std::move(script.events);
    return true;
}

// Plays the demo again from its start up to the timed stretch, outside the timing, with the frame
// skip held at `skip` whatever the script's keypad taps set. The main window, or null (and the
// benchmark skipped) without a run directory.
MainWindow* RewindDemo(benchmark::State& state, DemoPlayer& player, int skip) {
    state.PauseTiming();
    Stop();
    MainWindow* main = Start(skip);
    if (!main) {
        state.SkipWithError("no run directory");
        return nullptr;
    }
    player.Install();
    for (int frame = 1; frame < kDemoFirstTimed; ++frame) {
        Turn();
        main->frameSkip = skip;
    }
    state.ResumeTiming();
    return main;
}

void BM_DemoFrame(benchmark::State& state) {
    SetWaterThreads(1);  // the clock is the thread's own
    std::vector<ScriptEvent> events;
    if (!LoadDemo(state, &events)) return;
    DemoPlayer player(std::move(events));
    std::vector<uint32_t> converted(640 * 480);
    uint32_t lut[256];
    for (uint32_t i = 0; i < 256; ++i) lut[i] = i * 0x010101u;
    double frameTime = 0;
    double convertTime = 0;
    int frame = kDemoLastTimed + 1;
    for (auto _ : state) {
        if (frame > kDemoLastTimed) {
            if (!RewindDemo(state, player, 1)) break;  // every frame presented
            frame = kDemoFirstTimed;
        }
        const double t0 = ThreadSeconds();
        Turn();
        const double t1 = ThreadSeconds();
        const Surface* screen = appGlobals.screenSurface;
        for (int row = 0; row < 480; ++row)
            gdi::ConvertRow8To32(screen->pixels + row * screen->pitch, converted.data() + row * 640, 640, lut);
        benchmark::ClobberMemory();
        const double t2 = ThreadSeconds();
        frameTime += t1 - t0;
        convertTime += t2 - t1;
        state.SetIterationTime(t1 - t0);
        ++frame;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["spans"] = appGlobals.waterSpans.count;
    state.counters["frame_us"] = frameTime / n * 1e6;
    state.counters["convert_all_us"] = convertTime / n * 1e6;
    Stop();
}
BENCHMARK(BM_DemoFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The demo's busy stretch again, at frame skip 10 (the default: a frame presented every tenth
// step), each frame timed in turns with one 640 × 480 memcpy; `ratio` is frame over memcpy.
void BM_DemoFrameSkip10VsMemcpy(benchmark::State& state) {
    SetWaterThreads(1);  // the clock is the thread's own
    std::vector<ScriptEvent> events;
    if (!LoadDemo(state, &events)) return;
    DemoPlayer player(std::move(events));
    constexpr size_t kImage = 640 * 480;
    std::vector<uint8_t> block(2 * kImage + 4096, EmptyIndex);  // placed as in TimeTurnsVsMemcpy
    const uint8_t* from = block.data();
    uint8_t* to = block.data() + kImage + 2048;
    double frameTime = 0;
    double copyTime = 0;
    int frame = kDemoLastTimed + 1;
    MainWindow* main = nullptr;
    for (auto _ : state) {
        if (frame > kDemoLastTimed) {
            main = RewindDemo(state, player, 10);
            if (!main) break;
            frame = kDemoFirstTimed;
        }
        main->frameSkip = 10;
        const double t0 = ThreadSeconds();
        Turn();
        const double t1 = ThreadSeconds();
        std::memcpy(to, from, kImage);
        benchmark::ClobberMemory();
        const double t2 = ThreadSeconds();
        frameTime += t1 - t0;
        copyTime += t2 - t1;
        state.SetIterationTime(t1 - t0);
        ++frame;
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["spans"] = appGlobals.waterSpans.count;
    state.counters["frame_us"] = frameTime / n * 1e6;
    state.counters["memcpy_us"] = copyTime / n * 1e6;
    state.counters["ratio"] = frameTime / copyTime;
    Stop();
}
BENCHMARK(BM_DemoFrameSkip10VsMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
