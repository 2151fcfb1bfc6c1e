// Cutting sprite sheets: marker layouts, bands, damaged layouts and the frame queries.
#include "gfx/sprite_sheet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "tests/support/io_temp_dir.h"

// Outside the anonymous namespace, so that gtest finds them for SpriteRect.
bool operator==(const SpriteRect& a, const SpriteRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const SpriteRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr uint8_t kS = 12;  // start of a new sprite
constexpr uint8_t kF = 10;  // start of a further frame
constexpr uint8_t kC = 11;  // corner
constexpr uint8_t kBackground = 15;

struct Marker {
    int32_t x, y;
    uint8_t colour;
};

using Frames = std::vector<std::vector<SpriteRect>>;  // per sprite, its frames

struct Layout {
    const char* name;
    int32_t width, height;  // widths are multiples of 4: no padding columns
    std::vector<Marker> markers;
    bool cuts;              // false: the cut fails and `sprites` stays null
    Frames frames;
};

class SpriteSheetTest : public ::testing::Test {
protected:
    // Draws the layout on a background of 15 and saves it as an 8-bit bitmap file.
    std::string WriteSheet(int32_t width, int32_t height, const std::vector<Marker>& markers,
                           const std::string& name = "sheet.bmp") {
        Surface image(width, height);
        EXPECT_EQ(image.pitch, width);
        image.Clear(kBackground);
        for (const Marker& m : markers) SetPixel(&image, m.x, m.y, m.colour);
        std::string file = dir.File(name);
        EXPECT_TRUE(image.SaveToFile(file.c_str()));
        return file;
    }

    IoTempDir dir;
};

// Compares every sprite and frame of the sheet with `expected`, through the sheet's queries and
// the set's fields alike.
void ExpectFrames(const SpriteSheet& sheet, const Frames& expected) {
    ASSERT_NE(sheet.sprites, nullptr);
    ASSERT_EQ(sheet.sprites->spriteCount, static_cast<int32_t>(expected.size()));
    for (size_t s = 0; s < expected.size(); ++s) {
        const int32_t sprite = static_cast<int32_t>(s);
        ASSERT_EQ(sheet.FrameCount(sprite), static_cast<int32_t>(expected[s].size())) << "sprite " << s;
        for (size_t f = 0; f < expected[s].size(); ++f) {
            SpriteRect rect{-9, -9, -9, -9};
            EXPECT_TRUE(sheet.GetFrame(sprite, static_cast<int32_t>(f), &rect)) << "sprite " << s << " frame " << f;
            EXPECT_EQ(rect, expected[s][f]) << "sprite " << s << " frame " << f;
        }
    }
}

TEST_F(SpriteSheetTest, CutsMarkedLayouts) {
    const std::vector<Layout> layouts = {
        {"one frame of 8 x 12", 12, 16, {{0, 0, kS}, {9, 0, kC}, {9, 13, kC}}, true, {{{1, 1, 9, 13}}}},
        {"two frames, then a second band from the row below the lowest corner",
         20, 18,
         {
             {0, 0, kS}, {9, 0, kC}, {9, 13, kC},     // frame 0 of sprite 0, 8 x 12
             {4, 0, kF},                              // on the top edge, passed by the right scan
             {3, 3, kS}, {6, 3, kC}, {6, 6, kC},      // a whole layout inside frame 0
             {10, 0, kF}, {15, 0, kC}, {15, 5, kC},   // frame 1 of sprite 0, 4 x 4
             {10, 5, kF}, {15, 8, kC},                // row 5 lies inside the band
             {2, 13, kS}, {9, 15, kC},                // row 13 ends the band and is not scanned
             {11, 14, kS}, {14, 14, kC}, {14, 16, kC} // the second band begins at row 14
         },
         true,
         {{{1, 1, 9, 13}, {11, 1, 15, 5}}, {{12, 15, 14, 16}}}},
        {"several sprites in one band, whose height is its tallest frame's",
         16, 10,
         {
             {0, 0, kS}, {3, 0, kC}, {3, 4, kC},
             {4, 0, kS}, {8, 0, kC}, {8, 6, kC},      // the tallest, in the middle
             {9, 0, kF}, {12, 0, kC}, {12, 2, kC},
             {13, 3, kF}, {15, 3, kC}, {15, 5, kC},   // found if the band were 2 rows
             {13, 5, kF}, {15, 6, kC},                // found if it were 4
             {0, 7, kS}, {2, 7, kC}, {2, 9, kC}
         },
         true,
         {{{1, 1, 3, 4}}, {{5, 1, 8, 6}, {10, 1, 12, 2}}, {{1, 8, 2, 9}}}},
        {"a first frame that does not start a sprite", 8, 4,
         {{0, 0, kF}, {3, 0, kC}, {3, 2, kC}, {4, 0, kS}, {6, 0, kC}, {6, 2, kC}}, false, {}},
        {"no markers", 8, 4, {}, true, {}},
        {"start markers without their corners are passed over",
         16, 6,
         {
             {0, 0, kS}, {2, 0, kC},                  // no corner below column 2
             {5, 0, kS}, {9, 0, kC}, {9, 3, kC},
             {11, 0, kS},                             // no corner right of it
             {15, 0, kS}                              // on the last column
         },
         true,
         {{{6, 1, 9, 3}}}},
        {"corners on the last column and the last row", 4, 3, {{0, 0, kS}, {3, 0, kC}, {3, 2, kC}}, true,
         {{{1, 1, 3, 2}}}},
        {"bands running off the bottom and corners above their start markers",
         8, 6,
         {
             {3, 0, kC}, {0, 2, kS}, {3, 2, kC},      // the only corner in column 3 below row 2: none
             {7, 1, kC}, {4, 3, kS}, {7, 3, kC},      // likewise in column 7 below row 3
             {0, 5, kS}, {2, 5, kC}                   // on the last row
         },
         true, {}},
        {"adjacent markers make frames without pixels", 4, 2,
         {{0, 0, kS}, {1, 0, kC}, {1, 1, kC}, {2, 0, kF}, {3, 0, kC}, {3, 1, kC}}, true,
         {{{1, 1, 1, 1}, {3, 1, 3, 1}}}},
    };

    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        std::string file = WriteSheet(layout.width, layout.height, layout.markers);
        SpriteSheet sheet(file.c_str());
        ASSERT_NE(sheet.pixels, nullptr);
        EXPECT_EQ(sheet.transparentIndex, 5);
        EXPECT_EQ(sheet.frameMarker, 10);
        EXPECT_EQ(sheet.cornerMarker, 11);
        EXPECT_EQ(sheet.spriteMarker, 12);
        if (layout.cuts) {
            ExpectFrames(sheet, layout.frames);
        } else {
            EXPECT_EQ(sheet.sprites, nullptr);
            EXPECT_EQ(sheet.FrameCount(0), 0);
            SpriteRect rect{-9, -9, -9, -9};
            EXPECT_FALSE(sheet.GetFrame(0, 0, &rect));
        }
        // The cut leaves the image as it was, markers included.
        std::vector<uint8_t> expected(static_cast<size_t>(layout.width * layout.height), kBackground);
        for (const Marker& m : layout.markers) expected[static_cast<size_t>(m.y * layout.width + m.x)] = m.colour;
        EXPECT_EQ(0, std::memcmp(sheet.pixels, expected.data(), expected.size()));
    }
}

