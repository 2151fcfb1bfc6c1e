// A loaded bitmap file shows in a window in the process palette's colours, read back from the
// window's client framebuffer of the headless display driver.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/gfx_image.h"
#include "tests/support/image_bmp_builder.h"
#include "tests/support/io_temp_dir.h"
#include "win/window.h"

namespace {

using gfxtest::TestPalette;

class ImageFiles : public OpenWindowsTest {
protected:
    // What a window shows of the surface: its colours as 0xRRGGBB, top row first.
    headless::Image Shown(Surface& s, int width) {
        HWND hwnd = OpenWindow("image", width, s.height);
        s.Present(windows.back());
        return headless::ReadClient(hwnd);
    }
    IoTempDir dir;
};

TEST_F(ImageFiles, ALoadedImageTakesTheProcessPaletteNotItsOwnTable) {
    std::vector<uint8_t> palette = TestPalette();
    ASSERT_TRUE(SetPalette(palette.data()));
    std::string name = dir.File("table.bmp");
    WriteBytes(name, BmpFile{}.Build());  // its table is BmpFile's colours
    Surface s(name.c_str());
    ASSERT_NE(s.pixels, nullptr);
    headless::Image shown = Shown(s, 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            int i = BmpFile::Pixel(x, y);
            uint32_t expected = palette[3 * i] << 16 | palette[3 * i + 1] << 8 | palette[3 * i + 2];
            EXPECT_EQ(shown.At(x, y), expected) << x << ", " << y;
        }
}

}  // namespace
