#include "gfx/blit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gfx/draw.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"
#include "tests/support/gfx_image.h"
#include "tests/support/io_temp_dir.h"

namespace {

using Picture = std::vector<std::string>;
using Case = gfxtest::PictureCase;

// '.' is the cleared target, '~' the transparent index, '*' the tint slot and 'T' the tint the
// tests pass; letters are sixteen more colours for pictures whose every cell must be told apart.
const gfxtest::Legend kLegend = [] {
    gfxtest::Legend legend{{'.', 7}, {'#', 0}, {'x', 4}, {'~', 5}, {'*', 15}, {'T', 200}};
    for (char c = 'a'; c <= 'p'; ++c) legend[c] = static_cast<uint8_t>(20 + (c - 'a'));
    return legend;
}();
constexpr uint8_t kTint = 200;
constexpr uint8_t kSheetBackground = 99;  // not in the legend: shows as '?' if a frame leaks

uint8_t Index(char c) { return kLegend.at(c); }

void Check(const std::vector<Case>& cases) { gfxtest::CheckPictures(cases, kLegend, Index('.')); }

// A sheet with the given sprites' frames side by side in one band, with their markers: frame k
// at column `left` has its start marker at (left − 1, 0) and its corners at (left + w, 0) and
// (left + w, h + 1). So every frame's top is 1 and the first frame's left is 1.
std::unique_ptr<SpriteSheet> MakeSheet(const IoTempDir& dir, const std::vector<std::vector<Picture>>& sprites) {
    int32_t width = 0, height = 2;
    for (const auto& frames : sprites)
        for (const Picture& p : frames) {
            width += (p.empty() ? 0 : static_cast<int32_t>(p[0].size())) + 2;
            height = std::max(height, static_cast<int32_t>(p.size()) + 2);
        }
    Surface image(width, height);
    image.Clear(kSheetBackground);
    int32_t left = 1;
    for (const auto& frames : sprites)
        for (size_t f = 0; f < frames.size(); ++f) {
            const Picture& p = frames[f];
            const auto w = p.empty() ? 0 : static_cast<int32_t>(p[0].size());
            const auto h = static_cast<int32_t>(p.size());
            SetPixel(&image, left - 1, 0, f == 0 ? 12 : 10);
            SetPixel(&image, left + w, 0, 11);
            SetPixel(&image, left + w, h + 1, 11);
            for (int32_t v = 0; v < h; ++v)
                for (int32_t u = 0; u < w; ++u)
                    SetPixel(&image, left + u, 1 + v, Index(p[static_cast<size_t>(v)][static_cast<size_t>(u)]));
            left += w + 2;
        }
    const std::string file = dir.File("sheet.bmp");
    EXPECT_TRUE(image.SaveToFile(file.c_str()));
    auto sheet = std::make_unique<SpriteSheet>(file.c_str());
    EXPECT_NE(sheet->sprites, nullptr);
    return sheet;
}

// Frames asymmetric every way, so that a flip, a turn or a swap cannot pass unnoticed.
const Picture kF = {"###", "#xx", "##x", "#xx"};                // 3 × 4
const Picture kSquare = {"###", "#xx", "xx#"};                   // 3 × 3
const Picture kTinted = {"##x~*###x*~", "###########", "~~~~~~~~~~*"};  // 11 × 3: words and tails
const Picture kLetters = {"abc", "def", "ghi"};                  // 3 × 3
const Picture kTile = {"#x~", "xx#"};                            // 3 × 2
const Picture kBar = {"##x#*", "#~~~#", "xx#xx"};                // 5 × 3
enum SpriteNumber : int16_t { F, Square, Tinted, Letters, Tile, Empty, Bar };

class Blit : public ::testing::Test {
protected:
    void SetUp() override {
        sheet = MakeSheet(dir, {{kF}, {kSquare}, {kTinted}, {kLetters}, {kTile}, {{"", ""}, {}}, {kBar}});
        // The second frame of Empty becomes 2 wide and 0 high.
        sheet->sprites->frames[Empty][1].right += 2;
    }
    IoTempDir dir;
    std::unique_ptr<SpriteSheet> sheet;
};

TEST_F(Blit, DrawSpriteFlipsAndTransposes) {
    const SpriteSheet* s = sheet.get();
    auto draw = [s](int16_t sprite, int32_t x, int32_t y, bool flipX, bool flipY, bool transpose) {
        return [=](Surface* t) { DrawSprite(s, x, y, sprite, 0, t, flipX, flipY, transpose, kTint); };
    };
    Check({
        {"as it is", draw(F, 1, 1, false, false, false),
         {"........", ".###....", ".#xx....", ".##x....", ".#xx....", "........"}},
        {"flipX mirrors left to right", draw(F, 1, 1, true, false, false),
         {"........", ".###....", ".xx#....", ".x##....", ".xx#....", "........"}},
        {"flipY mirrors top to bottom", draw(F, 1, 1, false, true, false),
         {"........", ".#xx....", ".##x....", ".#xx....", ".###....", "........"}},
        {"both flips are a half turn", draw(F, 1, 1, true, true, false),
         {"........", ".xx#....", ".x##....", ".xx#....", ".###....", "........"}},
        {"transpose mirrors a square frame about its main diagonal", draw(Square, 1, 1, false, false, true),
         {"........", ".##x....", ".#xx....", ".#x#....", "........"}},
        {"transpose with flipX is a quarter turn clockwise", draw(Square, 1, 1, true, false, true),
         {"........", ".x##....", ".xx#....", ".#x#....", "........"}},
        {"a transposed 3 x 4 frame is drawn 4 wide and 3 high", draw(F, 1, 1, false, false, true),
         {"........", ".####...", ".#x#x...", ".#xxx...", "........", "........"}},
        {"partly off every edge, and wholly off",
         [s](Surface* t) {
             DrawSprite(s, -1, -2, F, 0, t, false, false, false, kTint);
             DrawSprite(s, 6, 4, F, 0, t, false, false, false, kTint);
             const int32_t away[][2] = {{8, 0}, {-4, 0}, {0, -4}, {0, 6}, {INT32_MAX, 0}, {INT32_MIN, INT32_MIN}};
             for (auto [x, y] : away) DrawSprite(s, x, y, F, 0, t, true, true, true, kTint);
         },
         {"#x......", "xx......", "........", "........", "......##", "......#x"}},
        {"a frame or surface that does not exist draws nothing",
         [s](Surface* t) {
             DrawSprite(s, 0, 0, F, 1, t, false, false, false, kTint);
             DrawSprite(s, 0, 0, 99, 0, t, false, false, false, kTint);
             DrawSprite(s, 0, 0, -1, 0, t, false, false, false, kTint);
             DrawSprite(nullptr, 0, 0, F, 0, t, false, false, false, kTint);
             Surface none;
             DrawSprite(s, 0, 0, F, 0, &none, false, false, false, kTint);
             DrawSprite(s, 0, 0, F, 0, nullptr, false, false, false, kTint);
         },
         {"........", "........"}},
    });
}

TEST_F(Blit, TransparentCellsAreSkippedAndTheTintSlotTakesTheTint) {
    const SpriteSheet* s = sheet.get();
    auto draw = [s](bool flipX, uint8_t tint) {
        return [=](Surface* t) { DrawSprite(s, 1, 1, Tinted, 0, t, flipX, false, false, tint); };
    };
    Check({
        {"tint 200", draw(false, kTint),
         {"................", ".##x.T###xT.....", ".###########....", "...........T...."}},
        {"tint 200, flipped", draw(true, kTint),
         {"................", "..Tx###T.x##....", ".###########....", ".T.............."}},
        {"a tint of 5 makes the tint slot transparent", draw(false, 5),
         {"................", ".##x..###x......", ".###########....", "................"}},
        {"a tint of 15 keeps it", draw(false, 15),
         {"................", ".##x.*###x*.....", ".###########....", "...........*...."}},
    });
}

TEST_F(Blit, DrawSpriteCentredPutsTheDrawnFramesCentreOnThePoint) {
    const SpriteSheet* s = sheet.get();
    Check({
        {"centred", [s](Surface* t) { DrawSpriteCentred(s, 4, 3, F, 0, t, true, false, false, false, kTint); },
         {"........", "...###..", "...#xx..", "...##x..", "...#xx..", "........"}},
        {"centred and transposed: 4 x 3 about the point",
         [s](Surface* t) { DrawSpriteCentred(s, 4, 3, F, 0, t, true, false, false, true, kTint); },
         {"........", "........", "..####..", "..#x#x..", "..#xxx..", "........"}},
        {"not centred", [s](Surface* t) { DrawSpriteCentred(s, 4, 3, F, 0, t, false, false, false, false, kTint); },
         {"........", "........", "........", "....###.", "....#xx.", "....##x."}},
    });
}

// The rule every sprite row must follow, cell by cell.
void ReferenceSprite(const SpriteSheet& sheet, int32_t x, int32_t y, int16_t sprite, Surface* target, bool flipX,
                     bool flipY, bool transpose, uint8_t tint) {
    int16_t left = 0, top = 0;
    ASSERT_TRUE(FrameOrigin(&sheet, sprite, 0, &left, &top));
    const int32_t w = FrameWidth(&sheet, sprite, 0), h = FrameHeight(&sheet, sprite, 0);
    const int32_t drawnW = transpose ? h : w, drawnH = transpose ? w : h;
    for (int32_t v = 0; v < drawnH; ++v)
        for (int32_t u = 0; u < drawnW; ++u) {
            const int32_t a = flipX ? drawnW - 1 - u : u, b = flipY ? drawnH - 1 - v : v;
            uint8_t c = GetPixel(&sheet, left + (transpose ? b : a), top + (transpose ? a : b));
            if (c == 15) c = tint;
            const int64_t tx = int64_t{x} + u, ty = int64_t{y} + v;
            if (c != 5 && tx >= 0 && ty >= 0 && tx < target->pitch && ty < target->height)
                SetPixel(target, static_cast<int32_t>(tx), static_cast<int32_t>(ty), c);
        }
}

::testing::AssertionResult SameImage(const Surface& actual, const Surface& expected) {
    const size_t bytes = static_cast<size_t>(actual.pitch) * static_cast<size_t>(actual.height);
    for (size_t i = 0; i < bytes; ++i)
        if (actual.pixels[i] != expected.pixels[i])
            return ::testing::AssertionFailure() << "first difference at (" << i % static_cast<size_t>(actual.pitch)
                                                 << ", " << i / static_cast<size_t>(actual.pitch) << "): "
                                                 << int{actual.pixels[i]} << " instead of " << int{expected.pixels[i]};
    return ::testing::AssertionSuccess();
}

// Rows of every length around the eight-cell words, any mix of cells, every flag, every edge.
TEST(BlitRandom, DrawSpriteFollowsTheCellRule) {
    IoTempDir dir;
    std::mt19937 random(2024);
    const char cells[] = {'#', 'x', '~', '*', 'a'};
    std::vector<std::vector<Picture>> sprites;
    for (int i = 0; i < 12; ++i) {
        Picture p(static_cast<size_t>(1 + random() % 5), std::string(static_cast<size_t>(1 + random() % 21), ' '));
        for (std::string& row : p)
            for (char& c : row) c = cells[random() % 5];
        sprites.push_back({p});
    }
    auto sheet = MakeSheet(dir, sprites);
    Surface actual(24, 8), expected(24, 8);
    for (int trial = 0; trial < 2000; ++trial) {
        const auto sprite = static_cast<int16_t>(random() % sprites.size());
        const auto x = static_cast<int32_t>(random() % 50) - 25, y = static_cast<int32_t>(random() % 16) - 8;
        const bool flipX = random() & 1, flipY = random() & 1, transpose = random() & 1;
        const uint8_t tints[] = {kTint, 5, 15, 7};
        const uint8_t tint = tints[random() % 4];
        actual.Clear(7);
        expected.Clear(7);
        DrawSprite(sheet.get(), x, y, sprite, 0, &actual, flipX, flipY, transpose, tint);
        ReferenceSprite(*sheet, x, y, sprite, &expected, flipX, flipY, transpose, tint);
        ASSERT_TRUE(SameImage(actual, expected)) << "sprite " << sprite << " at (" << x << ", " << y << ") flips "
                                                 << flipX << flipY << transpose << " tint " << int{tint};
    }
}

TEST_F(Blit, DrawSpriteRotated) {
    const SpriteSheet* s = sheet.get();
    Check({
        // R = trunc(sqrt(2² + 1²)) = 2: the square 5..9 by 4..8 is visited; rows 4 and 8 map
        // outside the frame. The tint slot is drawn as it is.
        {"a 5 x 3 frame at angle 0, scale 1, placed at (7, 6)",
         [s](Surface* t) { DrawSpriteRotated(s, 7, 6, Bar, 0, t, 0.0f, 1.0f); },
         {"............", "............", "............", "............", "............", ".....##x#*..",
          ".....#...#..", ".....xx#xx..", "............", "............"}},
        // cs = 0.5: columns −2..2 read 0, 0, 1, 1, 2 of the frame, rows alike.
        {"scale 2", [s](Surface* t) { DrawSpriteRotated(s, 2, 2, Letters, 0, t, 0.0f, 2.0f); },
         {"aabbc...", "aabbc...", "ddeef...", "ddeef...", "gghhi..."}},
        // a = −90 × 0.017453292 = −1.57079628, a little less than π/2 in size: cs = cos(a) =
        // +4.68e−8 and sn = −1. The source column is 1 − dy + 4.68e−8·dx, one less than a true
        // turn where dx < 0, and the row 1 + dx + 4.68e−8·dy, one less where dy < 0. The true
        // turn would show "cfi", "beh", "adg".
        {"a quarter turn", [s](Surface* t) { DrawSpriteRotated(s, 2, 2, Letters, 0, t, 90.0f, 1.0f); },
         {"........", "..cf....", ".aeh....", "..dg....", "........"}},
        // The same turn of the 5 × 3 frame about (8, 6), R = 2: frame column 2 − dy + ε·dx and
        // row 1 + dx + ε·dy, ε = +4.68e−8. Cell (7, 5), dx = dy = −1, reads row 1 − 1 − ε, just
        // above the frame: it stays clear (a coefficient of −4.37e−8 would put it on row 0).
        {"a quarter turn of a 5 x 3 frame at (8, 6)",
         [s](Surface* t) { DrawSpriteRotated(s, 8, 6, Bar, 0, t, 90.0f, 1.0f); },
         {"............", "............", "............", "............", "........*#x.", "........#.x.",
          ".......#.#..", ".......#.x..", "........#x..", "............"}},
        // a = −360 × 0.017453292 lies 1.87e−7 short of −2π (−720 ×: 3.74e−7 short of −4π), so
        // cs = 1 and sn = +δ: column 2 + dx + δ·dy, row 1 + dy − δ·dx. Columns are one less where
        // dy < 0 and rows one less where dx > 0, so the frame shows cut and sheared by a cell.
        {"a full turn", [s](Surface* t) { DrawSpriteRotated(s, 8, 6, Bar, 0, t, 360.0f, 1.0f); },
         {"............", "............", "............", "............", "............", ".......##...",
          "......#..#*.", "......xx#.#.", ".........xx.", "............"}},
        {"two full turns", [s](Surface* t) { DrawSpriteRotated(s, 8, 6, Bar, 0, t, 720.0f, 1.0f); },
         {"............", "............", "............", "............", "............", ".......##...",
          "......#..#*.", "......xx#.#.", ".........xx.", "............"}},
        {"a scale beyond any surface fills the target with the centre cell",
         [s](Surface* t) { DrawSpriteRotated(s, 1, 1, Letters, 0, t, 30.0f, 1e30f); }, {"eeee", "eeee"}},
        {"scales and angles that are not numbers draw nothing",
         [s](Surface* t) {
             const float bad[][2] = {{0, 0}, {0, -1}, {0, NAN}, {0, INFINITY}, {NAN, 1}, {INFINITY, 1}, {0, 1e-44f}};
             for (auto [angle, scale] : bad) DrawSpriteRotated(s, 1, 1, Letters, 0, t, angle, scale);
         },
         {"....", "...."}},
    });
}

// The turning rule written out cell by cell over the whole visited square, with the positions
// (left + hw) + dy·sn + dx·cs and (top + hh) + dy·cs − dx·sn taken exactly: in 64.64 fixed point,
// which holds every coefficient these tests make, and truncated toward zero.
__extension__ using Wide = __int128;

Wide Fixed64(double v) {
    const double scaled = std::ldexp(v, 64);
    EXPECT_EQ(scaled, std::trunc(scaled)) << v << " needs more than 64 fraction bits";
    // Split so that each part converts exactly.
    const double high = std::floor(std::ldexp(v, 32));
    return (static_cast<Wide>(static_cast<int64_t>(high)) << 32) + static_cast<Wide>(std::ldexp(v, 64) - std::ldexp(high, 32));
}

int64_t TruncateFixed64(Wide v) { return static_cast<int64_t>(v / (static_cast<Wide>(1) << 64)); }

void ReferenceRotated(const SpriteSheet& sheet, int16_t sprite, int32_t x, int32_t y, float angle, float scale,
                      Surface* target) {
    SpriteRect r;
    ASSERT_TRUE(sheet.GetFrame(sprite, 0, &r));
    const int64_t hw = (r.right - r.left) / 2, hh = (r.bottom - r.top) / 2;
    const auto reach = static_cast<int64_t>(std::sqrt(static_cast<double>(hw * hw + hh * hh)) * scale);
    // Degrees to radians in double precision; only cs and sn are rounded to single precision.
    const double a = -static_cast<double>(angle) * 0.017453292;
    const auto cs = static_cast<float>(std::cos(a) / static_cast<double>(scale));
    const auto sn = static_cast<float>(std::sin(a) / static_cast<double>(scale));
    const Wide csFixed = Fixed64(cs), snFixed = Fixed64(sn);
    const Wide centreX = static_cast<Wide>(r.left + hw) << 64, centreY = static_cast<Wide>(r.top + hh) << 64;
    // Only the part of the square on the target can change it.
    for (int64_t dy = std::max(-reach, -int64_t{y}); dy <= std::min(reach, target->height - 1 - int64_t{y}); ++dy)
        for (int64_t dx = std::max(-reach, -int64_t{x}); dx <= std::min(reach, target->pitch - 1 - int64_t{x}); ++dx) {
            const int64_t sx = TruncateFixed64(centreX + dy * snFixed + dx * csFixed);
            const int64_t sy = TruncateFixed64(centreY + dy * csFixed - dx * snFixed);
            if (sx < r.left || sx >= r.right || sy < r.top || sy >= r.bottom) continue;
            const uint8_t c = GetPixel(&sheet, static_cast<int32_t>(sx), static_cast<int32_t>(sy));
            if (c != 5) SetPixel(target, static_cast<int32_t>(x + dx), static_cast<int32_t>(y + dy), c);
        }
}

TEST(BlitRandom, DrawSpriteRotatedFollowsTheCellRule) {
    IoTempDir dir;
    std::mt19937 random(77);
    Picture frame(7, std::string(10, ' '));
    const char cells[] = {'#', 'x', '~', 'a', 'b', 'c'};
    for (std::string& row : frame)
        for (char& c : row) c = cells[random() % 6];
    auto sheet = MakeSheet(dir, {{frame}, {frame}});
    // Sprite 1 is moved into the sheet's top-left corner, where positions just below 0 truncate
    // to column or row 0 and so fall inside.
    sheet->sprites->frames[1][0] = {0, 0, 10, 7};
    Surface actual(40, 30), expected(40, 30);
    // Whole quarter turns, where the truncated positions land next to whole cells and the signs
    // of the tiny coefficients decide the edges; a few hand-picked angles; and random ones.
    std::vector<float> angles = {0,    8,   15,     30,  45,  60,  80,     90,     123.4f, 180,   200,   270,
                                 360,  450, 720,    -90, -33.3f, 359.9f, 0.001f, 1e-9f, -1e-9f, 1080, -720};
    std::vector<float> scales = {0.5f, 1, 1.37f, 2, 3, 300};
    std::uniform_real_distribution<float> anyAngle(-800.0f, 800.0f), anyScale(0.3f, 4.0f);
    for (int i = 0; i < 16; ++i) angles.push_back(anyAngle(random));
    for (int i = 0; i < 3; ++i) scales.push_back(anyScale(random));
    const int32_t places[][2] = {{20, 15}, {0, 0}, {39, 29}, {-4, 12}, {44, 12}, {20, -6}, {20, 33}};
    for (int16_t sprite : {int16_t{0}, int16_t{1}})
        for (float angle : angles)
            for (float scale : scales)
                for (const auto& place : places) {
                    actual.Clear(7);
                    expected.Clear(7);
                    DrawSpriteRotated(sheet.get(), place[0], place[1], sprite, 0, &actual, angle, scale);
                    ReferenceRotated(*sheet, sprite, place[0], place[1], angle, scale, &expected);
                    ASSERT_TRUE(SameImage(actual, expected)) << "sprite " << sprite << " angle " << angle << " scale "
                                                             << scale << " at (" << place[0] << ", " << place[1] << ")";
                }
}

TEST_F(Blit, TileSpriteRepeatsTheFrameFromTheTargetsOrigin) {
    const SpriteSheet* s = sheet.get();
    Check({
        {"twice side by side, transparent index included",
         [s](Surface* t) { TileSprite(s, 0, 0, 5, 1, Tile, 0, t); }, {"#x~#x~..", "xx#xx#..", "........"}},
        // Cell (x, y) takes the frame's cell (x mod 3, y mod 2), not one counted from (1, 1).
        {"anchored at the origin", [s](Surface* t) { TileSprite(s, 1, 1, 6, 3, Tile, 0, t); },
         {"........", ".x#xx#x.", ".x~#x~#.", ".x#xx#x.", "........"}},
        {"reversed corners, cut by the target", [s](Surface* t) { TileSprite(s, 9, 4, 5, 3, Tile, 0, t); },
         {"........", "........", "........", ".....#xx", ".....~#x"}},
        {"a long row", [s](Surface* t) { TileSprite(s, 1, 0, 14, 0, Tile, 0, t); }, {".x~#x~#x~#x~#x~."}},
        {"frames without cells tile nothing, and so do missing ones",
         [s](Surface* t) {
             TileSprite(s, 0, 0, 7, 1, Empty, 0, t);  // 0 wide
             TileSprite(s, 0, 0, 7, 1, Empty, 1, t);  // 2 wide, 0 high
             TileSprite(s, 0, 0, 7, 1, Tile, 1, t);
             TileSprite(s, -9, -9, -1, -1, Tile, 0, t);
             TileSprite(s, 8, 2, 20, 20, Tile, 0, t);
         },
         {"........", "........"}},
    });
}

TEST_F(Blit, TileSpriteCircleFillsRowsOfADisc) {
    const SpriteSheet* s = sheet.get();
    Check({
        // Rows k = −2..1 about cy: half-widths 0, 1, 2, 1; cells cx − half .. cx + half − 1.
        {"r = 2 at (3, 2)", [s](Surface* t) { TileSpriteCircle(s, 3, 2, 2, Tile, 0, t); },
         {"........", "..#x....", ".x~#x...", "..#x...."}},
        // Half-widths 0, 2, 2, 3, 2, 2 (sqrt 5 and sqrt 8 truncate to 2).
        {"r = 3 at (0, 3), cut by the left edge", [s](Surface* t) { TileSpriteCircle(s, 0, 3, 3, Tile, 0, t); },
         {"........", "xx......", "#x......", "xx#.....", "#x......", "xx......", "........"}},
        {"r = 0 and frames without cells draw nothing",
         [s](Surface* t) {
             TileSpriteCircle(s, 2, 1, 0, Tile, 0, t);
             TileSpriteCircle(s, 2, 1, 2, Empty, 0, t);
             TileSpriteCircle(s, 2, 1, 2, Empty, 1, t);
         },
         {"........", "........", "........"}},
    });
}

// A 4 × 4 source of sixteen colours: rows "abcd", "efgh", "ijkl", "mnop".
std::unique_ptr<Surface> Letters4x4() {
    auto source = std::make_unique<Surface>(4, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) SetPixel(source.get(), x, y, Index(static_cast<char>('a' + 4 * y + x)));
    return source;
}

TEST(StretchCopy, NearestCellsWithBothEndsIncluded) {
    std::unique_ptr<Surface> source = Letters4x4();
    const Surface* src = source.get();
    Check({
        {"0..2 onto 0..4 takes source cells 0, 0, 1, 1, 2",
         [src](Surface* t) { StretchCopy(t, 0, 0, 2, 2, 0, 0, 4, 4, src); },
         {"aabbc...", "aabbc...", "eeffg...", "eeffg...", "iijjk..."}},
        {"0..3 onto 0..1 takes the corners", [src](Surface* t) { StretchCopy(t, 0, 0, 3, 3, 0, 0, 1, 1, src); },
         {"ad......", "mp......", "........"}},
        {"a backward source range mirrors", [src](Surface* t) { StretchCopy(t, 3, 3, 0, 0, 0, 0, 3, 3, src); },
         {"ponm....", "lkji....", "hgfe....", "dcba...."}},
        {"a one-cell target range takes the first cell of the source range",
         [src](Surface* t) {
             StretchCopy(t, 1, 1, 3, 3, 5, 0, 5, 3, src);  // rows 1 + trunc(2j / 3): 1, 1, 2, 3
             StretchCopy(t, 0, 0, 3, 3, 7, 2, 7, 2, src);
         },
         {".....f..", ".....f..", ".....j.a", ".....n.."}},
        {"reversed target ranges copy nothing",
         [src](Surface* t) {
             StretchCopy(t, 0, 0, 3, 3, 3, 0, 0, 3, src);
             StretchCopy(t, 0, 0, 3, 3, 0, 3, 3, 0, src);
         },
         {"........", "........", "........", "........"}},
        {"cells outside either surface are skipped",
         [src](Surface* t) {
             StretchCopy(t, -1, 0, 2, 0, 0, 0, 3, 0, src);  // source column −1
             StretchCopy(t, 0, 1, 3, 1, -2, 1, 1, 1, src);  // target columns −2 and −1
             StretchCopy(t, 0, 2, 0, 5, 7, 2, 7, 5, src);   // source rows 4 and 5
         },
         {".abc....", "gh......", ".......i", ".......m", "........", "........"}},
    });
}

TEST(StretchCopy, ARowWiderThanOneChunk) {
    std::unique_ptr<Surface> source = Letters4x4();
    Surface target(1100, 2);
    target.Clear(Index('.'));
    // Target column i of 0..1099 takes source column trunc(i / 1099): 'a' up to the last one.
    StretchCopy(&target, 0, 0, 1, 1, 0, 0, 1099, 1, source.get());
    for (int32_t x = 0; x < 1100; ++x) {
        ASSERT_EQ(GetPixel(&target, x, 0), Index(x < 1099 ? 'a' : 'b')) << x;
        ASSERT_EQ(GetPixel(&target, x, 1), Index(x < 1099 ? 'e' : 'f')) << x;
    }
}

TEST(CopyRect, ClippedByBothClipRectangles) {
    auto source = std::make_unique<Surface>(8, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 8; ++x) SetPixel(source.get(), x, y, Index(static_cast<char>('a' + 8 * (y % 2) + x)));
    Surface* src = source.get();
    Check({
        {"both clips",
         [src](Surface* t) {
             SetClip(t, 1, 0, 6, 3);
             SetClip(src, 0, 1, 5, 2);
             CopyRect(t, 7, 3, 0, 0, src);
         },
         {"........", ".jklmn..", ".bcdef..", "........"}},
        {"no overlap of the clips",
         [src](Surface* t) {
             SetClip(t, 6, 0, 7, 3);
             SetClip(src, 0, 0, 5, 3);
             CopyRect(t, 0, 0, 7, 3, src);
         },
         {"........", "........", "........", "........"}},
        {"clips reset: the whole rectangle at the same place",
         [src](Surface* t) {
             src->ResetClip();
             CopyRect(t, 2, 1, 4, 2, src);
             CopyRect(t, -5, 3, 0, 9, src);
         },
         {"........", "..klm...", "..cde...", "i......."}},
    });
}

TEST_F(Blit, FrameQueries) {
    const SpriteSheet* s = sheet.get();
    EXPECT_EQ(FrameWidth(s, F, 0), 3);
    EXPECT_EQ(FrameHeight(s, F, 0), 4);
    EXPECT_EQ(FrameWidth(s, Empty, 0), 0);
    EXPECT_EQ(FrameHeight(s, Empty, 1), 0);
    int16_t left = 0, top = 0;
    EXPECT_TRUE(FrameOrigin(s, Square, 0, &left, &top));
    EXPECT_EQ(left, 1 + 3 + 2);  // after F's three columns and its two markers
    EXPECT_EQ(top, 1);

    const struct {
        int16_t sprite, frame;
    } missing[] = {{F, 1}, {F, -1}, {-1, 0}, {Bar + 1, 0}, {INT16_MAX, 0}};
    for (const auto& m : missing) {
        EXPECT_EQ(FrameWidth(s, m.sprite, m.frame), 0);
        EXPECT_EQ(FrameHeight(s, m.sprite, m.frame), 0);
        left = top = 7;
        EXPECT_FALSE(FrameOrigin(s, m.sprite, m.frame, &left, &top));
        EXPECT_EQ(left, -1);
        EXPECT_EQ(top, -1);
        EXPECT_EQ(FramePixel(s, m.sprite, m.frame, 0, 0), 0);
    }
    EXPECT_EQ(FrameWidth(nullptr, 0, 0), 0);
    EXPECT_FALSE(FrameOrigin(nullptr, 0, 0, nullptr, nullptr));

    // Cells outside the frame are refused: the cells around it are markers and the sheet's
    // background, never 0.
    const struct {
        int32_t u, v;
        char expected;
    } cells[] = {{0, 0, 'a'}, {2, 0, 'c'}, {1, 2, 'h'}, {3, 0, 0}, {0, 3, 0}, {-1, 0, 0}, {0, -1, 0}, {INT32_MIN, 0, 0}};
    for (const auto& c : cells)
        EXPECT_EQ(FramePixel(s, Letters, 0, c.u, c.v), c.expected ? Index(c.expected) : 0) << c.u << ", " << c.v;

    // FramePixelIn and GetPixelFrom read the buffer they are given, with the sheet's layout.
    std::vector<uint8_t> copy(static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height));
    ASSERT_TRUE(s->CopyToBuffer(copy.data()));
    FrameOrigin(s, Letters, 0, &left, &top);
    copy[static_cast<size_t>((top + 1) * s->pitch + left + 2)] = 77;
    EXPECT_EQ(FramePixelIn(s, Letters, 0, 2, 1, copy.data()), 77);
    EXPECT_EQ(FramePixel(s, Letters, 0, 2, 1), Index('f'));
    EXPECT_EQ(FramePixelIn(s, Letters, 0, 3, 1, copy.data()), 0);
    EXPECT_EQ(FramePixelIn(s, Letters, 0, 2, 1, nullptr), 0);
    EXPECT_EQ(GetPixelFrom(s, left + 2, top + 1, copy.data()), 77);
    EXPECT_EQ(GetPixelFrom(s, 0, 0, copy.data()), 12);
    const int32_t outside[][2] = {{-1, 0}, {0, -1}, {s->pitch, 0}, {0, s->height}};
    for (auto [x, y] : outside)
        EXPECT_EQ(GetPixelFrom(s, x, y, copy.data()), 0) << x << ", " << y;
    EXPECT_EQ(GetPixelFrom(s, 0, 0, nullptr), 0);
    EXPECT_EQ(GetPixelFrom(nullptr, 0, 0, copy.data()), 0);

