// The shape of a palette as the system keeps it, and the colour cube that stands in for the
// process palette while there is none.
#pragma once

#include <cstdint>

// A palette is 256 entries of three bytes, red, green, blue, entry i at byte 3i: the process
// palette, the scene pack's first part, the colour table read from a bitmap file.
constexpr int32_t kPaletteEntries = 256;
constexpr int32_t kPaletteBytes = 3 * kPaletteEntries;

// One colour of the 3-3-2 cube.
struct CubeColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// Entry `index` of the 3-3-2 colour cube: three bits of red, three of green, two of blue, each
// spread over 0..255 with truncating division (red and green 0, 36, 72, ..., 255; blue 0, 85,
// 170, 255).
constexpr CubeColour CubeColourOf(int index) {
    return CubeColour{static_cast<uint8_t>(((index >> 5) & 7) * 255 / 7),
                      static_cast<uint8_t>(((index >> 2) & 7) * 255 / 7), static_cast<uint8_t>((index & 3) * 85)};
}
