// What a menu bar and push buttons cost a presented frame: Present of a 640 × 480 surface into a
// plain window (the view is the client framebuffer itself) and into one with a menu bar and six
// buttons (the view is composed: bar, client copy, buttons), beside a memcpy of the 32-bit client
// (the copy that composing adds) in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/surface.h"
#include "platform/headless.h"
#include "win/button_group.h"
#include "win/window.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void PresentInto(benchmark::State& state, Window* window) {
    Surface s(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) s.GetPixels()[y * s.pitch + x] = static_cast<uint8_t>(x ^ y);
    for (auto _ : state) {
        s.Present(window);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}

void BM_PresentPlainWindow(benchmark::State& state) {
    headless::Reset();
    auto* window = new Window("plain", kWidth, kHeight, true, nullptr, false);
    PresentInto(state, window);
    delete window;
    headless::Reset();
}
BENCHMARK(BM_PresentPlainWindow);

void BM_PresentWindowWithMenuAndButtons(benchmark::State& state) {
    headless::Reset();
    auto* window = new Window("menus", kWidth, kHeight, true, nullptr, false);
    const char* const items[] = {"One", "Two", "Three", nullptr};
    window->AddMenu("File", items);
    window->AddMenu("View", items);
    window->AddMenu("Help", items);
    ButtonGroup buttons(window);
    for (short i = 0; i < 6; ++i) buttons.AddButton(static_cast<short>(10 + i * 100), 440, static_cast<short>(100 + i * 100), 470, "Page", i);
    PresentInto(state, window);
    delete window;
    headless::Reset();
}
BENCHMARK(BM_PresentWindowWithMenuAndButtons);

void BM_MemcpyClient32(benchmark::State& state) {
    std::vector<uint32_t> from(size_t{kWidth} * kHeight, 0x123456), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_MemcpyClient32);

}  // namespace
