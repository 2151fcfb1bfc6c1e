// The drawing primitives, as pictures: pixels, rectangles, lines, circles, triangles, panels, clipping.
#include "gfx/draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "tests/support/gfx_image.h"

namespace {

using Picture = std::vector<std::string>;

// '.' is the cleared background (15), '#' the drawing colour (0).
const gfxtest::Legend kInk{{'.', 15}, {'#', 0}};

using Case = gfxtest::PictureCase;

void Check(const std::vector<Case>& cases, const gfxtest::Legend& legend = kInk, uint8_t background = 15) {
    gfxtest::CheckPictures(cases, legend, background);
}

TEST(Pixels, GetAndSetBoundAgainstTheSurfaceNotTheClip) {
    Surface s(4, 3);  // pitch 4
    s.Clear(15);
    SetClip(&s, 1, 1, 2, 1);
    SetPixel(&s, 0, 0, 7);  // outside the clip, inside the surface: written
    SetPixel(&s, 3, 2, 8);
    EXPECT_EQ(GetPixel(&s, 0, 0), 7);
    EXPECT_EQ(GetPixel(&s, 3, 2), 8);
    EXPECT_EQ(GetPixel(&s, 1, 1), 15);

    struct Outside {
        int32_t x, y;
    };
    for (Outside o : {Outside{4, 0}, Outside{0, 3}, Outside{-1, 0}, Outside{0, -1}, Outside{INT32_MIN, INT32_MAX}}) {
        SetPixel(&s, o.x, o.y, 9);
        EXPECT_EQ(GetPixel(&s, o.x, o.y), 0) << o.x << ", " << o.y;
    }
    // None of the dropped writes wrapped around into the image.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_NE(GetPixel(&s, x, y), 9);

    Surface empty;
    SetPixel(&empty, 0, 0, 1);
    EXPECT_EQ(GetPixel(&empty, 0, 0), 0);
}

TEST(FillRect, CornersClipAndRejection) {
    Check({
        {"ordered", [](Surface* s) { FillRect(s, 1, 1, 3, 2, 0); }, {"........", ".###....", ".###....", "........"}},
        {"reversed corners", [](Surface* s) { FillRect(s, 3, 2, 1, 1, 0); },
         {"........", ".###....", ".###....", "........"}},
        {"one pixel", [](Surface* s) { FillRect(s, 7, 3, 7, 3, 0); }, {"........", "........", "........", ".......#"}},
        {"whole rows, first and last left alone", [](Surface* s) { FillRect(s, -5, 1, 20, 2, 0); },
         {"........", "########", "########", "........"}},
        {"a column clipped top and bottom", [](Surface* s) { FillRect(s, 6, -9, 6, 9, 0); },
         {"......#.", "......#.", "......#.", "......#."}},
        {"a column inside a narrowed clip",
         [](Surface* s) {
             SetClip(s, 0, 1, 7, 2);
             FillRect(s, 1, 0, 1, 3, 0);
         },
         {"........", ".#......", ".#......", "........"}},
        {"partly outside the surface", [](Surface* s) { FillRect(s, -5, 2, 5, 100, 0); },
         {"........", "........", "######..", "######.."}},
        {"partly outside a narrowed clip",
         [](Surface* s) {
             SetClip(s, 2, 1, 5, 2);
             FillRect(s, 0, 0, 3, 3, 0);
         },
         {"........", "..##....", "..##....", "........"}},
        {"wholly outside the clip",
         [](Surface* s) {
             SetClip(s, 2, 1, 5, 2);
             FillRect(s, 6, 0, 7, 3, 0);
             FillRect(s, 0, 3, 7, 3, 0);
         },
         {"........", "........", "........", "........"}},
    });
}

TEST(DrawLine, StraightLinesIncludeBothEndsSlopedOnesOmitTheLast) {
    Check({
        {"horizontal (0,0)-(3,0)", [](Surface* s) { DrawLine(s, 0, 0, 3, 0, 0); }, {"####....", "........"}},
        {"vertical upward (2,3)-(2,0)", [](Surface* s) { DrawLine(s, 2, 3, 2, 0, 0); }, {"..#.", "..#.", "..#.", "..#."}},
        {"diagonal (0,0)-(3,3)", [](Surface* s) { DrawLine(s, 0, 0, 3, 3, 0); }, {"#...", ".#..", "..#.", "...."}},
        {"shallow (0,0)-(4,2)", [](Surface* s) { DrawLine(s, 0, 0, 4, 2, 0); },
         {"#.......", ".##.....", "...#....", "........"}},
        {"shallow reversed (4,2)-(0,0)", [](Surface* s) { DrawLine(s, 4, 2, 0, 0, 0); },
         {".#......", "..##....", "....#...", "........"}},
        {"steep (0,0)-(1,3)", [](Surface* s) { DrawLine(s, 0, 0, 1, 3, 0); }, {"#...", "#...", ".#..", "...."}},
        {"steep upward-left (3,3)-(1,0)", [](Surface* s) { DrawLine(s, 3, 3, 1, 0, 0); },
         // dx 2, dy 3, error 1: a diagonal step, a straight one, then (1, 0) is not drawn.
         {"....", "..#.", "..#.", "...#"}},
        {"a point", [](Surface* s) { DrawLine(s, 2, 1, 2, 1, 0); }, {"....", "..#.", "...."}},
        {"sloped line crossing the clip edge",
         [](Surface* s) {
             SetClip(s, 0, 0, 2, 3);
             DrawLine(s, 0, 0, 4, 4, 0);
         },
         {"#...", ".#..", "..#.", "...."}},
        {"sloped line starting off the surface", [](Surface* s) { DrawLine(s, -2, -2, 3, 3, 0); },
         {"#...", ".#..", "..#.", "...."}},
    });
}

TEST(DrawRect, Outline) {
    Check({
        {"reversed corners", [](Surface* s) { DrawRect(s, 5, 3, 1, 0, 0); },
         {".#####..", ".#...#..", ".#...#..", ".#####.."}},
        {"one row", [](Surface* s) { DrawRect(s, 1, 1, 3, 1, 0); }, {"....", ".###", "...."}},
    });
}

TEST(FillCircle, Radii) {
    Check({
        {"r = 0", [](Surface* s) { FillCircle(s, 1, 1, 0, 0); }, {"....", ".#..", "...."}},
        {"r = 1", [](Surface* s) { FillCircle(s, 1, 1, 1, 0); }, {".#..", "###.", ".#..", "...."}},
        {"r = 2", [](Surface* s) { FillCircle(s, 2, 2, 2, 0); },
         {"..#.....", ".###....", "#####...", ".###....", "..#....."}},
        {"negative r", [](Surface* s) { FillCircle(s, 1, 1, -1, 0); }, {"....", "....", "...."}},
        {"cut by the clip",
         [](Surface* s) {
             SetClip(s, 0, 0, 7, 2);
             FillCircle(s, 2, 2, 2, 0);
         },
         {"..#.....", ".###....", "#####...", "........", "........"}},
        {"centre off the surface", [](Surface* s) { FillCircle(s, -1, 1, 2, 0); },
         {"#...", "##..", "#...", "...."}},
    });
}

// Rows cy − r .. cy + r; row cy + dy covers cx − h .. cx + h, h the largest whole number whose
// square is at most r² − dy² (found here by halving, not by a square root); every cell inside
// the clip rectangle.
TEST(FillCircle, FollowsTheRowRuleUnderAnyClip) {
    const auto halfWidth = [](int64_t r, int64_t dy) {
        const int64_t d = r * r - dy * dy;
        int64_t low = 0, high = r;  // low² ≤ d < (high + 1)²
        while (low < high) {
            const int64_t mid = (low + high + 1) / 2;
            if (mid * mid <= d)
                low = mid;
            else
                high = mid - 1;
        }
        return low;
    };
    std::mt19937 random(31);
    Surface actual(36, 28), expected(36, 28);
    const int32_t radii[] = {0, 1, 2, 3, 5, 10, 17, 40, 1000, 123456, 2147483647};
    for (int trial = 0; trial < 3000; ++trial) {
        const int32_t r = trial % 3 == 0 ? radii[random() % std::size(radii)] : static_cast<int32_t>(random() % 25);
        // Centres about the surface and, for the large radii, as far away as their edge.
        int32_t cx = static_cast<int32_t>(random() % 60) - 12, cy = static_cast<int32_t>(random() % 50) - 11;
        if (r > 1000 && random() % 2) {
            // A centre r rows below or above the surface's middle rows, held to 32 bits.
            const int64_t distant = int64_t{cy} + (random() % 2 ? r : -int64_t{r}) + static_cast<int64_t>(random() % 20) - 4;
            cy = static_cast<int32_t>(std::clamp<int64_t>(distant, INT32_MIN, INT32_MAX));
        }
        int32_t left = static_cast<int32_t>(random() % 36), right = static_cast<int32_t>(random() % 36);
        int32_t top = static_cast<int32_t>(random() % 28), bottom = static_cast<int32_t>(random() % 28);
        if (random() % 3 == 0) left = top = 0, right = 35, bottom = 27;
        for (Surface* s : {&actual, &expected}) {
            s->ResetClip();
            s->Clear(15);
            SetClip(s, left, top, right, bottom);
        }
        FillCircle(&actual, cx, cy, r, 0);
        int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        GetClip(&expected, &x0, &y0, &x1, &y1);
        for (int64_t y = y0; y <= y1; ++y) {
            const int64_t dy = y - cy;
            if (dy < -int64_t{r} || dy > r) continue;
            const int64_t h = halfWidth(r, dy);
            for (int64_t x = x0; x <= x1; ++x)
                if (x >= cx - h && x <= cx + h)
                    SetPixel(&expected, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
        }
        ASSERT_EQ(0, std::memcmp(actual.GetPixels(), expected.GetPixels(), 36 * 28))
            << "r " << r << " at (" << cx << ", " << cy << "), clip " << left << ", " << top << ", " << right << ", "
            << bottom;
    }
}

TEST(DrawCircle, ClosedOutline) {
    Check({
        {"r = 3 at (5, 5)", [](Surface* s) { DrawCircle(s, 5, 5, 3, 0); },
         {
             "............",
             "............",
             ".....#......",
             "...##.##....",
             "...#...#....",
             "..#.....#...",
             "...#...#....",
             "...#...#....",
             "....###.....",
             "............",
         }},
        {"r = 0", [](Surface* s) { DrawCircle(s, 1, 1, 0, 0); }, {"....", ".#..", "...."}},
        {"r = 3 with the top rows clipped away",
         [](Surface* s) {
             SetClip(s, 0, 6, 11, 9);
             DrawCircle(s, 5, 5, 3, 0);
         },
         {
             "............",
             "............",
             "............",
             "............",
             "............",
             "............",
             "...#...#....",
             "...#...#....",
             "....###.....",
             "............",
         }},
    });
}

TEST(FillTriangle, RowsFromTopToJustAboveTheBottomVertex) {
    Check({
        {"flat top", [](Surface* s) { FillTriangle(s, 0, 0, 4, 0, 0, 4, 0); },
         {"#####...", "####....", "###.....", "##......", "........"}},
        {"middle vertex on the left", [](Surface* s) { FillTriangle(s, 4, 4, 0, 2, 2, 0, 0); },
         {"..#.....", ".##.....", "####....", "..##....", "........"}},
        {"all on one row", [](Surface* s) { FillTriangle(s, 0, 1, 3, 1, 6, 1, 0); },
         {"........", "........", "........"}},
        {"clipped", [](Surface* s) {
             SetClip(s, 1, 1, 7, 2);
             FillTriangle(s, 0, 0, 4, 0, 0, 4, 0);
         },
         {"........", ".###....", ".##.....", "........", "........"}},
    });
}

TEST(DrawPanel, RaisedSunkenAndNarrow) {
    const gfxtest::Legend panel{{'.', 0}, {'w', 15}, {'d', 8}, {'b', 9}};
    Check(
        {
            {"raised", [](Surface* s) { DrawPanel(s, 0, 0, 4, 3, false); },
             {"wwwww...", "wbbbd...", "wbbbd...", "ddddd..."}},
            {"pressed", [](Surface* s) { DrawPanel(s, 0, 0, 4, 3, true); },
             {"ddddd...", "dbbbw...", "dbbbw...", "wwwww..."}},
            {"reversed corners", [](Surface* s) { DrawPanel(s, 4, 3, 0, 0, false); },
             {"wwwww...", "wbbbd...", "wbbbd...", "ddddd..."}},
            // No interior: the edges are not painted over.
            {"two columns wide", [](Surface* s) { DrawPanel(s, 0, 0, 1, 3, false); }, {"ww..", "wd..", "wd..", "dd.."}},
        },
        panel, 0);
}

TEST(Clip, SetClipClampsAndOrders) {
    Surface s(8, 6);
    int32_t l = 0, t = 0, r = 0, b = 0;
    SetClip(&s, -5, -5, 100, 100);
    GetClip(&s, &l, &t, &r, &b);
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({0, 0, 7, 5}));

    // An inverted rectangle is taken with its corners ordered.
    s.Clear(15);
    SetClip(&s, 6, 4, 2, 1);
    GetClip(&s, &l, &t, &r, &b);
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({2, 1, 6, 4}));
    FillRect(&s, 0, 0, 7, 5, 0);
    EXPECT_TRUE(gfxtest::SurfaceShows(s, {"........", "..#####.", "..#####.", "..#####.", "..#####.", "........"}, kInk));

