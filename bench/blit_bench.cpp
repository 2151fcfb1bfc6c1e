// The blitters beside the nearest operation of Allegro 4 on 8-bit memory bitmaps, measured in the
// same run on the same sizes and the same pixels: each name "<operation>/ondrel" has a partner
// "<operation>/allegro", and "<operation>/ratio" times the two in alternating batches and reports
// ours over theirs. Targets are 640 × 480; sprites are discs of noise on a transparent ground
// (5 for us, 0 for Allegro); patterns are opaque noise.
//
// Compare medians, interleaved, for example:
//   blit_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//              --benchmark_enable_random_interleaving=true
// or only the ratios: blit_bench --benchmark_filter=ratio

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/allegro_peer.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr uint8_t kOurHole = 5;
constexpr uint8_t kTheirHole = 0;

// The pictures both sides draw, as colour indices; `hole` marks transparent cells.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> cells;
    std::vector<bool> hole;
};

// Indices 16 to 254: neither side's transparent index nor our tint slot.
Picture Noise(int width, int height, bool disc, uint32_t seed) {
    std::mt19937 random(seed);
    Picture p{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height)),
              std::vector<bool>(static_cast<size_t>(width * height))};
    const double r = width / 2.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y * width + x);
            p.cells[i] = static_cast<uint8_t>(16 + random() % 239);
            const double dx = x + 0.5 - r, dy = y + 0.5 - r;
            p.hole[i] = disc && dx * dx + dy * dy > r * r;
        }
    return p;
}

// Everything both sides draw with, built once.
struct Scene {
    enum SpriteNumber : int16_t { Disc32, Disc64, Tile8, Tile32 };

    Scene() {
        const Picture pictures[] = {Noise(32, 32, true, 1), Noise(64, 64, true, 2), Noise(8, 8, false, 3),
                                    Noise(32, 32, false, 4)};
        // Our sheet: the pictures side by side with their markers, through a bitmap file.
        int sheetWidth = 0;
        for (const Picture& p : pictures) sheetWidth += p.width + 2;
        Surface image(sheetWidth, 66);
        image.Clear(kOurHole);
        int left = 1;
        for (const Picture& p : pictures) {
            SetPixel(&image, left - 1, 0, 12);
            SetPixel(&image, left + p.width, 0, 11);
            SetPixel(&image, left + p.width, p.height + 1, 11);
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) {
                    const size_t i = static_cast<size_t>(y * p.width + x);
                    SetPixel(&image, left + x, 1 + y, p.hole[i] ? kOurHole : p.cells[i]);
                }
            left += p.width + 2;
        }
        const std::filesystem::path file =
            std::filesystem::temp_directory_path() / ("ondrel-blit-bench-" + std::to_string(std::random_device()()) + ".bmp");
        image.SaveToFile(file.string().c_str());
        sheet = std::make_unique<SpriteSheet>(file.string().c_str());
        std::error_code ignored;
        std::filesystem::remove(file, ignored);

        const Picture screen = Noise(kWidth, kHeight, false, 5);
        source.CopyFromBuffer(screen.cells.data());
        target.CopyFromBuffer(screen.cells.data());

        if (!allegro_peer::Start()) return;
        theirSource = allegro_peer::Create(kWidth, kHeight);
        theirTarget = allegro_peer::Create(kWidth, kHeight);
        for (const Picture& p : pictures) theirSprites.push_back(allegro_peer::Create(p.width, p.height));
        for (allegro_peer::Bitmap* b : {theirSource, theirTarget})
            for (int y = 0; b && y < kHeight; ++y)
                std::copy_n(&screen.cells[static_cast<size_t>(y * kWidth)], kWidth, allegro_peer::Row(b, y));
        for (size_t k = 0; k < theirSprites.size(); ++k) {
            const Picture& p = pictures[k];
            for (int y = 0; theirSprites[k] && y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) {
                    const size_t i = static_cast<size_t>(y * p.width + x);
                    allegro_peer::Row(theirSprites[k], y)[x] = p.hole[i] ? kTheirHole : p.cells[i];
                }
        }
    }

    bool Ready() const {
        bool ready = sheet && sheet->FrameCount(Tile32) == 1 && theirSource && theirTarget;
        for (allegro_peer::Bitmap* b : theirSprites) ready = ready && b;
        return ready;
    }

    Surface source{kWidth, kHeight};
    Surface target{kWidth, kHeight};
    std::unique_ptr<SpriteSheet> sheet;
    allegro_peer::Bitmap* theirSource = nullptr;
    allegro_peer::Bitmap* theirTarget = nullptr;
    std::vector<allegro_peer::Bitmap*> theirSprites;  // by our sprite numbers
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

