// The sandbox's frame on a busy scene of each size of File > New: the window's idle turn (1 or 4
// steps of the scene, the scene drawn fitted into the window, the status rows, the present) on
// the headless driver, timed in turns with one memcpy of the scene's cells.
//
// The busy scene: four cups, two of them overflowing, a long slope and a floor with drains, under
// twelve taps, run until water stands in the cups and runs off the slope (the steady state of a
// player's scene). Arguments: the scene's width and height, and the steps a frame. Counters:
// `steps_per_s` (steps a second of the turns alone), `frame_us`, `memcpy_us`, and `ratio`, turn
// over memcpy; `spans`, the scene's span count.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/globals.h"
#include "bench/thread_clock.h"
#include "gfx/font.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "sandbox/sandbox.h"
#include "sandbox/sandbox_window.h"
#include "sandbox/scene.h"
#include "water/water.h"
#include "win/window.h"

namespace {

// Walls and taps laid out on the scene's own size: every figure a fraction of it.
void BuildBusyScene(sandbox::Scene& scene) {
    const int32_t w = scene.Width(), h = scene.Height();
    auto at = [](int32_t size, int per1000) { return static_cast<int32_t>(int64_t{size} * per1000 / 1000); };
    // Four cups along the middle; the second and fourth low-rimmed, so they overflow.
    for (int c = 0; c < 4; ++c) {
        const int32_t left = at(w, 60 + 240 * c), right = at(w, 220 + 240 * c);
        const int32_t top = at(h, c % 2 ? 560 : 420), bottom = at(h, 700);
        scene.Stroke(left, top, left, bottom, 4, sandbox::kWallIndex);
        scene.Stroke(left, bottom, right, bottom, 4, sandbox::kWallIndex);
        scene.Stroke(right, bottom, right, top, 4, sandbox::kWallIndex);
    }
    // A slope above them and a floor with drains below.
    scene.Stroke(at(w, 100), at(h, 250), at(w, 700), at(h, 330), 4, sandbox::kWallIndex);
    for (int d = 0; d < 10; ++d) scene.Stroke(at(w, 100 * d), at(h, 900), at(w, 100 * d + 80), at(h, 900), 4, sandbox::kWallIndex);
    std::string why;
    for (int t = 0; t < 12; ++t) scene.AddTap(at(w, 40 + 80 * t), at(h, 20 + 15 * (t % 3)), &why);
}

struct Sandbox {
    std::unique_ptr<BitmapFont> font;
    std::unique_ptr<sandbox::Scene> scene;
    sandbox::SandboxWindow* window = nullptr;

    bool Start(int32_t width, int32_t height, int speed) {
        headless::Reset();
        if (chdir(ONDREL_RUN_DIR) != 0) return false;
        if (!SetDisplayFormat(640, 480, 8) || !LoadPaletteFromBmp(sandbox::kSheetFile)) return false;
        font = std::make_unique<BitmapFont>(8, 12, sandbox::kFontFile);
        scene = std::make_unique<sandbox::Scene>(width, height);
        BuildBusyScene(*scene);
        // Until the water has reached the floor and the cups hold some: a scene a player runs.
        for (int32_t i = 0; i < height + height / 2; ++i) scene->Step();
        window = new sandbox::SandboxWindow(font.get(), scene.get(), "");  // no folder: no autosave
        window->SetSpeed(speed);
        return true;
    }
    ~Sandbox() {
        DeleteAllWindows();
        scene.reset();
        font.reset();
        SetDisplayFormat(0, 0, 0);
        headless::Reset();
    }
};

// Times `frames` (one call shows `perCall` frames) in turns with as many copies of a scene of
// `cells` bytes, in thread time; sets `frame_us`, `memcpy_us` (a frame, a copy) and `ratio`, and
// returns the seconds of all the frames. Source and target of the copy lie in one block, 2 KB
// apart modulo a page (see frame_bench.cpp).
template <typename Frames>
double TimeBesideMemcpy(benchmark::State& state, size_t cells, int perCall, Frames frames) {
    std::vector<uint8_t> block(2 * cells + 4096, EmptyIndex);
    const uint8_t* from = block.data();
    uint8_t* to = block.data() + cells + 2048;
    double frameTime = 0, copyTime = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        frames();
        const double t1 = ThreadSeconds();
        for (int i = 0; i < perCall; ++i) {
            std::memcpy(to, from, cells);
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        frameTime += t1 - t0;
        copyTime += t2 - t1;
        state.SetIterationTime((t1 - t0) / perCall);
    }
    const double n = static_cast<double>(state.iterations()) * perCall;
    state.counters["frame_us"] = frameTime / n * 1e6;
    state.counters["memcpy_us"] = copyTime / n * 1e6;
    state.counters["ratio"] = frameTime / copyTime;
    return frameTime;
}

void BM_SandboxFrame(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0)), height = static_cast<int32_t>(state.range(1));
    const auto speed = static_cast<int>(state.range(2));
    SetWaterThreads(1);  // the clock is the thread's own
    Sandbox run;
    if (!run.Start(width, height, speed)) {
        state.SkipWithError("no run directory");
        return;
    }
    const size_t cells = static_cast<size_t>(width) * static_cast<size_t>(height);
    constexpr int kTurns = 4;
    const double frames = TimeBesideMemcpy(state, cells, kTurns, [&] {
        for (int i = 0; i < kTurns; ++i) run.window->OnIdle();
    });
    state.counters["steps_per_s"] = static_cast<double>(state.iterations()) * kTurns * speed / frames;
    state.counters["spans"] = run.scene->SpanCount();
}
BENCHMARK(BM_SandboxFrame)
    ->ArgNames({"width", "height", "steps"})
    ->Args({640, 480, 1})
    ->Args({640, 480, 4})
    ->Args({1280, 720, 1})
    ->Args({1280, 720, 4})
    ->Args({1920, 1080, 1})
    ->Args({1920, 1080, 4})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The sandbox's busiest scene at its top speed, 16 steps a frame: a basin as wide as the scene,
