// Bitmap fonts and text: glyph lookup, centring, boxes and their etched frames, numbers, fonts
// from files.
#include "gfx/font.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "tests/support/gfx_image.h"
#include "tests/support/io_temp_dir.h"

namespace {

using Picture = std::vector<std::string>;

constexpr int kGlyphs = 92;
constexpr uint8_t kInkColour = 233;

// A strip of 92 cells, empty but for the glyphs given as pictures ('#' is ink).
std::vector<uint8_t> ArtStrip(int width, int height, const std::vector<std::pair<int, Picture>>& glyphs) {
    std::vector<uint8_t> strip(static_cast<size_t>(kGlyphs * width * height), 0);
    for (const auto& [index, art] : glyphs)
        for (int j = 0; j < height; ++j)
            for (int k = 0; k < width; ++k)
                if (art[static_cast<size_t>(j)][static_cast<size_t>(k)] == '#')
                    strip[static_cast<size_t>(j * kGlyphs * width + index * width + k)] = 1;
    return strip;
}

// A 4 × 5 font with two asymmetric-enough glyphs: A (glyph 0) and B (glyph 1).
BitmapFont& ArtFont() {
    static BitmapFont font(4, 5,
                           ArtStrip(4, 5,
                                    {{0, {".#..", "#.#.", "###.", "#.#.", "#.#."}},
                                     {1, {"##..", "#.#.", "##..", "#.#.", "##.."}}})
                               .data());
    return font;
}

// An 8 × 12 font in which glyph g carries g + 1 in binary along its top row (bit k in column
// k) and nothing else, so that the glyph drawn in a cell can be read back.
BitmapFont& CodeFont() {
    static BitmapFont font = [] {
        std::vector<uint8_t> strip(static_cast<size_t>(kGlyphs * 8 * 12), 0);
        for (int g = 0; g < kGlyphs; ++g)
            for (int k = 0; k < 8; ++k)
                if (((g + 1) >> k) & 1) strip[static_cast<size_t>(g * 8 + k)] = 1;
        return BitmapFont(8, 12, strip.data());
    }();
    return font;
}

constexpr int kNothing = -2;
constexpr int kSolidCell = -1;

// What each of `count` 8 × 12 cells from (x, y) shows in `colour`: nothing, a solid cell, or
// the glyph read from its top row.
std::vector<int> ReadCells(const Surface& s, int x, int y, int count, uint8_t colour) {
    std::vector<int> cells;
    for (int c = 0; c < count; ++c) {
        int inked = 0;
        int code = 0;
        for (int j = 0; j < 12; ++j)
            for (int k = 0; k < 8; ++k)
                if (GetPixel(&s, x + 8 * c + k, y + j) == colour) {
                    ++inked;
                    if (j == 0) code |= 1 << k;
                }
        cells.push_back(inked == 0 ? kNothing : inked == 96 ? kSolidCell : code - 1);
    }
    return cells;
}

using Case = gfxtest::PictureCase;

void Check(const std::vector<Case>& cases, const gfxtest::Legend& legend, uint8_t background) {
    gfxtest::CheckPictures(cases, legend, background);
}

const gfxtest::Legend kText{{'.', 15}, {'#', kInkColour}, {'x', 7}};

TEST(DrawText, PicturesOfTheRules) {
    BitmapFont* font = &ArtFont();
    Check(
        {
            {"ink only: the background of a glyph keeps the image",
             [font](Surface* s) {
                 SetPixel(s, 1, 1, 7);  // under the blank top-left corner of A
                 EXPECT_TRUE(DrawText(font, 1, 1, "AB", s, kInkColour, false, false));
             },
             {"............", ".x#..##.....", ".#.#.#.#....", ".###.##.....", ".#.#.#.#....", ".#.#.##.....",
              "............", "............"}},
            {"centred: half the text's width left, half a cell up",
             [font](Surface* s) { DrawText(font, 6, 4, "AB", s, kInkColour, true, false); },
             {"............", "............", "...#..##....", "..#.#.#.#...", "..###.##....", "..#.#.#.#...",
              "..#.#.##....", "............"}},
            {"a space advances one cell and draws nothing",
             [font](Surface* s) {
                 SetPixel(s, 5, 2, 7);
                 DrawText(font, 0, 0, "A B", s, kInkColour, false, false);
             },
             {".#......##..", "#.#.....#.#.", "###..x..##..", "#.#.....#.#.", "#.#.....##..", "............"}},
            {"clipped from above: each remaining row from its own glyph row",
             [font](Surface* s) {
                 SetClip(s, 0, 3, 11, 7);
                 DrawText(font, 1, 1, "AB", s, kInkColour, false, false);
             },
             {"............", "............", "............", ".###.##.....", ".#.#.#.#....", ".#.#.##.....",
              "............", "............"}},
            {"cut at the surface's left edge and the clip's right edge",
             [font](Surface* s) {
                 SetClip(s, 0, 0, 3, 4);
                 DrawText(font, -2, 0, "AB", s, kInkColour, false, false);
             },
             {"..##....", "#.#.....", "#.##....", "#.#.....", "#.##...."}},
            {"characters without a glyph are solid cells",
             [font](Surface* s) { DrawText(font, 0, 1, "\n~\x80", s, kInkColour, false, false); },
             {"............", "############", "############", "############", "############", "############",
              "............"}},
        },
        kText, 15);
}

TEST(DrawText, BoxAndEtchedFrame) {
    BitmapFont* font = &ArtFont();
    const gfxtest::Legend box{{'.', 0}, {'w', 15}, {'d', 8}, {'f', 195}, {'#', kInkColour}};
    Check(
        {
            // Box (1, 1)-(9, 10): x − 3, y − 3 to x + 4 + 1, y + 5 + 1.
            {"boxed A at (4, 4)", [font](Surface* s) { DrawText(font, 4, 4, "A", s, kInkColour, false, true); },
             {
                 "............",
                 ".wwwwwwwww..",
                 ".wdddddddd..",
                 ".wdfffffwd..",
                 ".wdff#ffwd..",
                 ".wdf#f#fwd..",
                 ".wdf###fwd..",
                 ".wdf#f#fwd..",
                 ".wdf#f#fwd..",
                 ".wwwwwwwwd..",
                 ".ddddddddd..",
                 "............",
             }},
            {"an empty text draws no box",
             [font](Surface* s) { EXPECT_FALSE(DrawText(font, 4, 4, "", s, kInkColour, false, true)); },
             {"....", "....", "...."}},
        },
        box, 0);
}

TEST(DrawText, EveryCharacterFindsItsGlyph) {
    // Glyphs 0 to 91 in order, then characters that have none.
    std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    all += "+-*/=()<>[]#\xB0^.:,;'\"!?|\\%&$\xA3_@";
    ASSERT_EQ(all.size(), 92u);
    const std::string none = "\n\t\x01`{}~\x7F\x80\xA2\xFF";

    Surface s(8 * 104, 12);
    s.Clear(15);
    EXPECT_TRUE(DrawText(&CodeFont(), 0, 0, (all + none).c_str(), &s, kInkColour, false, false));
    std::vector<int> cells = ReadCells(s, 0, 0, 104, kInkColour);
    for (int g = 0; g < 92; ++g) EXPECT_EQ(cells[static_cast<size_t>(g)], g) << "character '" << all[static_cast<size_t>(g)] << "'";
    for (size_t i = 0; i < none.size(); ++i)
        EXPECT_EQ(cells[92 + i], kSolidCell) << "byte " << int{static_cast<uint8_t>(none[i])};

    s.Clear(15);
    EXPECT_TRUE(DrawText(&CodeFont(), 0, 0, " ", &s, kInkColour, false, false));
    EXPECT_EQ(ReadCells(s, 0, 0, 1, kInkColour), std::vector<int>{kNothing});
}

TEST(DrawText, CentredFourLetterTextStartsHalfItsWidthLeftAndHalfACellUp) {
    Surface s(128, 64);
    s.Clear(15);
    ASSERT_TRUE(DrawText(&CodeFont(), 100, 50, "ABCD", &s, kInkColour, true, false));
    EXPECT_EQ(ReadCells(s, 84, 44, 5, kInkColour), (std::vector<int>{0, 1, 2, 3, kNothing}));
    // The top-left ink pixel of A (glyph 0 carries 1: column 0) lands on (84, 44).
    EXPECT_EQ(GetPixel(&s, 84, 44), kInkColour);
    EXPECT_EQ(GetPixel(&s, 83, 44), 15);
    EXPECT_EQ(GetPixel(&s, 84, 43), 15);
}

TEST(DrawText, FailuresDrawNothing) {
    Surface s(16, 12);
    s.Clear(15);
    Surface empty;
    BitmapFont missing(8, 12, "no such font file.fon");
    EXPECT_EQ(missing.glyphs, nullptr);
    EXPECT_FALSE(DrawText(&CodeFont(), 0, 0, "", &s, 1, false, false));
    EXPECT_FALSE(DrawText(&CodeFont(), 0, 0, nullptr, &s, 1, false, false));
    EXPECT_FALSE(DrawText(&CodeFont(), 0, 0, "A", &empty, 1, false, true));
    EXPECT_FALSE(DrawText(&CodeFont(), 0, 0, "A", nullptr, 1, false, false));
    EXPECT_FALSE(DrawText(nullptr, 0, 0, "A", &s, 1, false, false));
    EXPECT_FALSE(DrawText(&missing, 2, 2, "A~", &s, 1, false, true));
    EXPECT_TRUE(gfxtest::SurfaceShows(s, Picture(12, "................"), {{'.', 15}}));
}

TEST(DrawNumber, FormatsInDecimal) {
    struct Number {
        int32_t value;
        std::vector<int> glyphs;  // then one empty cell
    };
    const Number numbers[] = {
        {-123, {63, 53, 54, 55}},
        {0, {52}},
        {INT32_MIN, {63, 54, 53, 56, 59, 56, 60, 55, 58, 56, 60}},  // -2147483648
    };
    for (const Number& n : numbers) {
        Surface s(8 * 12, 12);
        s.Clear(15);
        EXPECT_TRUE(DrawNumber(&CodeFont(), 0, 0, n.value, &s, kInkColour, false, false));
        std::vector<int> expected = n.glyphs;
        expected.push_back(kNothing);
        EXPECT_EQ(ReadCells(s, 0, 0, static_cast<int>(expected.size()), kInkColour), expected) << n.value;
    }
    Surface empty;
    EXPECT_FALSE(DrawNumber(&CodeFont(), 0, 0, 5, &empty, kInkColour, false, false));
}

class DebugTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        screen.Clear(15);
        appGlobals.font = &CodeFont();
        appGlobals.screenSurface = &screen;
    }
    void TearDown() override {
        appGlobals.font = nullptr;
        appGlobals.screenSurface = nullptr;
    }
    // Every pixel inside the bar (corners included) is the bar or the text; every other one
    // is untouched.
    void ExpectBar(int x0, int y0, int x1, int y1, uint8_t textColour) {
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 72; ++x) {
                uint8_t p = GetPixel(&screen, x, y);
                if (x >= x0 && x <= x1 && y >= y0 && y <= y1)
                    ASSERT_TRUE(p == 8 || p == textColour) << "(" << x << ", " << y << ") is " << int{p};
                else
                    ASSERT_EQ(p, 15) << "(" << x << ", " << y << ")";
            }
    }
    Surface screen{72, 48};
};

