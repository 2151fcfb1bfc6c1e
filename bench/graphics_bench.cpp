// Whole-image costs of a 640 × 480 frame: clearing, copying, the eraser's disk, and the one
// conversion to 32-bit colour when a surface is shown, each beside a plain baseline (memset,
// memcpy, SDL2's own 8-to-32-bit blit) measured in the same run.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bench/thread_clock.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/gdi_internal.h"
#include "platform/headless.h"
#include "win/window.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr size_t kBytes = size_t{kWidth} * kHeight;

void FillNoise(uint8_t* bytes, size_t count) {
    std::mt19937 random(12345);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(random());
}

void Per(benchmark::State& state, size_t bytesPerIteration) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytesPerIteration));
}

void BM_SurfaceClear(benchmark::State& state) {
    Surface s(kWidth, kHeight);
    uint8_t colour = 0;
    for (auto _ : state) {
        s.Clear(colour++);
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);
}
BENCHMARK(BM_SurfaceClear);

void BM_Memset(benchmark::State& state) {
    std::vector<uint8_t> bytes(kBytes);
    uint8_t colour = 0;
    for (auto _ : state) {
        std::memset(bytes.data(), colour++, bytes.size());
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);
}
BENCHMARK(BM_Memset);

void BM_CopySurface(benchmark::State& state) {
    Surface scene(kWidth, kHeight), screen(kWidth, kHeight);
    FillNoise(scene.GetPixels(), kBytes);
    for (auto _ : state) {
        CopySurface(&screen, &scene);
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);
}
BENCHMARK(BM_CopySurface);

void BM_Memcpy(benchmark::State& state) {
    // Source and target in one block, 2 KB apart modulo a page: two blocks from the allocator can
    // land 16 bytes apart modulo a page, where some machines' memcpy (rep movsb) runs ten times
    // slower, and that is no floor.
    std::vector<uint8_t> block(2 * kBytes + 4096);
    uint8_t* from = block.data();
    uint8_t* to = block.data() + kBytes + 2048;
    FillNoise(from, kBytes);
    for (auto _ : state) {
        std::memcpy(to, from, kBytes);
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);
}
BENCHMARK(BM_Memcpy);

// Bytes a disk of radius r covers, counted the way FillCircle walks it (clipped to 640 × 480
// around the centre of the image).
size_t DiskBytes(int r) {
    Surface s(kWidth, kHeight);
    s.Clear(0);
    FillCircle(&s, kWidth / 2, kHeight / 2, r, 1);
    size_t count = 0;
    for (size_t i = 0; i < kBytes; ++i) count += s.GetPixels()[i];
    return count;
}

void BM_FillCircle(benchmark::State& state) {
    const int r = static_cast<int>(state.range(0));
    Surface s(kWidth, kHeight);
    uint8_t colour = 0;
    for (auto _ : state) {
        FillCircle(&s, kWidth / 2, kHeight / 2, r, colour++);
        benchmark::ClobberMemory();
    }
    Per(state, DiskBytes(r));
}
BENCHMARK(BM_FillCircle)->Arg(10)->Arg(300);

// One memset of as many bytes as the disk covers: the floor for filling it.
void BM_MemsetDiskBytes(benchmark::State& state) {
    const size_t bytes = DiskBytes(static_cast<int>(state.range(0)));
    std::vector<uint8_t> buffer(kBytes);
    uint8_t colour = 0;
    for (auto _ : state) {
        std::memset(buffer.data(), colour++, bytes);
        benchmark::ClobberMemory();
    }
    Per(state, bytes);
}
BENCHMARK(BM_MemsetDiskBytes)->Arg(10)->Arg(300);

// The 8-to-32-bit conversion alone: every row of a 640 × 480 image through a 256-entry table.
void BM_ConvertRows8To32(benchmark::State& state) {
    std::vector<uint8_t> indices(kBytes);
    FillNoise(indices.data(), kBytes);
    std::vector<uint32_t> out(kBytes);
    uint32_t lut[256];
    for (uint32_t i = 0; i < 256; ++i) lut[i] = i * 0x010101u;
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y)
            gdi::ConvertRow8To32(indices.data() + size_t{static_cast<uint32_t>(y)} * kWidth,
                                 out.data() + size_t{static_cast<uint32_t>(y)} * kWidth, kWidth, lut);
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);  // source bytes; four times as many are written
}
BENCHMARK(BM_ConvertRows8To32);

// Present of a 640 × 480 surface into a 640 × 480 window of the headless driver, the same frame
// every time, as when nothing moved: DCs, BitBlt (which finds nothing to convert) and the
// hand-over to the driver. Timed in turns with one memcpy of the surface's bytes (laid out as in
// BM_Memcpy), so that `ratio_memcpy` compares the two on the same machine at the same moment.
void BM_Present(benchmark::State& state) {
    headless::Reset();
    auto* window = new Window("graphics bench", kWidth, kHeight, true, nullptr, false);
    Surface s(kWidth, kHeight);
    FillNoise(s.GetPixels(), kBytes);
    std::vector<uint8_t> block(2 * kBytes + 4096);
    uint8_t* from = block.data();
    uint8_t* to = block.data() + kBytes + 2048;
    FillNoise(from, kBytes);
    constexpr int kCalls = 16;
    double presents = 0, copies = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            s.Present(window);
            benchmark::ClobberMemory();
        }
        const double t1 = ThreadSeconds();
        for (int i = 0; i < kCalls; ++i) {
            std::memcpy(to, from, kBytes);
            benchmark::ClobberMemory();
        }
        const double t2 = ThreadSeconds();
        presents += t1 - t0;
        copies += t2 - t1;
        state.SetIterationTime((t1 - t0) / kCalls);
    }
    Per(state, kBytes);
    const double calls = static_cast<double>(state.iterations()) * kCalls;
    state.counters["memcpy_ns"] = copies / calls * 1e9;
    state.counters["ratio_memcpy"] = presents / copies;
    delete window;
    headless::Reset();
}
BENCHMARK(BM_Present)->UseManualTime();

// SDL2's own blit of an 8-bit palettized surface onto an ARGB8888 one of the same size.
void BM_SdlBlit8To32(benchmark::State& state) {
    SDL_Surface* from = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!from || !to) {
        state.SkipWithError("SDL could not create the surfaces");
        return;
    }
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = SDL_Color{static_cast<Uint8>(i), static_cast<Uint8>(255 - i), static_cast<Uint8>(i * 7), 255};
    SDL_SetPaletteColors(from->format->palette, colours, 0, 256);
    SDL_LockSurface(from);
    for (int y = 0; y < kHeight; ++y) FillNoise(static_cast<uint8_t*>(from->pixels) + y * from->pitch, kWidth);
    SDL_UnlockSurface(from);
    for (auto _ : state) {
        SDL_BlitSurface(from, nullptr, to, nullptr);
        benchmark::ClobberMemory();
    }
    Per(state, kBytes);
    SDL_FreeSurface(from);
    SDL_FreeSurface(to);
}
BENCHMARK(BM_SdlBlit8To32);

}  // namespace