    EXPECT_EQ(SpriteFrameCount(s, F), 1);
    EXPECT_EQ(SpriteFrameCount(s, Empty), 2);
    EXPECT_EQ(SpriteFrameCount(s, -1), 0);
    EXPECT_EQ(SpriteFrameCount(s, Bar + 1), 0);
    EXPECT_EQ(SpriteFrameCount(nullptr, 0), 0);
}

TEST_F(Blit, AFrameSetByHandOutsideTheSheetIsNeitherDrawnNorRead) {
    sheet->sprites->frames[F][0] = {sheet->pitch - 2, 1, sheet->pitch + 3, 4};
    sheet->sprites->frames[Square][0] = {4, 3, 2, 5};  // right of its left edge
    const SpriteSheet* s = sheet.get();
    Check({{"nothing",
            [s](Surface* t) {
                for (int16_t sprite : {int16_t{F}, int16_t{Square}}) {
                    DrawSprite(s, 0, 0, sprite, 0, t, false, false, false, kTint);
                    DrawSpriteRotated(s, 2, 1, sprite, 0, t, 10.0f, 1.0f);
                    TileSprite(s, 0, 0, 7, 2, sprite, 0, t);
                    TileSpriteCircle(s, 2, 1, 2, sprite, 0, t);
                }
            },
            {"........", "........", "........"}}});
    EXPECT_EQ(FramePixel(s, F, 0, 0, 0), 0);
    EXPECT_EQ(FramePixel(s, Square, 0, 0, 0), 0);
    EXPECT_EQ(FrameWidth(s, F, 0), 5);  // the rectangle itself is still answered
}

