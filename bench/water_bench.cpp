// The cost of one water step in steady scenes on the 640 × 480 scene, beside the cost of the two
// whole-image copies every frame makes anyway, and pairs of scenes stepped in turns whose costs
// per span are compared in one run.
//
// Each scene is built, and run until its flow settles, before timing starts; inside the timed
// loop water keeps coming in and draining out, so every iteration is a step of the same scene.
// Counters: `spans` is the mean length of the list after a step, `per_span` the step time divided
// by it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <functional>
#include <random>
#include <vector>

#include "app/globals.h"
#include "bench/thread_clock.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "water/water.h"

namespace {

constexpr int32_t SceneWidth = 640;
constexpr int32_t SceneHeight = 480;

// A scene of its own: a surface and a span list. The water works on whatever appGlobals holds,
// so a scene is entered before it is stepped; two scenes can take turns.
class BenchScene {
public:
    BenchScene() : surface(SceneWidth, SceneHeight) {
        // One thread unless a benchmark asks for more: the clocks here are the thread's own.
        SetWaterThreads(1);
        surface.Clear(EmptyIndex);
        appGlobals.waterSpans = WaterSpanList{nullptr, 0, 0};
        Enter();
        InitWater();
    }
    ~BenchScene() {
        Enter();
        FreeWater();
        appGlobals.sceneSurface = nullptr;
    }
    BenchScene(const BenchScene&) = delete;
    BenchScene& operator=(const BenchScene&) = delete;

    void Enter() {
        appGlobals.screenHeight = SceneHeight;
        appGlobals.sceneSurface = &surface;
        if (saved) appGlobals.waterSpans = list;
        saved = false;
    }
    void Leave() {
        list = appGlobals.waterSpans;
        appGlobals.waterSpans = WaterSpanList{nullptr, 0, 0};
        saved = true;
    }

    void Wall(int32_t x0, int32_t y0, int32_t x1, int32_t y1) { FillRect(&surface, x0, y0, x1, y1, 0); }
    void Hole(int32_t x0, int32_t y0, int32_t x1, int32_t y1) { FillRect(&surface, x0, y0, x1, y1, EmptyIndex); }
    // Water standing still from the start: painted and listed, one span per row.
    void Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        FillRect(&surface, x0, y0, x1, y1, WaterIndex);
        for (int32_t y = y0; y <= y1; ++y) PourWater(x0, x1, y);
    }

    Surface surface;

private:
    WaterSpanList list{nullptr, 0, 0};
    bool saved = false;
};