    s.ResetClip();
    GetClip(&s, &l, &t, &r, &b);
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({0, 0, 7, 5}));
}

TEST(Clip, AClipWhollyOffTheSurfaceDrawsNothing) {
    // Clamped, these leave left > right (or top > bottom); the runs that straddle them must
    // come out empty rather than with a negative length.
    Surface s(8, 6);
    const Picture blank(6, "........");
    struct Off {
        int32_t l, t, r, b;
    };
    for (Off off : {Off{12, 0, 20, 5}, Off{-9, 0, -3, 5}, Off{0, 9, 7, 20}}) {
        s.ResetClip();
        s.Clear(15);
        SetClip(&s, off.l, off.t, off.r, off.b);
        FillRect(&s, -20, -20, 30, 30, 0);
        FillCircle(&s, 4, 3, 20, 0);
        DrawCircle(&s, 4, 3, 3, 0);
        DrawLine(&s, -10, 0, 20, 5, 0);
        DrawLine(&s, 0, 2, 7, 2, 0);
        DrawRect(&s, 0, 0, 7, 5, 0);
        FillTriangle(&s, -10, -10, 20, 0, 0, 20, 0);
        DrawPanel(&s, 0, 0, 7, 5, false);
        s.Clear(0);
        EXPECT_TRUE(gfxtest::SurfaceShows(s, blank, kInk)) << off.l << ", " << off.t << ", " << off.r << ", " << off.b;
        int32_t x0 = 0, y0 = 0, x1 = 7, y1 = 5;
        EXPECT_FALSE(ClipToSurface(&s, &x0, &y0, &x1, &y1));
    }
}