// Two-pixel frames packed edge to edge: every column pair of every second row is a frame, the
// last of them on the sheet's last column and row.
TEST_F(SpriteSheetTest, CutsASheetPackedWithFrames) {
    const int32_t size = 1024;
    std::vector<Marker> markers;
    for (int32_t y = 0; y < size; y += 2)
        for (int32_t x = 0; x < size; x += 2) {
            markers.push_back({x, y, x == 0 ? kS : kF});
            markers.push_back({x + 1, y, kC});
            markers.push_back({x + 1, y + 1, kC});
        }
    std::string file = WriteSheet(size, size, markers);
    SpriteSheet sheet(file.c_str());
    ASSERT_NE(sheet.sprites, nullptr);
    ASSERT_EQ(sheet.sprites->spriteCount, 512);
    for (int32_t s = 0; s < 512; ++s) ASSERT_EQ(sheet.FrameCount(s), 512) << "sprite " << s;
    const struct {
        int32_t sprite, frame;
        SpriteRect rect;
    } samples[] = {{0, 0, {1, 1, 1, 1}}, {0, 511, {1023, 1, 1023, 1}}, {300, 7, {15, 601, 15, 601}},
                   {511, 511, {1023, 1023, 1023, 1023}}};
    for (const auto& sample : samples) {
        SpriteRect rect{};
        EXPECT_TRUE(sheet.GetFrame(sample.sprite, sample.frame, &rect));
        EXPECT_EQ(rect, sample.rect) << "sprite " << sample.sprite << " frame " << sample.frame;
    }
}