TEST_F(Blit, AnimationFrame) {
    // Sprites without frames: out of range, on a sheet without sprites, or given none by hand.
    EXPECT_EQ(AnimationFrame(sheet.get(), -1, 100), -1);
    EXPECT_EQ(AnimationFrame(sheet.get(), Bar + 1, 100), -1);
    EXPECT_EQ(AnimationFrame(nullptr, 0, 100), -1);
    sheet->sprites->SetSprite(F, 0);
    EXPECT_EQ(AnimationFrame(sheet.get(), F, 100), -1);

    // Now: the clock read around the call brackets its answer. A period of 30 s rarely turns.
    const int16_t period = 30000;
    bool bracketed = false;
    for (int attempt = 0; attempt < 3 && !bracketed; ++attempt) {
        const int16_t before = AnimationFrameAt(2, period, AnimationClock(std::chrono::system_clock::now()));
        const int16_t now = AnimationFrame(sheet.get(), Empty, period);
        const int16_t after = AnimationFrameAt(2, period, AnimationClock(std::chrono::system_clock::now()));
        bracketed = before == after;
        if (bracketed) {
            EXPECT_EQ(now, before);
        }
    }
    EXPECT_TRUE(bracketed);
}

TEST(AnimationClock, SecondsTimesAThousandPlusMillisecondsWrapAt32Bits) {
    using namespace std::chrono;
    const auto at = [](int64_t s, int64_t ms) { return system_clock::time_point(seconds(s) + milliseconds(ms)); };
    EXPECT_EQ(AnimationClock(at(0, 0)), 0u);
    EXPECT_EQ(AnimationClock(at(12, 345)), 12345u);
    // 4294968 s is 4294968000 ms: 704 past 2³².
    EXPECT_EQ(AnimationClock(at(4294968, 5)), 709u);
    EXPECT_EQ(AnimationClock(at(4294967, 295)), 4294967295u);
}

