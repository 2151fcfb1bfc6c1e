// Surfaces: empty and blank ones, clearing, copies and palettes. Presenting to a window is in
// surface_present_test.cpp.
#include "gfx/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "gfx/draw.h"
#include "tests/support/gfx_image.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override { SetDisplayFormat(640, 480, 8); }  // no process palette: the 3-3-2 cube
    void TearDown() override { SetDisplayFormat(0, 0, 0); }
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
    // Read back byte by byte against the pattern itself, not against another read of the scene.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(screen.pixels[y * screen.pitch + x], static_cast<uint8_t>(x * 3 + y * 7)) << x << ", " << y;
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

TEST_F(SurfaceTest, TransparentIndexIsStored) {
    Surface s(4, 4);
    EXPECT_EQ(s.transparentIndex, 0);
    s.SetTransparentIndex(5);
    EXPECT_EQ(s.transparentIndex, 5);
}

}  // namespace