template <typename Inflow>
void TimeSteps(benchmark::State& state, Inflow inflow, int warmUpSteps) {
    for (int i = 0; i < warmUpSteps; ++i) {
        inflow();
        StepWater();
    }
    double spans = 0;
    for (auto _ : state) {
        inflow();
        StepWater();
        spans += appGlobals.waterSpans.count;
    }
    state.counters["spans"] = benchmark::Counter(spans, benchmark::Counter::kAvgIterations);
    state.counters["per_span"] = benchmark::Counter(spans, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// (a) Rain: `drops` 11-cell drops a step at random columns near the top, falling 400 rows onto
// a floor with a drain every 40 columns. Sixteen a step stand about 30 rows deep on the floor;
// 64 a step (heavy rain) drain through a floor that is mostly holes, so the air is full of drops
// (about 40 000 spans).
std::function<void()> MakeRain(BenchScene& scene, int drops) {
    scene.Wall(0, 400, SceneWidth - 1, 400);
    const int32_t hole = drops > 16 ? 30 : 5;
    for (int32_t x = 20; x < SceneWidth; x += 40) scene.Hole(x, 400, x + hole, 400);
    return [random = std::mt19937(1), drops]() mutable {
        for (int i = 0; i < drops; ++i) {
            const auto x = static_cast<int32_t>(random() % (SceneWidth - 10));
            PourWater(x, x + 10, static_cast<int32_t>(random() % 20));
        }
    };
}
constexpr int RainWarmUp = 1500;

void BM_Rain(benchmark::State& state) {
    BenchScene scene;
    TimeSteps(state, MakeRain(scene, static_cast<int>(state.range(0))), RainWarmUp);
}
BENCHMARK(BM_Rain)->ArgName("drops")->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);

// (a') Fifty columns of water one cell wide and `depth` rows deep, standing still between walls
// that rise two rows above them: every span is one cell, and nothing moves.
std::function<void()> MakeColumns(BenchScene& scene, int32_t depth) {
    const int32_t floor = 460;
    scene.Wall(0, floor, SceneWidth - 1, floor);
    for (int32_t column = 0; column < 50; ++column) {
        const int32_t x = 20 + 12 * column;
        scene.Wall(x - 1, floor - depth - 2, x - 1, floor);
        scene.Wall(x + 1, floor - depth - 2, x + 1, floor);
        scene.Fill(x, floor - depth, x, floor - 1);
    }
    return [] {};
}

void BM_OneCellColumns(benchmark::State& state) {
    BenchScene scene;
    TimeSteps(state, MakeColumns(scene, static_cast<int32_t>(state.range(0))), 2);
}
BENCHMARK(BM_OneCellColumns)->ArgName("depth")->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

// Two scenes stepped in turns, each step timed on its own; `ratio` is the second scene's cost per
// span over the first's. The benchmark's own time is that of the second scene's steps.
void TimePair(benchmark::State& state, BenchScene& first, const std::function<void()>& firstInflow, BenchScene& second,
              const std::function<void()>& secondInflow, int warmUpSteps) {
    BenchScene* scenes[2] = {&first, &second};
    const std::function<void()>* inflows[2] = {&firstInflow, &secondInflow};
    for (int k = 0; k < 2; ++k) {
        scenes[k]->Enter();
        for (int i = 0; i < warmUpSteps; ++i) {
            (*inflows[k])();
            StepWater();
        }
        scenes[k]->Leave();
    }
    double time[2] = {0, 0};
    double spans[2] = {0, 0};
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            scenes[k]->Enter();
            const double t0 = ThreadSeconds();
            (*inflows[k])();
            StepWater();
            const double t1 = ThreadSeconds();
            time[k] += t1 - t0;
            spans[k] += appGlobals.waterSpans.count;
            scenes[k]->Leave();
            if (k == 1) state.SetIterationTime(t1 - t0);
        }
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["spans_1"] = spans[0] / n;
    state.counters["spans_2"] = spans[1] / n;
    state.counters["per_span_ns_1"] = time[0] / spans[0] * 1e9;
    state.counters["per_span_ns_2"] = time[1] / spans[1] * 1e9;
    state.counters["ratio"] = (time[1] / spans[1]) / (time[0] / spans[0]);
}

// Heavy rain beside sixteen drops a step.
void BM_HeavyRainVsRain(benchmark::State& state) {
    BenchScene light;
    const std::function<void()> lightInflow = MakeRain(light, 16);
    light.Leave();
    BenchScene heavy;
    const std::function<void()> heavyInflow = MakeRain(heavy, 64);
    heavy.Leave();
    TimePair(state, light, lightInflow, heavy, heavyInflow, RainWarmUp);
}
BENCHMARK(BM_HeavyRainVsRain)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Columns `depth` deep beside columns 50 deep.
void BM_DeepColumnsVsShallow(benchmark::State& state) {
    BenchScene shallow;
    const std::function<void()> shallowInflow = MakeColumns(shallow, 50);
    shallow.Leave();
    BenchScene deep;
    const std::function<void()> deepInflow = MakeColumns(deep, static_cast<int32_t>(state.range(0)));
    deep.Leave();
    TimePair(state, shallow, shallowInflow, deep, deepInflow, 2);
}
BENCHMARK(BM_DeepColumnsVsShallow)->ArgName("depth")->Arg(100)->Arg(200)->Arg(400)->UseManualTime()->Unit(benchmark::kMicrosecond);

// (b) A full basin of inner size width × depth, split by two-column posts into bays ten columns
// wide that meet under the posts, with a two-cell drain in its floor; fed by one drop a step
// at a random column 60 rows above its rim, and spilling over both rims.
std::function<void()> MakeBasin(BenchScene& scene, int32_t width, int32_t depth) {
    const int32_t left = (SceneWidth - width) / 2 - 1;  // inner columns left + 1 .. right - 1
    const int32_t right = left + width + 1;
    const int32_t floor = 460;
    const int32_t rim = floor - depth;
    scene.Wall(left - 1, rim, left, floor);
    scene.Wall(right, rim, right + 1, floor);
    scene.Wall(left - 1, floor, right + 1, floor + 1);
    const int32_t middle = SceneWidth / 2;
    scene.Hole(middle, floor, middle + 1, floor + 1);
    const int32_t postTop = rim + 2;
    const int32_t postBottom = floor - 4;
    scene.Fill(left + 1, rim, right - 1, postTop - 1);
    scene.Fill(left + 1, postBottom + 1, right - 1, floor - 1);
    int32_t bay = left + 1;
    for (int32_t post = left + 11; post + 1 < right - 1; post += 12) {
        scene.Wall(post, postTop, post + 1, postBottom);
        scene.Fill(bay, postTop, post - 1, postBottom);
        bay = post + 2;
    }
    scene.Fill(bay, postTop, right - 1, postBottom);
    return [random = std::mt19937(2), left, width, rim]() mutable {
        const int32_t x = left + 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(width - 10));
        PourWater(x, x + 10, rim - 60);
    };
}

