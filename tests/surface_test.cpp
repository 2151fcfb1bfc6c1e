// Surfaces: empty and blank ones, clearing, copies, palettes and presenting to a window.
#include "gfx/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "gfx/draw.h"
#include "platform/headless.h"
#include "tests/support/gfx_image.h"
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

TEST_F(SurfaceTest, EmptySurfaceIsHarmless) {
    Surface s;
    int32_t w = -1, h = -1;
    s.GetSize(&w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s.bitmap, nullptr);
    EXPECT_EQ(s.GetPixels(), nullptr);
    EXPECT_EQ(s.transparentIndex, 0);
    EXPECT_EQ(s.clipLeft, 0);
    EXPECT_EQ(s.clipTop, 0);
    EXPECT_EQ(s.clipRight, -1);
    EXPECT_EQ(s.clipBottom, -1);
    s.Clear(7);
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_FALSE(s.CopyToBuffer(buffer));
    EXPECT_FALSE(s.CopyFromBuffer(buffer));
    EXPECT_EQ(buffer[0], 1);
}

TEST_F(SurfaceTest, BlankSurfaceIsPaddedToPitchAndClearFillsThePadding) {
    Surface s(3, 2);
    ASSERT_NE(s.GetPixels(), nullptr);
    int32_t w = 0, h = 0;
    s.GetSize(&w, &h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(s.clipRight, 3);
    EXPECT_EQ(s.clipBottom, 1);
    EXPECT_TRUE(s.ReleasePixels(s.GetPixels()));

    s.Clear(7);
    uint8_t out[10];
    std::memset(out, 0xEE, sizeof out);
    ASSERT_TRUE(s.CopyToBuffer(out));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], 7) << "byte " << i;
    EXPECT_EQ(out[8], 0xEE);  // exactly pitch × height bytes
    EXPECT_EQ(out[9], 0xEE);
}

TEST_F(SurfaceTest, ClearFillsOnlyTheClipRectangle) {
    struct Case {
        int32_t left, top, right, bottom;
    };
    // A block inside the image, and whole rows that leave the first and last rows alone.
    for (const Case c : {Case{10, 10, 19, 19}, Case{0, 3, 31, 20}, Case{-4, 1, 40, 1}}) {
        Surface s(32, 24);
        s.Clear(1);
        SetClip(&s, c.left, c.top, c.right, c.bottom);
        s.Clear(7);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) {
                bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                ASSERT_EQ(GetPixel(&s, x, y), inside ? 7 : 1) << "(" << x << ", " << y << ") clip from " << c.left << ", " << c.top;
            }
    }
}

TEST_F(SurfaceTest, SizesThatCannotBeAllocatedWholeGiveAnEmptySurface) {
    struct Case {
        int32_t width, height;
    };
    // 65536 × 65537 bytes would wrap to 65536 in 32 bits; 46341² is just above INT32_MAX.
    const Case cases[] = {{65536, 65537}, {46341, 46341}, {INT32_MAX, 1}, {0, 5}, {5, 0}, {-3, 2}, {3, -2},
                          {3, INT32_MIN}};
    for (const Case& c : cases) {
        Surface s(c.width, c.height);
        EXPECT_EQ(s.GetPixels(), nullptr) << c.width << " x " << c.height;
        EXPECT_EQ(s.bitmap, nullptr);
        EXPECT_EQ(s.pitch, 0);
        EXPECT_EQ(s.height, 0);
        EXPECT_EQ(s.clipRight, -1);
        s.Clear(3);  // must write nothing
    }
}

