// Presenting surfaces to a window, read back from the window's client framebuffer of the headless
// display driver: the true width, every change (and only that) brought to the window, the colour
// cube, the palette a surface was made with.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/gfx_image.h"
#include "win/window.h"

namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

class SurfaceTest : public OpenWindowsTest {};

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

// The colours of the 3-3-2 cube, which surfaces take without a process palette, for the indices
// drawn here: 3 (0b000'000'11) is full blue, 28 (0b000'111'00) full green, 224 (0b111'000'00)
// full red.
uint32_t CubeColour(uint8_t i) {
    static const std::map<uint8_t, uint32_t> kCube{{3, Rgb(0, 0, 255)}, {28, Rgb(0, 255, 0)}, {224, Rgb(255, 0, 0)}};
    return kCube.at(i);
}

TEST_F(SurfaceTest, EveryPresentShowsTheImageAsItNowIs) {
    // An "F" of index 224 (red in the cube) on 3 (blue), presented again and again while it
    // changes by a pixel, not at all, under text drawn straight into the window, and through
    // other colours.
    HWND hwnd = OpenWindow("present changes", 7, 5);
    std::vector<uint32_t> shown;
    headless::SetShowHook([&](HWND h, const uint32_t* pixels, int width, int height) {
        if (h == hwnd) shown.assign(pixels, pixels + width * height);
    });
    const gfxtest::Legend legend{{'.', 3}, {'#', 224}, {'o', 28}};
    Surface s(7, 5);
    auto draw = [&](const std::vector<std::string>& rows) {
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) SetPixel(&s, x, y, legend.at(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]));
    };
    // The window must show `rows` through `colour`, and the driver must have been handed just that.
    auto expectShown = [&](const std::vector<std::string>& rows, auto colour, const char* when) {
        const headless::Image client = headless::ReadClient(hwnd);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(client.At(x, y), colour(legend.at(rows[static_cast<size_t>(y)][static_cast<size_t>(x)])))
                    << when << ": (" << x << ", " << y << ")";
        EXPECT_EQ(shown, client.pixels) << when;
    };
    const std::vector<std::string> f{".###...", ".#.....", ".##....", ".#.....", ".#....."};
    draw(f);
    s.Present(windows.back());
    expectShown(f, CubeColour, "first present");

    const std::vector<std::string> dotted{".###...", ".#.....", ".##....", ".#.....", ".#...o."};
    draw(dotted);
    s.Present(windows.back());
    expectShown(dotted, CubeColour, "one pixel changed");
    const int shows = headless::ShowCount(hwnd);
    s.Present(windows.back());
    expectShown(dotted, CubeColour, "nothing changed");
    EXPECT_EQ(headless::ShowCount(hwnd), shows + 1) << "an unchanged image is still shown";

    HDC dc = GetDC(hwnd);
    SetTextColor(dc, RGB(1, 2, 3));
    TextOutA(dc, 0, 0, "W", 1);
    ReleaseDC(hwnd, dc);
    ASSERT_NE(headless::ReadClient(hwnd).At(0, 0), CubeColour(3));
    s.Present(windows.back());
    expectShown(dotted, CubeColour, "over text");

    // Same indices, other colours: every row must take them.
    uint8_t rgb[768];
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(255 - i);
        rgb[3 * i + 1] = static_cast<uint8_t>(i / 2);
        rgb[3 * i + 2] = static_cast<uint8_t>(i);
    }
    ASSERT_TRUE(SetPalette(rgb));
    Surface recoloured(7, 5);
    CopySurface(&recoloured, &s);
    recoloured.Present(windows.back());
    auto paletteColour = [](uint8_t i) { return Rgb(255 - i, i / 2, i); };
    expectShown(dotted, paletteColour, "other colours");
    s.Present(windows.back());
    expectShown(dotted, CubeColour, "the first colours again");

    // A new client size starts black; the same image must come back whole.
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    MoveWindow(hwnd, outer.left, outer.top, outerWidth + 1, outerHeight + 1, TRUE);
    MoveWindow(hwnd, outer.left, outer.top, outerWidth, outerHeight, TRUE);
    ASSERT_EQ(headless::ReadClient(hwnd).At(0, 0), 0u);
    s.Present(windows.back());
    expectShown(dotted, CubeColour, "after a resize");
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
