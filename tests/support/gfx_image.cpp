// Surfaces as text pictures, and their comparison.
#include "tests/support/gfx_image.h"

#include <algorithm>

#include "gfx/draw.h"
#include "gfx/surface.h"

namespace gfxtest {

std::vector<uint8_t> TestPalette() {
    std::vector<uint8_t> rgb(768);
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(255 - i);
        rgb[3 * i + 1] = static_cast<uint8_t>(i * 7);
        rgb[3 * i + 2] = static_cast<uint8_t>(i / 2 + 40);
    }
    return rgb;
}

std::vector<std::string> Picture(const Surface& surface, int width, int height, const Legend& legend) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            uint8_t value = GetPixel(&surface, x, y);
            char c = '?';
            for (const auto& [symbol, index] : legend)
                if (index == value) c = symbol;
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

::testing::AssertionResult SurfaceShows(const Surface& surface, const std::vector<std::string>& expected,
                                        const Legend& legend) {
    int height = static_cast<int>(expected.size());
    int width = height > 0 ? static_cast<int>(expected[0].size()) : 0;
    std::vector<std::string> actual = Picture(surface, width, height, legend);
    if (actual == expected) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << "\nactual" << std::string(static_cast<size_t>(std::max(width, 6)) - 6 + 3, ' ') << "expected\n";
    for (int y = 0; y < height; ++y) {
        bool differs = actual[static_cast<size_t>(y)] != expected[static_cast<size_t>(y)];
        failure << actual[static_cast<size_t>(y)] << std::string(std::max(width, 6) - width + 3, ' ')
                << expected[static_cast<size_t>(y)] << (differs ? "   <-- row " + std::to_string(y) : "") << "\n";
    }
    return failure;
}

void CheckPictures(const std::vector<PictureCase>& cases, const Legend& legend, uint8_t background) {
    for (const PictureCase& c : cases) {
        Surface s(static_cast<int32_t>(c.expected[0].size()), static_cast<int32_t>(c.expected.size()));
        ASSERT_EQ(s.pitch, static_cast<int32_t>(c.expected[0].size())) << c.name;
        s.Clear(background);
        c.draw(&s);
        EXPECT_TRUE(SurfaceShows(s, c.expected, legend)) << c.name;
    }
}

}  // namespace gfxtest