TEST(AnimationClock, FrameOfAClockReading) {
    const struct {
        int16_t frames, period;
        uint32_t clock;
        int16_t expected;
    } cases[] = {
        {3, 100, 709, 1},           // 709 / 100 = 7; 7 mod 3
        {3, 100, 99, 0},
        {3, 100, 300, 0},
        {4, 250, 4294967295u, 1},   // 17179869 mod 4
        {0, 100, 709, -1},
        {3, 0, 709, 0},             // no time per frame: it stands still
        {3, -1, 4294967295u, 1},    // −1 counts as 4294967295
        {3, -1, 4294967294u, 0},
        {INT16_MAX, 1, 40000, 40000 % INT16_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnimationFrameAt(c.frames, c.period, c.clock), c.expected)
            << c.frames << " frames, period " << c.period << ", clock " << c.clock;
}

TEST_F(Blit, FrameCountsBeyondSixteenBitsAnswerTheLargest) {
    sheet->sprites->SetSprite(F, 40000);
    EXPECT_EQ(SpriteFrameCount(sheet.get(), F), INT16_MAX);
    const int16_t frame = AnimationFrame(sheet.get(), F, 1);
    EXPECT_GE(frame, 0);
    EXPECT_LT(frame, INT16_MAX);
}

// The program's own sheet has something to show every blitter with: frames to animate, holes and
// a tint slot, a square frame that no mirror leaves alone (for transpose and the flips), a frame
// that is not square (for turning), and one without holes to tile.
TEST(ShippedSheet, GivesEveryBlitterSomethingToShow) {
    SpriteSheet sheet(ONDREL_RUN_DIR "/Media/Sprites.bmp");
    ASSERT_NE(sheet.sprites, nullptr);
    using Cells = std::vector<std::vector<uint8_t>>;
    auto cells = [&sheet](int16_t sprite, int16_t frame) {
        Cells c(static_cast<size_t>(FrameHeight(&sheet, sprite, frame)),
                std::vector<uint8_t>(static_cast<size_t>(FrameWidth(&sheet, sprite, frame))));
        for (size_t v = 0; v < c.size(); ++v)
            for (size_t u = 0; u < c[v].size(); ++u)
                c[v][u] = FramePixel(&sheet, sprite, frame, static_cast<int32_t>(u), static_cast<int32_t>(v));
        return c;
    };
    bool animated = false, holesAndTint = false, asymmetricSquare = false, notSquare = false, tile = false;
    for (int16_t sprite = 0; sprite < sheet.sprites->spriteCount; ++sprite) {
        const int16_t frames = SpriteFrameCount(&sheet, sprite);
        animated = animated || (frames >= 2 && cells(sprite, 0) != cells(sprite, 1));
        for (int16_t frame = 0; frame < frames; ++frame) {
            const Cells c = cells(sprite, frame);
            bool hole = false, slot = false;
            for (const auto& row : c)
                for (uint8_t v : row) {
                    hole = hole || v == 5;
                    slot = slot || v == 15;
                }
            holesAndTint = holesAndTint || (hole && slot);
            tile = tile || (!hole && c.size() >= 8 && c[0].size() >= 8);
            const size_t h = c.size(), w = h > 0 ? c[0].size() : 0;
            notSquare = notSquare || (w > 0 && h > 0 && w != h);
            if (w == h && w > 0) {
                Cells mirrorX = c, mirrorY = c, transposed = c;
                for (size_t v = 0; v < h; ++v)
                    for (size_t u = 0; u < w; ++u) {
                        mirrorX[v][u] = c[v][w - 1 - u];
                        mirrorY[v][u] = c[h - 1 - v][u];
                        transposed[v][u] = c[u][v];
                    }
                asymmetricSquare = asymmetricSquare || (mirrorX != c && mirrorY != c && transposed != c &&
                                                        transposed != mirrorX && transposed != mirrorY);
            }
        }
    }
    EXPECT_TRUE(animated);
    EXPECT_TRUE(holesAndTint);
    EXPECT_TRUE(asymmetricSquare);
    EXPECT_TRUE(notSquare);
    EXPECT_TRUE(tile);
}

}  // namespace