// split into bays by posts, fed by sixteen taps and spilling over both rims past the bottom edge,
// where the water leaves the scene. After 1500 steps it is full, at rest below and busy above.
// The frame's steps (16 of sandbox::Scene::Step: the taps pour, the water steps, the walls are
// kept) timed in turns with one memcpy of the scene's cells, 60 frames, so that every build
// times the same frames. Counters as BM_SandboxFrame's.
struct Rect {
    int32_t x0, y0, x1, y1;  // inclusive
};
const Rect kBasinWalls[] = {
    {36, 200, 39, 443},   {600, 200, 603, 443}, {36, 440, 603, 443},  {118, 300, 119, 439},
    {198, 300, 199, 439}, {278, 300, 279, 439}, {358, 300, 359, 439}, {438, 300, 439, 439},
    {518, 300, 519, 439},
};

void BuildBasin(sandbox::Scene& scene, int32_t kWidth, int32_t kHeight) {
    std::vector<bool> light(static_cast<size_t>(kWidth) * kHeight, true);
    for (const Rect& r : kBasinWalls)
        for (int32_t y = r.y0; y <= r.y1; ++y)
            for (int32_t x = r.x0; x <= r.x1; ++x) light[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)] = false;
    scene.SetWalls(light);
    std::string why;
    for (int i = 0; i < 16; ++i) scene.AddTap(56 + 34 * i, 10, &why);
    for (int i = 0; i < 1500; ++i) scene.Step();
}

void BM_BasinSixteenStepsAFrame(benchmark::State& state) {
    constexpr int32_t kWidth = 640, kHeight = 480;
    constexpr int kStepsAFrame = 16;
    SetWaterThreads(1);  // the clock is the thread's own
    sandbox::Scene scene(kWidth, kHeight);
    BuildBasin(scene, kWidth, kHeight);
    const double frames = TimeBesideMemcpy(state, static_cast<size_t>(kWidth) * kHeight, 1, [&] {
        for (int i = 0; i < kStepsAFrame; ++i) scene.Step();
    });
    state.counters["steps_per_s"] = static_cast<double>(state.iterations()) * kStepsAFrame / frames;
    state.counters["spans"] = static_cast<double>(scene.SpanCount());
}
BENCHMARK(BM_BasinSixteenStepsAFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

// The same scene's frames on one thread and on `threads`, in turns, by the wall's clock (a shared
// step's cost is on every thread): `one_ms` and `shared_ms` a frame, their steps a second, and
// `speedup`, one thread's frame time over the threads'. The scene goes on from frame to frame, so
// the two settings take turns at frames of the same busy flow.
void BM_BasinSixteenStepsAFrameThreads(benchmark::State& state) {
    constexpr int32_t kWidth = 640, kHeight = 480;
    constexpr int kStepsAFrame = 16;
    const auto threads = static_cast<int32_t>(state.range(0));
    SetWaterThreads(1);
    sandbox::Scene scene(kWidth, kHeight);
    BuildBasin(scene, kWidth, kHeight);
    double time[2] = {0, 0};
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            SetWaterThreads(k == 0 ? 1 : threads);
            const auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kStepsAFrame; ++i) scene.Step();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
            time[k] += took.count();
            if (k == 1) state.SetIterationTime(took.count());
        }
    }
    SetWaterThreads(1);
    const auto n = static_cast<double>(state.iterations());
    state.counters["one_ms"] = time[0] / n * 1e3;
    state.counters["shared_ms"] = time[1] / n * 1e3;
    state.counters["one_steps_per_s"] = n * kStepsAFrame / time[0];
    state.counters["shared_steps_per_s"] = n * kStepsAFrame / time[1];
    state.counters["speedup"] = time[0] / time[1];
    state.counters["spans"] = static_cast<double>(scene.SpanCount());
}
BENCHMARK(BM_BasinSixteenStepsAFrameThreads)->ArgName("threads")->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(120);

}  // namespace