void BM_Basin(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0));
    const auto depth = static_cast<int32_t>(state.range(1));
    BenchScene scene;
    TimeSteps(state, MakeBasin(scene, width, depth), 1500);
    state.counters["water_cells"] = static_cast<double>(width) * depth;
}
BENCHMARK(BM_Basin)
    ->Args({64, 32})
    ->Args({160, 80})
    ->Args({320, 160})
    ->Args({600, 400})
    ->Unit(benchmark::kMicrosecond);

// (c) A column ten cells wide and 400 rows tall, full, standing on the floor of a chamber 600
// cells wide and 20 rows high: the bottom of the column spreads under the whole column's
// pressure. The burst is not a steady state, so the scene is run `phase` steps into it, kept,
// and put back before every timed step.
void BM_ColumnIntoChamber(benchmark::State& state) {
    BenchScene scene;
    const int32_t middle = SceneWidth / 2;
    scene.Wall(middle - 7, 40, middle - 6, 439);
    scene.Wall(middle + 5, 40, middle + 6, 439);
    scene.Wall(18, 438, middle - 6, 439);
    scene.Wall(middle + 5, 438, 621, 439);
    scene.Wall(18, 438, 19, 461);
    scene.Wall(620, 438, 621, 461);
    scene.Wall(18, 460, 621, 461);
    for (int32_t x = 50; x < 600; x += 60) scene.Hole(x, 460, x + 1, 461);
    scene.Fill(middle - 5, 40, middle + 4, 459);
    for (int64_t i = 0; i < state.range(0); ++i) StepWater();

    const std::vector<uint8_t> pixels(scene.surface.pixels, scene.surface.pixels + SceneWidth * SceneHeight);
    const std::vector<WaterSpan> spans(appGlobals.waterSpans.spans, appGlobals.waterSpans.spans + appGlobals.waterSpans.count);
    double listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(scene.surface.pixels, pixels.data(), pixels.size());
        std::copy(spans.begin(), spans.end(), appGlobals.waterSpans.spans);
        appGlobals.waterSpans.count = static_cast<int32_t>(spans.size());
        state.ResumeTiming();
        StepWater();
        listed += appGlobals.waterSpans.count;
    }
    state.counters["spans"] = benchmark::Counter(listed, benchmark::Counter::kAvgIterations);
    state.counters["per_span"] = benchmark::Counter(listed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ColumnIntoChamber)->ArgName("phase")->Arg(1)->Arg(20)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

