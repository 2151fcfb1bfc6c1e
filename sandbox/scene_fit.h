// How a scene of any size shows in the window's fixed scene area, and in a thumbnail: the same
// rule for both, and its exact inverse for the pointer.
//
// A scene that fits the area shows at the largest whole factor that fits (640 × 480, the
// default, at 1:1 as always; 64 × 48 ten times over); a larger one is reduced to fit, its
// proportions kept (1280 × 720 and 1920 × 1080 as 640 × 360, a half and a third). Both from the
// area's top left, nearest neighbour: the pixel at x of the picture shows the cell
// x × width / shownWidth (rounded down), and a pointer on that pixel means that very cell. A whole
// scene shows at once, so the player always sees where the water goes; a cell a reduced picture
// leaves out is still reached by the brush, whose size is in cells.
#pragma once

#include <algorithm>
#include <cstdint>

namespace sandbox {

// The window's scene area, where a scene of the default size shows at 1:1.
constexpr int32_t kSceneAreaWidth = 640;
constexpr int32_t kSceneAreaHeight = 480;

struct SceneFit {
    int32_t width = 1;  // the scene's cells
    int32_t height = 1;
    int32_t shownWidth = 1;  // the pixels of its picture
    int32_t shownHeight = 1;

    // The cell the pixel at x (y) of the picture shows; outside the picture, the cell it would.
    int32_t CellX(int32_t x) const { return static_cast<int32_t>(int64_t{x} * width / shownWidth); }
    int32_t CellY(int32_t y) const { return static_cast<int32_t>(int64_t{y} * height / shownHeight); }
    // The first pixel whose cell is at or after cell x (y): the pixels showing cell x are
    // PixelX(x) .. PixelX(x + 1) − 1, none when a reduced picture leaves it out.
    int32_t PixelX(int32_t x) const { return static_cast<int32_t>((int64_t{x} * shownWidth + width - 1) / width); }
    int32_t PixelY(int32_t y) const { return static_cast<int32_t>((int64_t{y} * shownHeight + height - 1) / height); }
    bool Shows(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < shownWidth && y < shownHeight; }
};

// The fit of a scene of width × height (both positive) in an area of areaWidth × areaHeight.
inline SceneFit FitScene(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight) {
    SceneFit fit;
    fit.width = std::max(width, 1);
    fit.height = std::max(height, 1);
    if (fit.width <= areaWidth && fit.height <= areaHeight) {
        const int32_t factor = std::min(areaWidth / fit.width, areaHeight / fit.height);
        fit.shownWidth = fit.width * factor;
        fit.shownHeight = fit.height * factor;
    } else if (int64_t{fit.width} * areaHeight >= int64_t{fit.height} * areaWidth) {
        fit.shownWidth = areaWidth;
        fit.shownHeight = static_cast<int32_t>(std::max<int64_t>(int64_t{fit.height} * areaWidth / fit.width, 1));
    } else {
        fit.shownHeight = areaHeight;
        fit.shownWidth = static_cast<int32_t>(std::max<int64_t>(int64_t{fit.width} * areaHeight / fit.height, 1));
    }
    return fit;
}

// The picture of `cells` (width × height, top row first) as `fit` shows it, into `out` (rows
// `pitch` apart, fit.shownWidth × fit.shownHeight written).
inline void DrawFitted(const SceneFit& fit, const uint8_t* cells, uint8_t* out, int32_t pitch) {
    for (int32_t y = 0; y < fit.shownHeight; ++y) {
        const uint8_t* row = cells + static_cast<size_t>(fit.CellY(y)) * static_cast<size_t>(fit.width);
        uint8_t* to = out + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        if (fit.shownWidth == fit.width) {
            std::copy_n(row, fit.width, to);
            continue;
        }
        for (int32_t x = 0; x < fit.shownWidth; ++x) to[x] = row[fit.CellX(x)];
    }
}

}  // namespace sandbox
