// Reading a 640 × 480 8-bit bitmap file, ours beside SDL2's SDL_LoadBMP on the same file in the
// same run (the file stays in the page cache, so both measure the reader, not the disk). Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=9 and compare medians.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "gfx/image_files.h"
#include "gfx/surface.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A noise picture saved once per process with SaveBmp: the classic layout, rows at 1078.
const std::string& TestFile() {
    static const std::string name = [] {
        std::string path = "/tmp/ondrel-image-bench-" + std::to_string(getpid()) + ".bmp";
        std::vector<uint8_t> pixels(size_t{kWidth} * kHeight);
        std::mt19937 random(2024);
        for (uint8_t& p : pixels) p = static_cast<uint8_t>(random());
        if (!SaveBmp(path.c_str(), pixels.data(), kWidth, kHeight)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::atexit([] { std::remove(TestFile().c_str()); });
        return path;
    }();
    return name;
}

void BM_LoadBmp(benchmark::State& state) {
    const std::string& name = TestFile();
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        HBITMAP bitmap = LoadBmp(name.c_str(), &pixels);
        if (!bitmap) {
            state.SkipWithError("LoadBmp failed");
            return;
        }
        benchmark::DoNotOptimize(pixels);
        DeleteObject(bitmap);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_LoadBmp);

void BM_SdlLoadBmp(benchmark::State& state) {
    const std::string& name = TestFile();
    for (auto _ : state) {
        SDL_Surface* surface = SDL_LoadBMP(name.c_str());
        if (!surface) {
            state.SkipWithError("SDL_LoadBMP failed");
            return;
        }
        benchmark::DoNotOptimize(surface->pixels);
        SDL_FreeSurface(surface);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_SdlLoadBmp);

}  // namespace
