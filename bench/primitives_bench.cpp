// Our drawing primitives beside Allegro 4's (8-bit memory bitmaps, no display) and beside the
// plain memset that bounds them, timed in turns inside every iteration so that both sides of a
// ratio see the same machine. Counters: `ours_ns` and the peers' times per call, and the ratios
// ours / peer; the benchmark's own time is that of our side's calls in one iteration.
//
// - BM_VerticalLine: a 400-pixel column, FillRect with a one-pixel run against Allegro's vline.
// - BM_FillCircle: a disc of radius 10 (the pen's size) and 200, about the middle of the
//   surface, against Allegro's circlefill. Their rows differ by a cell here and there (another
//   rounding of the outline); the work, one run per row, is the same.
// - BM_Clear: Clear of a whole 640 × 480 surface against one memset of its bytes and against
//   Allegro's clear_to_color.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstring>
#include <vector>

#include "bench/allegro_peer.h"
#include "bench/thread_clock.h"
#include "gfx/draw.h"
#include "gfx/surface.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kCalls = 16;  // per side and iteration, so that reading the clock costs next to nothing

class Peer {
public:
    Peer() : bitmap(allegro_peer::Start() ? allegro_peer::Create(kWidth, kHeight) : nullptr) {}
    ~Peer() { allegro_peer::Destroy(bitmap); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    allegro_peer::Bitmap* bitmap;
};

void Report(benchmark::State& state, const char* peer, double ours, double theirs) {
    const double calls = static_cast<double>(state.iterations()) * kCalls;
    state.counters["ours_ns"] = ours / calls * 1e9;
    state.counters[std::string(peer) + "_ns"] = theirs / calls * 1e9;
    state.counters[std::string("ratio_") + peer] = ours / theirs;
}

void BM_VerticalLine(benchmark::State& state) {
    Peer peer;
    if (!peer.bitmap) {
        state.SkipWithError("Allegro could not make a bitmap");
        return;
    }
    Surface surface(kWidth, kHeight);
    double ours = 0;
    double theirs = 0;
    int column = 0;
    uint8_t colour = 0;
    for (auto _ : state) {
        const int first = column;
        const double t0 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) FillRect(&surface, (first + i) % kWidth, 40, (first + i) % kWidth, 439, colour++);
        benchmark::ClobberMemory();
        const double t1 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) allegro_peer::Vline(peer.bitmap, (first + i) % kWidth, 40, 439, colour++);
        benchmark::ClobberMemory();
        const double t2 = ThreadSeconds();
        column = (first + kCalls) % kWidth;
        ours += t1 - t0;
        theirs += t2 - t1;
        state.SetIterationTime(t1 - t0);
    }
    Report(state, "allegro", ours, theirs);
}
BENCHMARK(BM_VerticalLine)->UseManualTime()->Unit(benchmark::kNanosecond);

void BM_FillCircle(benchmark::State& state) {
    Peer peer;
    if (!peer.bitmap) {
        state.SkipWithError("Allegro could not make a bitmap");
        return;
    }
    Surface surface(kWidth, kHeight);
    const auto r = static_cast<int>(state.range(0));
    double ours = 0;
    double theirs = 0;
    uint8_t colour = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            FillCircle(&surface, kWidth / 2 + i, kHeight / 2, r, colour++);
            benchmark::ClobberMemory();
        }
        const double t1 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            allegro_peer::CircleFill(peer.bitmap, kWidth / 2 + i, kHeight / 2, r, colour++);
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        ours += t1 - t0;
        theirs += t2 - t1;
        state.SetIterationTime(t1 - t0);
    }
    Report(state, "allegro", ours, theirs);
}
BENCHMARK(BM_FillCircle)->Arg(10)->Arg(200)->UseManualTime()->Unit(benchmark::kNanosecond);

void BM_Clear(benchmark::State& state) {
    Peer peer;
    if (!peer.bitmap) {
        state.SkipWithError("Allegro could not make a bitmap");
        return;
    }
    Surface surface(kWidth, kHeight);
    std::vector<uint8_t> bytes(static_cast<size_t>(kWidth) * kHeight);
    double ours = 0;
    double plain = 0;
    double theirs = 0;
    uint8_t colour = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            surface.Clear(colour++);
            benchmark::ClobberMemory();
        }
        const double t1 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            std::memset(bytes.data(), colour++, bytes.size());
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            allegro_peer::Clear(peer.bitmap, colour++);
            benchmark::ClobberMemory();
        }
        const double t3 = ThreadSeconds();
        ours += t1 - t0;
        plain += t2 - t1;
        theirs += t3 - t2;
        state.SetIterationTime(t1 - t0);
    }
    Report(state, "allegro", ours, theirs);
    const double calls = static_cast<double>(state.iterations()) * kCalls;
    state.counters["memset_ns"] = plain / calls * 1e9;
    state.counters["ratio_memset"] = ours / plain;
}
BENCHMARK(BM_Clear)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