TEST_F(SpriteSheetTest, FrameQueriesOutsideTheSetFindNothing) {
    SpriteSet set(2);
    set.SetSprite(0, 5);
    set.SetSprite(0, 3);   // replaces the first array
    set.SetSprite(1, 1);
    set.SetSprite(2, 4);   // outside the set: ignored
    set.SetSprite(-1, 4);
    ASSERT_EQ(set.spriteCount, 2);
    set.frames[0][2] = {7, 8, 9, 10};
    set.frames[1][0] = {1, 2, 3, 4};

    const struct {
        int32_t sprite, frame;
        bool found;
        SpriteRect rect;
    } cases[] = {
        {0, 2, true, {7, 8, 9, 10}}, {1, 0, true, {1, 2, 3, 4}}, {0, 3, false, {}}, {1, 1, false, {}},
        {0, -1, false, {}},          {-1, 0, false, {}},         {2, 0, false, {}},
    };
    const SpriteRect untouched{-9, -9, -9, -9};
    for (const auto& c : cases) {
        SpriteRect rect = untouched;
        EXPECT_EQ(set.GetFrame(c.sprite, c.frame, &rect), c.found) << c.sprite << ", " << c.frame;
        EXPECT_EQ(rect, c.found ? c.rect : untouched) << c.sprite << ", " << c.frame;
    }
    EXPECT_FALSE(set.GetFrame(0, 0, nullptr));

    const int32_t counts[][2] = {{-1, 0}, {0, 3}, {1, 1}, {2, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& c : counts) EXPECT_EQ(set.FrameCount(c[0]), c[1]) << "sprite " << c[0];

    for (int32_t count : {0, -3}) {
        SpriteSet none(count);
        EXPECT_EQ(none.spriteCount, 0);
        EXPECT_EQ(none.FrameCount(0), 0);
    }
}

TEST_F(SpriteSheetTest, AMissingOrUnreadableFileGivesAnEmptySheetWithoutFrames) {
    WriteBytes(dir.File("text.bmp"), Bytes("not a bitmap at all"));
    for (const std::string& file : {dir.File("missing.bmp"), dir.File("text.bmp")}) {
        SCOPED_TRACE(file);
        SpriteSheet sheet(file.c_str());
        EXPECT_EQ(sheet.pixels, nullptr);
        EXPECT_EQ(sheet.pitch, 0);
        EXPECT_EQ(sheet.sprites, nullptr);
        EXPECT_EQ(sheet.FrameCount(0), 0);
        SpriteRect rect{-9, -9, -9, -9};
        EXPECT_FALSE(sheet.GetFrame(0, 0, &rect));
        EXPECT_EQ(rect.left, -9);
        EXPECT_FALSE(sheet.CutSprites());
        EXPECT_EQ(sheet.sprites, nullptr);
    }
}

TEST_F(SpriteSheetTest, CuttingAgainReplacesTheSprites) {
    std::string file = WriteSheet(12, 4, {{0, 0, kS}, {3, 0, kC}, {3, 2, kC}, {4, 0, kF}, {7, 0, kC}, {7, 3, kC}});
    SpriteSheet sheet(file.c_str());
    ExpectFrames(sheet, {{{1, 1, 3, 2}, {5, 1, 7, 3}}});

    SetPixel(&sheet, 0, 0, kF);  // now no sprite is opened first
    EXPECT_FALSE(sheet.CutSprites());
    EXPECT_EQ(sheet.sprites, nullptr);
    EXPECT_EQ(sheet.FrameCount(0), 0);

    SetPixel(&sheet, 0, 0, kS);
    SetPixel(&sheet, 4, 0, kS);
    EXPECT_TRUE(sheet.CutSprites());
    ExpectFrames(sheet, {{{1, 1, 3, 2}}, {{5, 1, 7, 3}}});
}

// media/sprites.txt: a 52 x 30 sheet. Row 0 starts five 8 x 8 frames at columns 0, 10, 20
// (sprite 0: S F F) and 30, 40 (sprite 1: S F), with corners in columns 9, 19, 29, 39, 49 on
// rows 0 and 9. Row 10 starts sprite 2 (S F F F) at columns 0, 10, 20, 30, corners on rows 10
// and 19. Row 20 starts sprite 3 (S F), two 12 x 7 frames at columns 0 and 14 with corners in
// columns 13 and 27 on rows 20 and 28, and sprites 4 and 5, one 8 x 8 frame each at columns 28
// and 38, with corners in columns 37 and 47 on rows 20 and 29.
TEST_F(SpriteSheetTest, TheProgramsSheetCutsIntoItsSixSprites) {
    SpriteSheet sheet(ONDREL_RUN_DIR "/Media/Sprites.bmp");
    ASSERT_NE(sheet.pixels, nullptr);
    EXPECT_EQ(sheet.transparentIndex, 5);
    ExpectFrames(sheet, {
                            {{1, 1, 9, 9}, {11, 1, 19, 9}, {21, 1, 29, 9}},
                            {{31, 1, 39, 9}, {41, 1, 49, 9}},
                            {{1, 11, 9, 19}, {11, 11, 19, 19}, {21, 11, 29, 19}, {31, 11, 39, 19}},
                            {{1, 21, 13, 28}, {15, 21, 27, 28}},
                            {{29, 21, 37, 29}},
                            {{39, 21, 47, 29}},
                        });
    EXPECT_EQ(sheet.FrameCount(6), 0);
}

}  // namespace