TEST(Clip, ClipToSurfaceOrdersThenClamps) {
    Surface s(8, 6);
    SetClip(&s, 1, 1, 6, 4);
    struct Rect {
        int32_t x0, y0, x1, y1;
        bool inside;
        int32_t ex0, ey0, ex1, ey1;
    };
    const Rect cases[] = {
        {2, 2, 3, 3, true, 2, 2, 3, 3},      // already inside
        {7, 5, 0, 0, true, 1, 1, 6, 4},      // reversed and larger: ordered and clamped
        {0, 0, 0, 9, false, 0, 0, 0, 9},     // left of the clip
        {9, 3, 7, 2, false, 7, 2, 9, 3},     // right of it: left ordered
        {3, -4, 4, 0, false, 3, -4, 4, 0},   // above it
        {6, 4, 20, 20, true, 6, 4, 6, 4},    // touching the corner
    };
    for (const Rect& c : cases) {
        int32_t x0 = c.x0, y0 = c.y0, x1 = c.x1, y1 = c.y1;
        EXPECT_EQ(ClipToSurface(&s, &x0, &y0, &x1, &y1), c.inside) << c.x0 << ", " << c.y0 << ", " << c.x1 << ", " << c.y1;
        EXPECT_EQ(std::vector<int32_t>({x0, y0, x1, y1}), std::vector<int32_t>({c.ex0, c.ey0, c.ex1, c.ey1}));
    }
}