// (d) Plain pools at rest: one basin of `cells` water cells (as near square as the scene lets
// it be), full and still, one listed span per row. Each step is timed in turns with one
// vectorised read of the pool's cells (a search of every row for a byte it does not hold);
// `ratio` is the step over the read. A scene at rest should cost in proportion to what changed.
void BM_PoolAtRestVsRead(benchmark::State& state) {
    const auto cells = static_cast<int32_t>(state.range(0));
    int32_t width = 1;
    while (width * width < cells) ++width;
    width = std::min(width * 2, SceneWidth - 8);
    const int32_t depth = std::min((cells + width - 1) / width, SceneHeight - 8);
    BenchScene scene;
    const int32_t left = (SceneWidth - width) / 2;
    const int32_t floor = SceneHeight - 3;
    const int32_t top = floor - depth;
    scene.Wall(left - 1, top - 1, left - 1, floor);
    scene.Wall(left + width, top - 1, left + width, floor);
    scene.Wall(left - 1, floor, left + width, floor);
    scene.Fill(left, top, left + width - 1, floor - 1);
    for (int i = 0; i < 3; ++i) StepWater();
    const uint8_t* pixels = scene.surface.pixels;
    double stepTime = 0;
    double readTime = 0;
    constexpr int kRounds = 32;  // per clock reading, which costs about a microsecond
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int round = 0; round < kRounds; ++round) StepWater();
        const double t1 = ThreadSeconds();
        for (int round = 0; round < kRounds; ++round) {
            const void* found = nullptr;
            for (int32_t y = top; y < floor; ++y) {
                const void* hit = std::memchr(pixels + y * SceneWidth + left, 0xFE, static_cast<size_t>(width));
                found = hit ? hit : found;
            }
            benchmark::DoNotOptimize(found);
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        stepTime += t1 - t0;
        readTime += t2 - t1;
        state.SetIterationTime((t1 - t0) / kRounds);
    }
    const double rounds = static_cast<double>(state.iterations()) * kRounds;
    state.counters["water_cells"] = static_cast<double>(width) * depth;
    state.counters["spans"] = appGlobals.waterSpans.count;
    state.counters["step_ns"] = stepTime / rounds * 1e9;
    state.counters["read_ns"] = readTime / rounds * 1e9;
    state.counters["ratio"] = stepTime / readTime;
}
BENCHMARK(BM_PoolAtRestVsRead)
    ->ArgName("cells")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Arg(150000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The same scene stepped on one thread and on `threads`, two copies of it in turns (both copies
// hold the same spans after every step, the results being the same on any count). The clock is
// the wall's: a shared step's cost is on every thread. `speedup` is one thread's time over the
// threads' time; the benchmark's own time is the threaded step's.
void TimeThreads(benchmark::State& state, const std::function<std::function<void()>(BenchScene&)>& make, int warmUpSteps) {
    const auto threads = static_cast<int32_t>(state.range(0));
    BenchScene one;
    const std::function<void()> oneInflow = make(one);
    one.Leave();
    BenchScene shared;
    const std::function<void()> sharedInflow = make(shared);
    shared.Leave();
    BenchScene* scenes[2] = {&one, &shared};
    const std::function<void()>* inflows[2] = {&oneInflow, &sharedInflow};
    for (int k = 0; k < 2; ++k) {
        scenes[k]->Enter();
        SetWaterThreads(k == 0 ? 1 : threads, 0);
        for (int i = 0; i < warmUpSteps; ++i) {
            (*inflows[k])();
            StepWater();
        }
        scenes[k]->Leave();
    }
    double time[2] = {0, 0};
    double spans = 0;
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            scenes[k]->Enter();
            SetWaterThreads(k == 0 ? 1 : threads, 0);
            const auto t0 = std::chrono::steady_clock::now();
            (*inflows[k])();
            StepWater();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - t0;
            time[k] += took.count();
            if (k == 1) {
                spans += appGlobals.waterSpans.count;
                state.SetIterationTime(took.count());
            }
            scenes[k]->Leave();
        }
    }
    SetWaterThreads(1);
    const auto n = static_cast<double>(state.iterations());
    state.counters["spans"] = spans / n;
    state.counters["one_us"] = time[0] / n * 1e6;
    state.counters["shared_us"] = time[1] / n * 1e6;
    state.counters["speedup"] = time[0] / time[1];
}

void BM_RainThreads(benchmark::State& state) {
    TimeThreads(state, [&](BenchScene& scene) { return MakeRain(scene, static_cast<int>(state.range(1))); }, RainWarmUp);
}
BENCHMARK(BM_RainThreads)->ArgNames({"threads", "drops"})->Args({2, 16})->Args({2, 64})->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_BasinThreads(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(1));
    const auto depth = static_cast<int32_t>(state.range(2));
    TimeThreads(state, [&](BenchScene& scene) { return MakeBasin(scene, width, depth); }, 1500);
}
BENCHMARK(BM_BasinThreads)
    ->ArgNames({"threads", "width", "depth"})
    ->Args({2, 160, 80})
    ->Args({2, 320, 160})
    ->Args({2, 600, 400})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// What every frame costs regardless of the water: the scene copied to the screen image and the
// screen image copied out, two whole 640 × 480 images.
void BM_TwoImageCopies(benchmark::State& state) {
    std::vector<uint8_t> scene(SceneWidth * SceneHeight, EmptyIndex);
    std::vector<uint8_t> screen(SceneWidth * SceneHeight);
    std::vector<uint8_t> window(SceneWidth * SceneHeight);
    for (auto _ : state) {
        std::memcpy(screen.data(), scene.data(), screen.size());
        benchmark::ClobberMemory();
        std::memcpy(window.data(), screen.data(), window.size());
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(window.data());
    }
}
BENCHMARK(BM_TwoImageCopies)->Unit(benchmark::kMicrosecond);

}  // namespace