// Registers "<name>/ondrel" and "<name>/allegro"; each body is one operation, `cells` the
// target cells it covers, counted as bytes processed. A third entry, "<name>/ratio", times the
// two in alternating batches inside one run, so that both meet the same load on a shared
// machine, and reports the median batch time of each (`ondrel_ns`, `allegro_ns`, per operation)
// and `ratio`, ours over theirs: below 1 is faster.
void Pair(const std::string& name, int64_t cells, std::function<void(Scene&)> ours,
          std::function<void(Scene&)> theirs) {
    auto run = [cells](std::function<void(Scene&)> body) {
        return [cells, body](benchmark::State& state) {
            Scene& scene = TheScene();
            if (!scene.Ready()) {
                state.SkipWithError("the scene could not be built");
                return;
            }
            for (auto _ : state) {
                body(scene);
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(state.iterations() * cells);
        };
    };
    benchmark::RegisterBenchmark((name + "/ondrel").c_str(), run(ours));
    benchmark::RegisterBenchmark((name + "/allegro").c_str(), run(theirs));
    benchmark::RegisterBenchmark((name + "/ratio").c_str(), [ours, theirs](benchmark::State& state) {
        Scene& scene = TheScene();
        if (!scene.Ready()) {
            state.SkipWithError("the scene could not be built");
            return;
        }
        // A batch long enough to time well, sized once from a trial of ours.
        using Clock = std::chrono::steady_clock;
        auto timeBatch = [&scene](const std::function<void(Scene&)>& body, int count) {
            const auto start = Clock::now();
            for (int i = 0; i < count; ++i) body(scene);
            benchmark::ClobberMemory();
            return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
        };
        int batch = 1;
        while (batch < (1 << 20) && timeBatch(ours, batch) * batch < 200000.0) batch *= 2;
        std::vector<double> mine, others;
        for (auto _ : state) {
            mine.push_back(timeBatch(ours, batch));
            others.push_back(timeBatch(theirs, batch));
        }
        auto median = [](std::vector<double> v) {
            std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 2), v.end());
            return v[v.size() / 2];
        };
        const double a = median(mine), b = median(others);
        state.counters["ondrel_ns"] = a;
        state.counters["allegro_ns"] = b;
        state.counters["ratio"] = a / b;
    })->Iterations(201);
}

using allegro_peer::Bitmap;

const bool registered = [] {
    // A 320 × 240 region at the same place on both surfaces.
    Pair("CopyRect_vs_blit/320x240", 320 * 240,
         [](Scene& s) { CopyRect(&s.target, 50, 40, 369, 279, &s.source); },
         [](Scene& s) { allegro_peer::Blit(s.theirSource, s.theirTarget, 50, 40, 320, 240); });

    Pair("StretchCopy_vs_stretch_blit/enlarge_320x240_to_640x480", kWidth * kHeight,
         [](Scene& s) { StretchCopy(&s.target, 0, 0, 319, 239, 0, 0, 639, 479, &s.source); },
         [](Scene& s) { allegro_peer::StretchBlit(s.theirSource, s.theirTarget, 0, 0, 320, 240, 0, 0, 640, 480); });
    Pair("StretchCopy_vs_stretch_blit/shrink_640x480_to_320x240", 320 * 240,
         [](Scene& s) { StretchCopy(&s.target, 0, 0, 639, 479, 0, 0, 319, 239, &s.source); },
         [](Scene& s) { allegro_peer::StretchBlit(s.theirSource, s.theirTarget, 0, 0, 640, 480, 0, 0, 320, 240); });

    struct Flip {
        const char* name;
        bool x, y;
        void (*theirs)(Bitmap*, Bitmap*, int, int);
    };
    const Flip flips[] = {{"plain", false, false, allegro_peer::DrawSprite},
                          {"flipX_vs_h_flip", true, false, allegro_peer::DrawSpriteHFlip},
                          {"flipY_vs_v_flip", false, true, allegro_peer::DrawSpriteVFlip},
                          {"flipXY_vs_vh_flip", true, true, allegro_peer::DrawSpriteVHFlip}};
    for (int16_t sprite : {int16_t{Scene::Disc32}, int16_t{Scene::Disc64}}) {
        const int size = sprite == Scene::Disc32 ? 32 : 64;
        for (const Flip& f : flips)
            Pair("DrawSprite_vs_draw_sprite/" + std::to_string(size) + "/" + f.name, size * size,
                 [sprite, f](Scene& s) {
                     DrawSprite(s.sheet.get(), 300, 200, sprite, 0, &s.target, f.x, f.y, false, 15);
                 },
                 [sprite, f](Scene& s) { f.theirs(s.theirTarget, s.theirSprites[static_cast<size_t>(sprite)], 300, 200); });
    }

    struct Turn {
        float degrees, scale;
    };
    for (Turn t : {Turn{30, 1}, Turn{30, 1.5f}, Turn{90, 1}, Turn{0, 2}})
        for (int16_t sprite : {int16_t{Scene::Disc32}, int16_t{Scene::Disc64}}) {
            const int size = sprite == Scene::Disc32 ? 32 : 64;
            const auto covered = static_cast<int64_t>(size * size * t.scale * t.scale);
            char name[96];
            std::snprintf(name, sizeof name, "DrawSpriteRotated_vs_rotate_scaled_sprite/%d/%gdeg_x%g", size,
                          static_cast<double>(t.degrees), static_cast<double>(t.scale));
            Pair(name, covered,
                 [sprite, t](Scene& s) {
                     DrawSpriteRotated(s.sheet.get(), 320, 240, sprite, 0, &s.target, t.degrees, t.scale);
                 },
                 // Allegro turns clockwise; the direction does not change the work.
                 [sprite, t](Scene& s) {
                     allegro_peer::RotateScaledSprite(s.theirTarget, s.theirSprites[static_cast<size_t>(sprite)], 320,
                                                      240, -t.degrees, t.scale);
                 });
        }

    for (int16_t tile : {int16_t{Scene::Tile8}, int16_t{Scene::Tile32}}) {
        const int size = tile == Scene::Tile8 ? 8 : 32;
        Pair("TileSprite_vs_pattern_rectfill/" + std::to_string(size) + "_over_320x240", 320 * 240,
             [tile](Scene& s) { TileSprite(s.sheet.get(), 50, 40, 369, 279, tile, 0, &s.target); },
             [tile](Scene& s) {
                 allegro_peer::PatternFill(s.theirTarget, s.theirSprites[static_cast<size_t>(tile)], 50, 40, 369, 279);
             });
    }
    return true;
}();

}  // namespace
