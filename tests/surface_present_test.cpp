// Presenting surfaces to a window, read back from the window's client framebuffer of the headless
// display driver: the true width, the colour cube, the palette a surface was made with.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/globals.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "win/window.h"

namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        SetDisplayFormat(640, 480, 8);  // no process palette: the 3-3-2 cube
    }
    void TearDown() override {
        for (Window* w : windows) delete w;
        SetDisplayFormat(0, 0, 0);
    }
    // A window whose client area starts black (0x000000).
    HWND OpenWindow(const char* name, int width, int height) {
        windows.push_back(new Window(name, width, height, true, nullptr, false));
        return static_cast<HWND>(windows.back()->GetHandle(kWindowHandlerKey));
    }
    std::vector<Window*> windows;
};

TEST_F(SurfaceTest, PresentShowsTheTrueWidthNotThePitch) {
    HWND hwnd = OpenWindow("present 3x2", 6, 3);
    int shownWidth = 0;
    std::vector<uint32_t> shown;
    headless::SetShowHook([&](HWND h, const uint32_t* pixels, int width, int height) {
        if (h != hwnd) return;
        shownWidth = width;
        shown.assign(pixels, pixels + width * height);
    });
    int showsBefore = headless::ShowCount(hwnd);

    Surface s(3, 2);
    ASSERT_EQ(s.pitch, 4);
    // Row 0: red, green, blue, then white in the padding column; row 1: white, black, white, white.
    const uint8_t image[8] = {224, 28, 3, 255, 255, 0, 255, 255};
    ASSERT_TRUE(s.CopyFromBuffer(image));
    s.Present(windows.back());

    const uint32_t white = Rgb(255, 255, 255), black = 0;
    const uint32_t expected[3][6] = {
        {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), black, black, black},
        {white, black, white, black, black, black},
        {black, black, black, black, black, black},
    };
    headless::Image client = headless::ReadClient(hwnd);
    ASSERT_EQ(client.width, 6);
    ASSERT_EQ(client.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(client.At(x, y), expected[y][x]) << "(" << x << ", " << y << ")";

    // The driver was handed the same picture.
    EXPECT_EQ(headless::ShowCount(hwnd), showsBefore + 1);
    ASSERT_EQ(shownWidth, 6);
    EXPECT_EQ(shown, client.pixels);
    headless::SetShowHook(nullptr);
}

TEST_F(SurfaceTest, WithoutAPaletteNewSurfacesTakeTheColourCube) {
    HWND hwnd = OpenWindow("cube", 8, 1);
    Surface s(6, 1);
    const uint8_t indices[8] = {0, 255, 3, 28, 224, 73, 0, 0};
    ASSERT_TRUE(s.CopyFromBuffer(indices));
    s.Present(windows.back());
    const uint32_t expected[6] = {Rgb(0, 0, 0),   Rgb(255, 255, 255), Rgb(0, 0, 255),
                                  Rgb(0, 255, 0), Rgb(255, 0, 0),     Rgb(72, 72, 85)};
    headless::Image client = headless::ReadClient(hwnd);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(client.At(x, 0), expected[x]) << "index " << int{indices[x]};
}

TEST_F(SurfaceTest, SetPaletteColoursOnlySurfacesCreatedAfterIt) {
    HWND hwnd = OpenWindow("palette", 4, 1);
    Surface before(4, 1);
    uint8_t rgb[768];
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(i);
        rgb[3 * i + 1] = 17;
        rgb[3 * i + 2] = static_cast<uint8_t>(255 - i);
    }
    ASSERT_TRUE(SetPalette(rgb));
    Surface after(4, 1);
    before.Clear(3);
    after.Clear(3);

    before.Present(windows.back());
    EXPECT_EQ(headless::ReadClient(hwnd).At(0, 0), Rgb(0, 0, 255));  // cube blue
    after.Present(windows.back());
    EXPECT_EQ(headless::ReadClient(hwnd).At(0, 0), Rgb(3, 17, 252));
}

TEST_F(SurfaceTest, PresentOfAnEmptySurfaceOrToNoWindowDoesNothing) {
    HWND hwnd = OpenWindow("nothing", 2, 1);
    int shows = headless::ShowCount(hwnd);
    Surface empty;
    empty.Present(windows.back());
    Surface s(2, 1);
    s.Present(nullptr);
    EXPECT_EQ(headless::ShowCount(hwnd), shows);
}

}  // namespace
