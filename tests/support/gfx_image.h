// Comparing small 8-bit images with pictures drawn by hand as text, one character per pixel.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class Surface;

namespace gfxtest {

// A palette unlike the 3-3-2 cube and unlike any fixture's colour table: 768 bytes of red, green,
// blue.
std::vector<uint8_t> TestPalette();

// Which colour index each picture character stands for.
using Legend = std::map<char, uint8_t>;

// The top-left part of `surface` as rows of legend characters ('?' for an index the legend
// lacks), as wide and as high as asked.
std::vector<std::string> Picture(const Surface& surface, int width, int height, const Legend& legend);

// Succeeds when the surface's top-left part equals `expected` (rows of equal length); on a
// mismatch the message shows the actual and the expected picture side by side.
::testing::AssertionResult SurfaceShows(const Surface& surface, const std::vector<std::string>& expected,
                                        const Legend& legend);

// One picture test: what to draw on a fresh surface, and what the surface must show after it.
struct PictureCase {
    const char* name;
    std::function<void(Surface*)> draw;
    std::vector<std::string> expected;
};

// Draws each case on a fresh surface of its picture's size (a multiple of 4 wide, so that the
// picture covers the whole surface) cleared to `background`, and compares.
void CheckPictures(const std::vector<PictureCase>& cases, const Legend& legend, uint8_t background);

}  // namespace gfxtest