TEST(Primitives, EmptySurfaceIsLeftAlone) {
    Surface empty;
    FillRect(&empty, 0, 0, 5, 5, 1);
    DrawLine(&empty, 0, 0, 5, 3, 1);
    DrawLine(&empty, 0, 0, 5, 0, 1);
    DrawRect(&empty, 0, 0, 5, 5, 1);
    FillCircle(&empty, 0, 0, 3, 1);
    DrawCircle(&empty, 0, 0, 3, 1);
    FillTriangle(&empty, 0, 0, 5, 0, 0, 5, 1);
    DrawPanel(&empty, 0, 0, 5, 5, true);
    SetClip(&empty, 0, 0, 5, 5);
    int32_t x0 = 0, y0 = 0, x1 = 5, y1 = 5;
    EXPECT_FALSE(ClipToSurface(&empty, &x0, &y0, &x1, &y1));
    EXPECT_EQ(empty.GetPixels(), nullptr);
}

TEST(Primitives, ExtremeCoordinatesDoNotOverflow) {
    Surface s(8, 4);
    s.Clear(15);
    FillRect(&s, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0);
    EXPECT_EQ(GetPixel(&s, 7, 3), 0);
    s.Clear(15);
    FillCircle(&s, 0, 0, 1000000, 0);  // rows outside the surface are not walked
    EXPECT_EQ(GetPixel(&s, 7, 3), 0);
    s.Clear(15);
    DrawCircle(&s, 0, 0, 1000000, 0);  // its outline lies far outside
    EXPECT_TRUE(gfxtest::SurfaceShows(s, {"........", "........", "........", "........"}, kInk));
}

}  // namespace