TEST_F(DebugTextTest, NegativeIntOnLineTwo) {
    DebugInt(2, -5);
    ExpectBar(0, 24, 16, 36, 42);
    EXPECT_EQ(ReadCells(screen, 0, 24, 3, 42), (std::vector<int>{63, 57, kNothing}));
}

TEST_F(DebugTextTest, PositiveIntAndFloat) {
    DebugInt(0, 7);
    ExpectBar(0, 0, 8, 12, 14);
    EXPECT_EQ(ReadCells(screen, 0, 0, 1, 14), std::vector<int>{59});

    screen.Clear(15);
    DebugFloat(1, 1.5f);  // "1.500000"
    ExpectBar(0, 12, 64, 24, 14);
    EXPECT_EQ(ReadCells(screen, 0, 12, 8, 14), (std::vector<int>{53, 76, 57, 52, 52, 52, 52, 52}));
}

TEST_F(DebugTextTest, WithoutAFontNothingIsDrawn) {
    appGlobals.font = nullptr;
    DebugInt(0, 1);
    DebugFloat(0, 1.0f);
    ExpectBar(0, 0, -1, -1, 0);
}

class FontFileTest : public ::testing::Test {
protected:
    // Each test writes into its own directory: the tests of this suite run side by side.
    std::string Write(const std::vector<uint8_t>& bytes) {
        std::string path = dir_.File("font.fon");
        WriteBytes(path, bytes);
        return path;
    }

private:
    IoTempDir dir_;
};