TEST_F(SurfaceTest, BufferCopiesMoveExactlyPitchTimesHeightBytes) {
    Surface s(5, 3);  // pitch 8: 24 bytes
    std::vector<uint8_t> source(30);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(100 + i);
    EXPECT_FALSE(s.CopyFromBuffer(nullptr));
    ASSERT_TRUE(s.CopyFromBuffer(source.data()));
    EXPECT_EQ(GetPixel(&s, 0, 0), 100);
    EXPECT_EQ(GetPixel(&s, 7, 0), 107);
    EXPECT_EQ(GetPixel(&s, 7, 2), 123);

    std::vector<uint8_t> out(30, 0xEE);
    EXPECT_FALSE(s.CopyToBuffer(nullptr));
    ASSERT_TRUE(s.CopyToBuffer(out.data()));
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 24, source.begin()));
    EXPECT_EQ(out[24], 0xEE);
}

TEST_F(SurfaceTest, CopySurfaceOfOneSizeMakesTheImagesIdentical) {
    Surface scene(64, 48), screen(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) SetPixel(&scene, x, y, static_cast<uint8_t>(x * 3 + y * 7));
    screen.Clear(15);
    CopySurface(&screen, &scene);
    std::vector<uint8_t> a(64 * 48), b(64 * 48);
    scene.CopyToBuffer(a.data());
    screen.CopyToBuffer(b.data());
    EXPECT_EQ(a, b);
}

TEST_F(SurfaceTest, CopySurfaceBetweenSizesCopiesTheCommonTopLeftPart) {
    const gfxtest::Legend legend{{'.', 0}, {'#', 9}, {'o', 5}};
    {
        Surface wide(8, 3), narrow(4, 2);
        wide.Clear(0);
        narrow.Clear(9);
        CopySurface(&wide, &narrow);
        EXPECT_TRUE(gfxtest::SurfaceShows(wide, {"####....", "####....", "........"}, legend));
        wide.Clear(5);
        narrow.Clear(0);
        CopySurface(&narrow, &wide);
        EXPECT_TRUE(gfxtest::SurfaceShows(narrow, {"oooo", "oooo"}, legend));
    }
    {
        Surface tall(4, 4), shortOne(4, 2);  // one pitch, different heights
        tall.Clear(0);
        shortOne.Clear(9);
        CopySurface(&tall, &shortOne);
        EXPECT_TRUE(gfxtest::SurfaceShows(tall, {"####", "####", "....", "...."}, legend));
    }
    Surface empty, some(4, 1);
    some.Clear(9);
    CopySurface(&some, &empty);
    CopySurface(&empty, &some);
    EXPECT_EQ(GetPixel(&some, 0, 0), 9);
}

TEST_F(SurfaceTest, PaletteFunctions) {
    uint8_t buffer[768];
    EXPECT_FALSE(CopyPalette(buffer));
    EXPECT_FALSE(SetPalette(nullptr));
    EXPECT_FALSE(CopyPalette(buffer));

    uint8_t rgb[768];
    for (int i = 0; i < 768; ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(SetPalette(rgb));
    EXPECT_FALSE(CopyPalette(nullptr));
    std::memset(buffer, 0, sizeof buffer);
    ASSERT_TRUE(CopyPalette(buffer));
    EXPECT_EQ(std::memcmp(buffer, rgb, 768), 0);

    EXPECT_TRUE(SetDisplayFormat(320, 200, 8));
    EXPECT_EQ(appGlobals.screenWidth, 320);
    EXPECT_EQ(appGlobals.screenHeight, 200);
    EXPECT_EQ(appGlobals.screenBits, 8);
    EXPECT_EQ(appGlobals.processPalette, nullptr);
    EXPECT_FALSE(CopyPalette(buffer));
}

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

// The colour of index i in the 3-3-2 cube that surfaces take without a process palette.
uint32_t CubeColour(uint8_t i) { return Rgb(((i >> 5) & 7) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 85); }

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

TEST_F(SurfaceTest, TransparentIndexIsStored) {
    Surface s(4, 4);
    EXPECT_EQ(s.transparentIndex, 0);
    s.SetTransparentIndex(5);
    EXPECT_EQ(s.transparentIndex, 5);
}

}  // namespace
