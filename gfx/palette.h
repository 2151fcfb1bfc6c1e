// The shape of a palette as the system keeps it, the colour cube that stands in for the process
// palette while there is none, and the names of the default palette's colours.
#pragma once

#include <cstdint>

// A palette is 256 entries of three bytes, red, green, blue, entry i at byte 3i: the process
// palette, the scene pack's first part, the colour table read from a bitmap file.
constexpr int32_t kPaletteEntries = 256;
constexpr int32_t kPaletteBytes = 3 * kPaletteEntries;

// One colour of the 3-3-2 cube.
struct CubeColour {
    // Each from 0 to 255.
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

// The indices of the default palette (media/palette.txt: the colour table of Media/Sprites.bmp,
// installed with Ondrel, and the palette of Data0.cdf). They are its colours only once it is the
// process palette (LoadPaletteFromBmp(".\\Media\\Sprites.bmp")), and a surface takes its colours
// when it is made: load the palette first, then make surfaces. Before that the 3-3-2 cube stands in,
// where kYellow (14) is (0, 109, 170).
namespace colour {
// The sixteen VGA colours: 0, 1 and 15 are also the demonstration's wall, water and empty.
constexpr uint8_t kBlack = 0, kBlue = 1, kGreen = 2, kCyan = 3, kRed = 4, kMagenta = 5, kBrown = 6, kLightGrey = 7,
                  kDarkGrey = 8, kLightBlue = 9, kBrightGreen = 10, kBrightCyan = 11, kBrightRed = 12,
                  kBrightMagenta = 13, kYellow = 14, kWhite = 15;
// The first index of each ramp, which runs dark to light: grey 16-31 (black to white), red 32-41,
// orange 43-47, and 16 entries each for the rest (fire 240-255: embers to white heat).
constexpr uint8_t kGreyRamp = 16, kRedRamp = 32, kOrangeRamp = 43, kGreenRamp = 48, kWaterRamp = 64, kCyanRamp = 80,
                  kGoldRamp = 96, kPurpleRamp = 112, kEarthRamp = 128, kSandRamp = 144, kTealRamp = 160,
                  kVioletRamp = 176, kFireRamp = 240;
// Two single colours: the text boxes' fill and the demonstration's frame-skip text.
constexpr uint8_t kSilver = 195, kCrimson = 233;
}  // namespace colour