TEST_F(FontFileTest, WholeStripIsRead) {
    std::vector<uint8_t> bytes(92 * 3 * 2 + 5);  // five bytes too many
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i % 251 + 1);
    BitmapFont font(3, 2, Write(bytes).c_str());
    ASSERT_NE(font.glyphs, nullptr);
    EXPECT_EQ(font.CellWidth(), 3);
    EXPECT_EQ(font.CellHeight(), 2);
    EXPECT_TRUE(std::equal(font.glyphs, font.glyphs + 92 * 3 * 2, bytes.begin()));
}

TEST_F(FontFileTest, MissingBytesOfAShortFileAreBackground) {
    BitmapFont font(8, 12, Write(std::vector<uint8_t>(100, 0xFF)).c_str());
    ASSERT_NE(font.glyphs, nullptr);
    for (int i = 0; i < 8832; ++i) ASSERT_EQ(font.glyphs[i], i < 100 ? 0xFF : 0) << "byte " << i;
}

TEST(BitmapFontMemory, CopiesTheStripAndRefusesSizesItCannotHold) {
    std::vector<uint8_t> strip(92 * 2 * 2, 9);
    BitmapFont font(2, 2, strip.data());
    strip[0] = 1;
    ASSERT_NE(font.glyphs, nullptr);
    EXPECT_EQ(font.glyphs[0], 9);
    EXPECT_EQ(font.glyphs[92 * 4 - 1], 9);

    const uint8_t* none = nullptr;
    EXPECT_EQ(BitmapFont(2, 2, none).glyphs, nullptr);
    EXPECT_EQ(BitmapFont(0, 12, strip.data()).glyphs, nullptr);
    EXPECT_EQ(BitmapFont(8, -1, strip.data()).glyphs, nullptr);
    EXPECT_EQ(BitmapFont(INT32_MAX, INT32_MAX, strip.data()).glyphs, nullptr);
    EXPECT_EQ(BitmapFont(65536, 65536, "no such font file.fon").glyphs, nullptr);
}

}  // namespace
