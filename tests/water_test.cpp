// The water simulation: worked steps as pictures, and long random runs against a literal
// reference step.
#include "water/water.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "tests/support/gfx_image.h"
#include "tests/support/water_reference.h"

namespace {

using Picture = std::vector<std::string>;

// '.' empty, '~' water, '#' wall.
const gfxtest::Legend kScene{{'.', EmptyIndex}, {'~', WaterIndex}, {'#', 0}};

struct Extent {
    int32_t x0;
    int32_t x1;
    int32_t y;
    bool operator==(const Extent&) const = default;
};

void PrintTo(const Extent& e, std::ostream* out) { *out << e.x0 << ".." << e.x1 << " row " << e.y; }

std::vector<Extent> ListedSpans() {
    std::vector<Extent> out;
    const WaterSpanList& list = appGlobals.waterSpans;
    for (int32_t i = 0; i < list.count; ++i) out.push_back({list.spans[i].x0, list.spans[i].x1, list.spans[i].y});
    return out;
}

// Points appGlobals at a fresh scene of its own (cleared to EmptyIndex, an empty list) and puts
// back what was there before when it goes.
class SceneGuard {
public:
    SceneGuard(int32_t width, int32_t height, int32_t rowLimit)
        : surface(width, height),
          savedHeight(appGlobals.screenHeight),
          savedSurface(appGlobals.sceneSurface),
          savedSpans(appGlobals.waterSpans) {
        appGlobals.waterSpans = WaterSpanList{nullptr, 0, 0};
        appGlobals.screenHeight = rowLimit;
        surface.Clear(EmptyIndex);
        appGlobals.sceneSurface = &surface;
        InitWater();
    }
    ~SceneGuard() {
        FreeWater();
        appGlobals.screenHeight = savedHeight;
        appGlobals.sceneSurface = savedSurface;
        appGlobals.waterSpans = savedSpans;
    }
    SceneGuard(const SceneGuard&) = delete;
    SceneGuard& operator=(const SceneGuard&) = delete;

    Surface surface;

private:
    int32_t savedHeight;
    Surface* savedSurface;
    WaterSpanList savedSpans;
};

// Most cases run on a 24 × 8 scene whose row limit is its height.
class WaterTest : public ::testing::Test {
protected:
    void SetUp() override { Use(24, 8); }
    void Use(int32_t width, int32_t height) {
        scene.reset();
        scene = std::make_unique<SceneGuard>(width, height, height);
    }
    Surface& Image() { return scene->surface; }

    void Draw(const Picture& rows) {
        for (size_t y = 0; y < rows.size(); ++y) {
            for (size_t x = 0; x < rows[y].size(); ++x) {
                SetPixel(&Image(), static_cast<int32_t>(x), static_cast<int32_t>(y), kScene.at(rows[y][x]));
            }
        }
    }
    // A span that has already moved: listed and painted.
    void AddPainted(int32_t x0, int32_t x1, int32_t y) {
        PourWater(x0, x1, y);
        DrawLine(&Image(), x0, y, x1, y, WaterIndex);
    }
    ::testing::AssertionResult Shows(const Picture& rows) { return gfxtest::SurfaceShows(Image(), rows, kScene); }

    std::unique_ptr<SceneGuard> scene;
};

TEST_F(WaterTest, WorkedStepOverAShortWall) {
    const Picture before{
        "........................",
        "........................",
        "........................",
        "..~~~~~~~~..............",
        "....###.................",
        "........................",
        "........................",
        "........................",
    };
    Draw(before);
    PourWater(2, 9, 3);
    StepWater();
    // The record of 2..9 was killed by the split and is gone; the two outer pieces fell.
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{4, 6, 3}, {2, 3, 4}, {7, 9, 4}}));
    EXPECT_EQ(appGlobals.waterSpans.capacity, InitialSpanCapacity);
    EXPECT_TRUE(Shows({
        "........................",
        "........................",
        "........................",
        "....~~~.................",
        "..~~###~~~..............",
        "........................",
        "........................",
        "........................",
    }));
}

TEST_F(WaterTest, SpreadExampleMovesTheHalvesApart) {
    // Span 10..19 on row 5 over a floor; water three deep over column 15, two deep elsewhere,
    // and not in the list. Five free cells on the left, one on the right.
    Draw({
        "........................",
        "........................",
        "...............~........",
        "..........~~~~~~~~~~....",
        "..........~~~~~~~~~~....",
        "....#.....~~~~~~~~~~.#..",
        "....##################..",
        "........................",
    });
    PourWater(10, 19, 5);
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{8, 12, 5}, {16, 20, 5}}));
    EXPECT_TRUE(Shows({
        "........................",
        "........................",
        "...............~........",
        "..........~~~~~~~~~~....",
        "..........~~~~~~~~~~....",
        "....#...~~~~~...~~~~~#..",
        "....##################..",
        "........................",
    }));
}

TEST_F(WaterTest, SpreadReachIsOneLessThanTheDepthAndStopsAtWalls) {
    // Span 10..13 on row 7 over a floor, walls leaving four free cells a side, water `depth`
    // deep over column 11.
    struct Case {
        int32_t depth;
        std::vector<Extent> expected;
        const char* row;
    };
    const Case cases[]{
        {1, {{10, 13, 7}}, ".....#....~~~~....#....."},
        {2, {{9, 10, 7}, {13, 14, 7}}, ".....#...~~..~~...#....."},
        {4, {{7, 8, 7}, {15, 16, 7}}, ".....#.~~......~~.#....."},
        {7, {{6, 7, 7}, {16, 17, 7}}, ".....#~~........~~#....."},
    };
    for (const Case& c : cases) {
        Use(24, 10);
        Draw({"", "", "", "", "", "", "", ".....#....~~~~....#.....", "..######################"});
        for (int32_t d = 1; d <= c.depth; ++d) SetPixel(&Image(), 11, 7 - d, WaterIndex);
        PourWater(10, 13, 7);
        StepWater();
        EXPECT_EQ(ListedSpans(), c.expected) << "depth " << c.depth;
        EXPECT_EQ(gfxtest::Picture(Image(), 24, 10, kScene)[7], c.row) << "depth " << c.depth;
    }
}

TEST_F(WaterTest, PouredSpanShowsFromItsFirstFallOn) {
    PourWater(8, 3, 1);
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{3, 8, 1}}));
    EXPECT_TRUE(Shows(Picture(8, std::string(24, '.'))));
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{3, 8, 2}}));
    EXPECT_TRUE(Shows({
        "........................",
        "........................",
        "...~~~~~~...............",
        "........................",
        "........................",
        "........................",
        "........................",
        "........................",
    }));
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{3, 8, 3}}));
    const Picture picture = gfxtest::Picture(Image(), 24, 8, kScene);
    EXPECT_EQ(picture[2], std::string(24, '.'));
    EXPECT_EQ(picture[3], "...~~~~~~...............");
}

TEST_F(WaterTest, FallingFromAThinWallErasesItUnderTheSpan) {
    Draw({"", "", "", "", "########################"});
    PourWater(5, 10, 4);
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{5, 10, 5}}));
    EXPECT_TRUE(Shows({
        "........................",
        "........................",
        "........................",
        "........................",
        "#####......#############",
        ".....~~~~~~.............",
        "........................",
        "........................",
    }));
}

TEST_F(WaterTest, WaterDrainsWithoutEverBeingPaintedOnTheBottomRow) {
    PourWater(2, 5, 0);
    for (int32_t step = 1; step <= 7; ++step) {
        StepWater();
        const Picture picture = gfxtest::Picture(Image(), 24, 8, kScene);
        EXPECT_EQ(picture[7], std::string(24, '.')) << "step " << step;
        if (step <= 6) {
            EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{2, 5, step}})) << "step " << step;
            EXPECT_EQ(picture[static_cast<size_t>(step)], "..~~~~..................") << "step " << step;
        }
    }
    // The seventh step moved it from row 6 onto the bottom row, where it vanished.
    EXPECT_EQ(appGlobals.waterSpans.count, 0);
    EXPECT_TRUE(Shows(Picture(8, std::string(24, '.'))));
}

TEST_F(WaterTest, SplitsIntoPiecesAndTheRestIsSplitAgain) {
    Draw({
        "........................",
        "........................",
        "........................",
        "........................",
        "........................",
        "..~~~~~~~~~~~~~~~.......",
        "######...###..##########",
        "........................",
    });
    PourWater(2, 16, 5);
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{2, 5, 5}, {9, 11, 5}, {14, 16, 5}, {6, 8, 6}, {12, 13, 6}}));
    EXPECT_TRUE(Shows({
        "........................",
        "........................",
        "........................",
        "........................",
        "........................",
        "..~~~~...~~~..~~~.......",
        "######~~~###~~##########",
        "........................",
    }));
}

TEST_F(WaterTest, OneCellSpanMovesOnlyLeft) {
    // Water three deep over column 10, which stands on a floor.
    struct Case {
        const char* row;
        std::vector<Extent> expected;
        const char* after;
    };
    const Case cases[]{
        {".........#~....#........", {{10, 10, 5}}, ".........#~....#........"},
        {"......#...~#............", {{8, 8, 5}}, "......#.~..#............"},
    };
    for (const Case& c : cases) {
        Use(24, 8);
        Draw({"", "", "..........~", "..........~", "..........~", c.row, "########################"});
        PourWater(10, 10, 5);
        StepWater();
        EXPECT_EQ(ListedSpans(), c.expected) << c.row;
        EXPECT_EQ(gfxtest::Picture(Image(), 24, 8, kScene)[5], c.after) << c.row;
    }
}

TEST_F(WaterTest, EnclosedSpanIsDisarmedAndDoesNotFollowWaterFallingAway) {
    // D (row 5) is listed before A (row 4, resting on D); D falls. A follows in the same step only
    // when it is still armed, which a free cell beside it keeps it.
    struct Case {
        const char* rowOfA;
        std::vector<Extent> expected;
        Picture after;
    };
    const Case cases[]{
        {"....#~~~~#..............",
         {{5, 8, 4}, {5, 8, 6}},
         {"", "", "", "", "....#~~~~#..............", "....#....#..............", ".....~~~~..............."}},
        {"....#~~~~...............",
         {{5, 8, 5}, {5, 8, 6}},
         {"", "", "", "", "....#...................", "....#~~~~#..............", ".....~~~~..............."}},
    };
    for (const Case& c : cases) {
        Use(24, 8);
        Draw({"", "", "", "", c.rowOfA, "....#~~~~#.............."});
        PourWater(5, 8, 5);
        PourWater(5, 8, 4);
        StepWater();
        EXPECT_EQ(ListedSpans(), c.expected) << c.rowOfA;
        Picture expected = c.after;
        for (std::string& row : expected) row.resize(24, '.');
        expected.resize(8, std::string(24, '.'));
        EXPECT_TRUE(Shows(expected)) << c.rowOfA;
    }
}

TEST_F(WaterTest, MergesOnlyLaterSpansThatTouchTheGrowingSpan) {
    // Spans resting on a floor, listed in the order given; nothing moves, so the image stays.
    struct Case {
        const char* name;
        const char* row;
        std::vector<Extent> poured;
        std::vector<Extent> expected;
    };
    const Case cases[]{
        {"adjacent", "....#~~~~~~~~#..........", {{5, 8, 5}, {9, 12, 5}}, {{5, 12, 5}}},
        {"one free cell apart", "....#~~~~.~~~#..........", {{5, 8, 5}, {10, 12, 5}}, {{5, 8, 5}, {10, 12, 5}}},
        {"one stray water cell apart", "....#~~~~~~~~#..........", {{5, 8, 5}, {10, 12, 5}},
         {{5, 8, 5}, {10, 12, 5}}},
        {"only spans after the grown one", ".#~~~~~~~~#.............", {{2, 4, 5}, {8, 9, 5}, {5, 7, 5}},
         {{2, 7, 5}, {8, 9, 5}}},
        {"outer span does not take an inner one", ".#~~~~~~~~~~~~#.........", {{2, 12, 5}, {5, 7, 5}},
         {{2, 12, 5}, {5, 7, 5}}},
        {"inner span takes an outer one", ".#~~~~~~~~~~~~#.........", {{5, 7, 5}, {2, 12, 5}}, {{2, 12, 5}}},
    };
    for (const Case& c : cases) {
        Use(24, 8);
        Draw({"", "", "", "", "", c.row, "########################"});
        for (const Extent& e : c.poured) PourWater(e.x0, e.x1, e.y);
        StepWater();
        EXPECT_EQ(ListedSpans(), c.expected) << c.name;
        EXPECT_EQ(gfxtest::Picture(Image(), 24, 8, kScene)[5], c.row) << c.name;
    }
}

TEST_F(WaterTest, ColumnHeightCountsUnbrokenWaterUpToTheTop) {
    Use(16, 8);
    Draw({
        "......~.........",
        "....~.~.........",
        "....~.~.........",
        "...~#.~.........",
        "...~~.~.........",
        "...~~.~~........",
    });
    struct Case {
        Extent span;
        int32_t height;
    };
    const Case cases[]{
        {{3, 6, 6}, 6},   // column 6 runs to row 0, where the top border stops it
        {{3, 5, 6}, 3},   // column 4 is cut by the wall, column 3 by a free cell
        {{4, 5, 6}, 2},
        {{7, 7, 6}, 1},
        {{5, 5, 6}, 0},
        {{-1, 6, 6}, 0},  // a negative first column never has pressure
        {{8, 40, 6}, 0},
        {{6, 6, 0}, 0},
        {{6, 6, 3}, 3},
    };
    for (const Case& c : cases) PourWater(c.span.x0, c.span.x1, c.span.y);
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(cases)); ++i) {
        EXPECT_EQ(WaterColumnHeight(i), cases[i].height) << "span " << i;
    }
    EXPECT_EQ(WaterColumnHeight(-1), 0);
    EXPECT_EQ(WaterColumnHeight(static_cast<int32_t>(std::size(cases))), 0);
}

TEST_F(WaterTest, SpansAtAndBeyondTheEdges) {
    // Deep water over a floor: a span with a negative first column has no pressure, one at 0 has.
    Draw({"", "~~~~~", "~~~~~", "~~~~~", "~~~~~", "~~~~~", "########################"});
    PourWater(-3, 4, 5);
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{-3, 4, 5}}));
    ResetWater();
    PourWater(0, 4, 5);
    StepWater();  // h = 4: left reads outside, so only the right half moves, by 3
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{0, 2, 5}, {6, 7, 5}}));

    Use(24, 8);
    PourWater(3, 5, 8);   // at the row limit: dead
    PourWater(3, 5, -1);  // falls into row 0
    PourWater(7, 9, -2);  // reads nothing but the outside: inert for good
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{7, 9, -2}, {3, 5, 0}}));
    StepWater();
    StepWater();
    EXPECT_EQ(ListedSpans(), (std::vector<Extent>{{7, 9, -2}, {3, 5, 2}}));
    Picture expected(8, std::string(24, '.'));
    expected[2] = "...~~~..................";
    EXPECT_TRUE(Shows(expected));
}

TEST_F(WaterTest, SortKeepsTheListOrderWithinARow) {
    // On a solid image every span is inert, so the step only sorts and drops the dead. Both a
    // short list and a long one, with rows far above the image.
    for (int32_t spans : {7, 200}) {
        Use(24, 8);
        Image().Clear(0);
        std::mt19937 random(static_cast<uint32_t>(spans));
        const int32_t rows[]{3, -2, 0, 7, 5, -2000000000, 8, INT32_MAX, -70000, 3, 1};
        std::vector<Extent> poured;
        for (int32_t i = 0; i < spans; ++i) {
            const Extent e{i, i + static_cast<int32_t>(random() % 5), rows[random() % std::size(rows)]};
            poured.push_back(e);
            PourWater(e.x0, e.x1, e.y);
        }
        std::vector<Extent> expected;
        for (const Extent& e : poured)
            if (e.y < 8) expected.push_back(e);
        std::stable_sort(expected.begin(), expected.end(), [](const Extent& a, const Extent& b) { return a.y < b.y; });
        StepWater();
        EXPECT_EQ(ListedSpans(), expected) << spans << " spans";
        StepWater();
        EXPECT_EQ(ListedSpans(), expected) << spans << " spans, second step";
    }
}

TEST(WaterList, GrowsByDoublingAndResets) {
    SceneGuard guard(8, 8, 8);
    EXPECT_TRUE(InitWater());
    EXPECT_EQ(appGlobals.waterSpans.count, 0);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 32);
    for (int32_t i = 0; i < 32; ++i) PourWater(i, -i, 100 + i);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 32);
    PourWater(7, 9, 3);
    EXPECT_EQ(appGlobals.waterSpans.count, 33);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 64);
    for (int32_t i = 0; i < 32; ++i) {
        const WaterSpan& s = appGlobals.waterSpans.spans[i];
        EXPECT_EQ((Extent{s.x0, s.x1, s.y}), (Extent{-i, i, 100 + i}));
        EXPECT_TRUE(s.active);
    }
    const WaterSpan& last = appGlobals.waterSpans.spans[32];
    EXPECT_EQ((Extent{last.x0, last.x1, last.y}), (Extent{7, 9, 3}));

    ResetWater();
    EXPECT_EQ(appGlobals.waterSpans.count, 0);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 32);
    EXPECT_NE(appGlobals.waterSpans.spans, nullptr);

    FreeWater();
    EXPECT_EQ(appGlobals.waterSpans.spans, nullptr);
    EXPECT_EQ(appGlobals.waterSpans.count, 0);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 0);
    StepWater();  // harmless on a released list
    // Pouring into a released list starts it again at the initial size.
    PourWater(1, 2, 3);
    EXPECT_EQ(appGlobals.waterSpans.count, 1);
    EXPECT_EQ(appGlobals.waterSpans.capacity, 32);
}

::testing::AssertionResult SameSpans(const std::vector<WaterSpan>& expected) {
    const WaterSpanList& list = appGlobals.waterSpans;
    if (list.count != static_cast<int32_t>(expected.size())) {
        return ::testing::AssertionFailure() << list.count << " spans, expected " << expected.size();
    }
    for (int32_t i = 0; i < list.count; ++i) {
        const WaterSpan& a = list.spans[i];
        const WaterSpan& e = expected[static_cast<size_t>(i)];
        if (a.x0 != e.x0 || a.x1 != e.x1 || a.y != e.y || (a.active != 0) != (e.active != 0)) {
            return ::testing::AssertionFailure() << "span " << i << ": " << a.x0 << ".." << a.x1 << " row " << a.y
                                                 << " active " << int{a.active} << ", expected " << e.x0 << ".." << e.x1
                                                 << " row " << e.y << " active " << int{e.active};
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult OrderedAndLive(int32_t rowLimit) {
    const WaterSpanList& list = appGlobals.waterSpans;
    for (int32_t i = 0; i < list.count; ++i) {
        if (list.spans[i].y >= rowLimit) return ::testing::AssertionFailure() << "dead span at " << i;
        if (i > 0 && list.spans[i - 1].y > list.spans[i].y) return ::testing::AssertionFailure() << "out of order at " << i;
    }
    return ::testing::AssertionSuccess();
}

// What falls on a randomised scene besides the walls drawn and erased now and then.
enum class Weather {
    Showers,    // a few pours a step, of any width, anywhere
    HeavyRain,  // many 11-cell drops a step near the top, over a floor with drains
    Columns,    // deep columns of water one cell wide, whose walls get broken
};

struct RunSetup {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t rowLimit;
    bool narrowClip;
    int steps;
    Weather weather = Weather::Showers;
};

// Walls drawn and erased, stray water, pours everywhere (also outside the image), now and then
// a reset; both simulations see the same scene and must agree after every step.
void RunAgainstReference(const RunSetup& setup, uint32_t seed, ReferenceCounts* total) {
    SceneGuard guard(setup.width, setup.height, setup.rowLimit);
    Surface* image = &guard.surface;
    Surface twin(setup.width, setup.height);
    twin.Clear(EmptyIndex);
    if (setup.narrowClip) {
        SetClip(image, 3, 2, setup.width - 6, setup.height - 4);
        SetClip(&twin, 3, 2, setup.width - 6, setup.height - 4);
    }
    ReferenceWater reference(&twin, setup.rowLimit);
    std::mt19937 random(seed);
    auto pick = [&random](int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    };
    auto both = [&](auto&& draw) {
        draw(image);
        draw(&twin);
    };
    const int32_t w = image->pitch;
    const int32_t h = image->height;
    const int32_t floor = h - 4;
    if (setup.weather == Weather::HeavyRain) {
        both([&](Surface* s) { DrawLine(s, 0, floor, w - 1, floor, 0); });
        for (int32_t x = 3; x < w; x += 13) both([&](Surface* s) { DrawLine(s, x, floor, x + 4, floor, EmptyIndex); });
    } else if (setup.weather == Weather::Columns) {
        // Columns one cell wide at every third column, full from row 2 down to the floor, one
        // listed span per cell.
        both([&](Surface* s) { DrawLine(s, 0, floor, w - 1, floor, 0); });
        for (int32_t x = 1; x + 1 < w; x += 3) {
            both([&](Surface* s) {
                DrawLine(s, x - 1, 1, x - 1, floor, 0);
                DrawLine(s, x + 1, 1, x + 1, floor, 0);
                DrawLine(s, x, 2, x, floor - 1, WaterIndex);
            });
            for (int32_t y = 2; y < floor; ++y) {
                PourWater(x, x, y);
                reference.Pour(x, x, y);
            }
        }
    }
    const int wallRate = setup.weather == Weather::Showers ? 100 : 400;

    for (int step = 0; step < setup.steps; ++step) {
        const int32_t action = pick(0, wallRate - 1);
        if (action < 8) {
            const int32_t x0 = pick(-5, w + 5), y0 = pick(-3, h + 3);
            const int32_t x1 = pick(0, 2) == 0 ? x0 + pick(-3, 3) : pick(-5, w + 5);
            const int32_t y1 = pick(0, 3) != 0 ? y0 : pick(-3, h + 3);
            const uint8_t colour = pick(0, 4) == 0 ? static_cast<uint8_t>(pick(2, 14)) : 0;
            both([&](Surface* s) { DrawLine(s, x0, y0, x1, y1, colour); });
        } else if (action < 11) {
            const int32_t cx = pick(0, w - 1), cy = pick(0, h - 1), r = pick(0, 6);
            both([&](Surface* s) { FillCircle(s, cx, cy, r, EmptyIndex); });
        } else if (action < 12) {
            const int32_t x = pick(-2, w + 1), y = pick(-2, h + 1), len = pick(0, 3);
            both([&](Surface* s) { DrawLine(s, x, y, x + len, y, WaterIndex); });
        } else if (action == 12 && pick(0, 9) == 0) {
            ResetWater();
            reference.Reset();
            both([](Surface* s) { s->Clear(EmptyIndex); });
        }
        if (setup.weather == Weather::HeavyRain) {
            for (int32_t drops = pick(w / 16, w / 8); drops > 0; --drops) {
                const int32_t x = pick(-5, w - 5);
                const int32_t row = pick(0, h / 4);
                PourWater(x, x + 10, row);
                reference.Pour(x, x + 10, row);
            }
        }
        if (setup.weather == Weather::Columns && pick(0, 19) == 0) {
            // A hole in the walls somewhere down the columns, or a wall put back.
            const int32_t cx = pick(0, w - 1), cy = pick(h / 3, floor - 1), r = pick(0, 2);
            const uint8_t colour = pick(0, 2) == 0 ? 0 : EmptyIndex;
            both([&](Surface* s) { FillCircle(s, cx, cy, r, colour); });
        }
        for (int32_t pours = setup.weather == Weather::Showers ? pick(0, 3) : pick(0, 1); pours > 0; --pours) {
            const int32_t x = pick(-15, w + 15);
            const int32_t span = pick(0, 5) == 0 ? pick(0, w + 10) : pick(0, 10);
            const int32_t row = pick(0, 4) == 0 ? pick(-4, setup.rowLimit + 4) : pick(0, h / 3);
            PourWater(x + span, x, row);
            reference.Pour(x, x + span, row);
        }
        StepWater();
        reference.Step();
        ASSERT_TRUE(OrderedAndLive(setup.rowLimit)) << setup.name << " seed " << seed << " step " << step;
        ASSERT_TRUE(SameSpans(reference.spans)) << setup.name << " seed " << seed << " step " << step;
        ASSERT_EQ(std::memcmp(image->pixels, twin.pixels, static_cast<size_t>(w) * static_cast<size_t>(h)), 0)
            << setup.name << " seed " << seed << " step " << step << "\n"
            << ::testing::PrintToString(gfxtest::Picture(*image, w, h, kScene)) << "\nexpected\n"
            << ::testing::PrintToString(gfxtest::Picture(twin, w, h, kScene));
    }
    total->splits += reference.counts.splits;
    total->disarms += reference.counts.disarms;
    total->falls += reference.counts.falls;
    total->drains += reference.counts.drains;
    total->spreads += reference.counts.spreads;
    total->merges += reference.counts.merges;
    total->crowdedMerges += reference.counts.crowdedMerges;
    total->deepSpreads += reference.counts.deepSpreads;
}

TEST(WaterRandomised, EveryStepMatchesTheLiteralStep) {
    const RunSetup setups[]{
        {"plain", 61, 40, 40, false, 1500},
        {"narrow clip", 48, 36, 36, true, 1000},
        {"row limit above the bottom", 40, 40, 32, false, 800},
        {"dead row inside the image", 40, 40, 15, false, 500},
        {"row limit below the image", 36, 24, 30, false, 500},
    };
    ReferenceCounts total;
    for (const RunSetup& setup : setups) {
        for (uint32_t seed = 1; seed <= 3; ++seed) {
            RunAgainstReference(setup, seed, &total);
            if (HasFatalFailure()) return;
        }
    }
    // The runs are worth something only if every kind of move happened often.
    EXPECT_GT(total.splits, 1000);
    EXPECT_GT(total.disarms, 1000);
    EXPECT_GT(total.falls, 10000);
    EXPECT_GT(total.drains, 100);
    EXPECT_GT(total.spreads, 1000);
    EXPECT_GT(total.merges, 300);
}

TEST(WaterRandomised, HeavyRainAndDeepColumnsMatchTheLiteralStep) {
    const RunSetup setups[]{
        {"heavy rain", 160, 48, 48, false, 300, Weather::HeavyRain},
        {"heavy rain, narrow clip", 120, 40, 40, true, 300, Weather::HeavyRain},
        {"deep columns", 60, 90, 90, false, 400, Weather::Columns},
        {"deep columns, row limit above the bottom", 45, 80, 70, false, 300, Weather::Columns},
    };
    ReferenceCounts total;
    for (const RunSetup& setup : setups) {
        for (uint32_t seed = 1; seed <= 2; ++seed) {
            RunAgainstReference(setup, seed, &total);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(total.merges, 3000);
    EXPECT_GT(total.crowdedMerges, 1000);
    EXPECT_GT(total.spreads, 1000);
    EXPECT_GT(total.deepSpreads, 100);
    EXPECT_GT(total.splits, 1000);
    EXPECT_GT(total.drains, 1000);
}

// The same model at every size of scene the sandbox makes: its smallest, its three sizes of
// File > New and its largest width; the row limit is the scene's height, as the sandbox sets it.
TEST(WaterRandomised, ScenesOfEverySizeTheSandboxMakesMatchTheLiteralStep) {
    const RunSetup setups[]{
        {"64 x 48", 64, 48, 48, false, 1500},
        {"640 x 480", 640, 480, 480, false, 500},
        {"1280 x 720", 1280, 720, 720, false, 400},
        {"1920 x 1080", 1920, 1080, 1080, false, 500},
        {"1920 x 1080, heavy rain", 1920, 1080, 1080, false, 120, Weather::HeavyRain},
        {"4096 x 2160", 4096, 2160, 2160, false, 150},
    };
    int drains = 0;
    for (const RunSetup& setup : setups) {
        ReferenceCounts counts;
        RunAgainstReference(setup, 1, &counts);
        if (HasFatalFailure()) return;
        // Each run is worth something only if every kind of move happened at its size.
        for (int moves : {counts.splits, counts.disarms, counts.falls, counts.spreads, counts.merges})
            EXPECT_GT(moves, 100) << setup.name;
        drains += counts.drains;
    }
    EXPECT_GT(drains, 100);
}

TEST(WaterRandomised, CoordinatesAtTheLimitsOfTheRange) {
    SceneGuard guard(32, 24, 24);
    Surface* image = &guard.surface;
    DrawLine(image, 0, 20, 31, 20, 0);
    DrawLine(image, 10, 23, 31, 23, 0);
    const int32_t extremes[]{INT32_MIN, INT32_MIN + 1, -40000, -2, -1, 0, 1, 22, 23, 24, 31, 32, 33, 40000, INT32_MAX - 1,
                             INT32_MAX};
    std::mt19937 random(7);
    auto any = [&] { return extremes[random() % std::size(extremes)]; };
    for (int step = 0; step < 400; ++step) {
        for (int pours = 0; pours < 3; ++pours) PourWater(any(), any(), random() % 2 ? any() : static_cast<int32_t>(random() % 24));
        StepWater();
        ASSERT_TRUE(OrderedAndLive(24)) << "step " << step;
    }
    // Only the simulation writes and it writes only 1 and 15: the walls it did not wash away stand.
    for (int32_t y = 0; y < 24; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const uint8_t v = GetPixel(image, x, y);
            EXPECT_TRUE(v == 0 || v == WaterIndex || v == EmptyIndex) << x << ", " << y;
        }
    }
}


// Steps shared between threads: every step of these runs is shared, however few its spans (its
// passes then cut into chunks of a span or a few), on two threads and on more threads than this
// machine may have cores, and must still match the literal step after every step. Heavy rain cuts drops landing on pools and walls into pieces
// that are cut again; the parts' shares end anywhere in a row.
class ThreadsGuard {
public:
    ThreadsGuard(int32_t threads, int32_t fewestSpans) { SetWaterThreads(threads, fewestSpans); }
    ~ThreadsGuard() { SetWaterThreads(0); }
};

TEST(WaterRandomised, StepsSharedBetweenThreadsMatchTheLiteralStep) {
    const RunSetup setups[]{
        {"plain", 61, 40, 40, false, 600},
        {"row limit above the bottom", 40, 40, 32, false, 300},
        {"heavy rain", 160, 48, 48, false, 300, Weather::HeavyRain},
        {"heavy rain, narrow clip", 120, 40, 40, true, 200, Weather::HeavyRain},
        {"deep columns", 60, 90, 90, false, 200, Weather::Columns},
    };
    for (const int32_t threads : {2, 5}) {
        const ThreadsGuard sharing(threads, 0);
        ASSERT_EQ(WaterThreads(), threads);
        const WaterThreadCounts before = WaterThreadedWork();
        int steps = 0;
        for (const RunSetup& setup : setups) {
            ReferenceCounts counts;
            RunAgainstReference(setup, static_cast<uint32_t>(threads), &counts);
            if (HasFatalFailure()) return;
            steps += setup.steps;
        }
        const WaterThreadCounts after = WaterThreadedWork();
        // Steps with no span at all are not stepped; every other one shares its cuts and merges.
        EXPECT_GT(after.threadedSteps - before.threadedSteps, steps * 9 / 10) << threads << " threads";
        EXPECT_EQ(after.sharedSplits - before.sharedSplits, after.threadedSteps - before.threadedSteps);
        EXPECT_EQ(after.sharedMerges - before.sharedMerges, after.threadedSteps - before.threadedSteps);
    }
}

// Anything a step keeps for the next one must hold when the scene changes between steps by any
// path: the pen and the eraser, a clear, a whole image copied onto the scene, bytes written
// straight into its pixels (one cell under water at rest, whole rows), and a reset. Pools are
// left at rest for stretches of steps, so that a change lands on water that had stopped moving.
TEST(WaterRandomised, ChangesFromOutsideBetweenStepsMatchTheLiteralStep) {
    constexpr int32_t w = 72;
    constexpr int32_t h = 48;
    ReferenceCounts counts;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SceneGuard guard(w, h, h);
        Surface* image = &guard.surface;
        Surface twin(w, h);
        twin.Clear(EmptyIndex);
        Surface snapshot(w, h);
        snapshot.Clear(EmptyIndex);
        ReferenceWater reference(&twin, h);
        std::mt19937 random(seed);
        auto pick = [&random](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
        auto both = [&](auto&& draw) {
            draw(image);
            draw(&twin);
        };
        auto pour = [&](int32_t xa, int32_t xb, int32_t row) {
            PourWater(xa, xb, row);
            reference.Pour(xa, xb, row);
        };
        // Basins full of water standing still: walls, and one painted, listed span per row.
        auto basins = [&] {
            for (int32_t left = 2; left + 14 < w; left += 17) {
                const int32_t top = pick(h / 3, h / 2);
                const int32_t bottom = h - 3;
                both([&](Surface* s) {
                    FillRect(s, left, top, left, bottom, 0);
                    FillRect(s, left + 14, top, left + 14, bottom, 0);
                    FillRect(s, left, bottom, left + 14, bottom, 0);
                    FillRect(s, left + 1, top + 2, left + 13, bottom - 1, WaterIndex);
                });
                for (int32_t y = top + 2; y < bottom; ++y) pour(left + 1, left + 13, y);
            }
        };
        basins();
        for (int step = 0; step < 1500; ++step) {
            const int32_t action = pick(0, 39);
            if (action == 0) {  // the pen
                const int32_t x0 = pick(0, w - 1), y0 = pick(0, h - 1);
                const int32_t x1 = x0 + pick(-8, 8), y1 = y0 + pick(-8, 8);
                both([&](Surface* s) { DrawLine(s, x0, y0, x1, y1, 0); });
            } else if (action == 1) {  // the eraser
                const int32_t cx = pick(0, w - 1), cy = pick(0, h - 1);
                both([&](Surface* s) { FillCircle(s, cx, cy, 10, EmptyIndex); });
            } else if (action == 2) {  // one cell written straight into the pixels
                const auto at = static_cast<size_t>(pick(0, w - 1) + w * pick(0, h - 1));
                const uint8_t values[]{EmptyIndex, WaterIndex, 0, 9};
                const uint8_t value = values[pick(0, 3)];
                image->pixels[at] = value;
                twin.pixels[at] = value;
            } else if (action == 3) {  // whole rows copied over others
                const int32_t from = pick(0, h - 4), to = pick(0, h - 4), rows = pick(1, 3);
                for (Surface* s : {image, &twin}) std::memmove(s->pixels + to * w, s->pixels + from * w, static_cast<size_t>(rows * w));
            } else if (action == 4) {  // a copy of the scene as it was some time ago
                if (pick(0, 2) == 0) {
                    CopySurface(&snapshot, image);
                } else {
                    both([&](Surface* s) { CopySurface(s, &snapshot); });
                }
            } else if (action == 5 && pick(0, 3) == 0) {  // a clear, the list left as it is
                both([](Surface* s) { s->Clear(EmptyIndex); });
                if (pick(0, 1) == 0) basins();
            } else if (action == 6 && pick(0, 5) == 0) {  // the C key
                ResetWater();
                reference.Reset();
                both([](Surface* s) { s->Clear(EmptyIndex); });
                basins();
            }
            // Rain now and then; between showers the pools come to rest.
            if ((step / 60) % 2 == 0) {
                for (int32_t drops = pick(0, 3); drops > 0; --drops) {
                    const int32_t x = pick(-5, w - 5);
                    pour(x, x + pick(0, 10), pick(0, h / 4));
                }
            }
            StepWater();
            reference.Step();
            ASSERT_TRUE(OrderedAndLive(h)) << "seed " << seed << " step " << step;
            ASSERT_TRUE(SameSpans(reference.spans)) << "seed " << seed << " step " << step;
            ASSERT_EQ(std::memcmp(image->pixels, twin.pixels, static_cast<size_t>(w) * h), 0)
                << "seed " << seed << " step " << step << "\n"
                << ::testing::PrintToString(gfxtest::Picture(*image, w, h, kScene)) << "\nexpected\n"
                << ::testing::PrintToString(gfxtest::Picture(twin, w, h, kScene));
        }
        counts.disarms += reference.counts.disarms;
        counts.splits += reference.counts.splits;
        counts.spreads += reference.counts.spreads;
        counts.merges += reference.counts.merges;
    }
    EXPECT_GT(counts.disarms, 10000);
    EXPECT_GT(counts.splits, 1000);
    EXPECT_GT(counts.spreads, 1000);
    EXPECT_GT(counts.merges, 300);
}

}  // namespace

// Every allocation of the program is counted, so that a test can tell that a stretch of code
// made none.
namespace {
std::atomic<int64_t> allocations{0};
}  // namespace

// Every plain form of new and delete is replaced together (single and array, throwing and not),
// so that no block from one allocator is ever returned to another.
void* operator new(std::size_t bytes) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(bytes == 0 ? 1 : bytes)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t bytes) { return operator new(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(bytes == 0 ? 1 : bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
// GCC takes the free of a block from operator new for a mismatch once the two are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
#pragma GCC diagnostic pop

namespace {

// Once its arrays have grown to what a scene needs, a step allocates nothing: the same stretch
// of busy steps (rain on pools, splits, spreads, crowded merges, sorting) is run twice from the
// same state, and the second run, which needs no more room than the first, must not allocate.
void StepsAllocateNothingOnceGrownOn();

// On one thread and shared between two.
TEST(WaterList, StepsAllocateNothingOnceGrown) {
    for (const int32_t threads : {1, 2}) {
        SCOPED_TRACE(::testing::Message() << threads << " threads");
        const ThreadsGuard sharing(threads, 0);
        StepsAllocateNothingOnceGrownOn();
        if (HasFatalFailure()) return;
    }
}

void StepsAllocateNothingOnceGrownOn() {
    constexpr int32_t w = 200;
    constexpr int32_t h = 64;
    SceneGuard guard(w, h, h);
    Surface* image = &guard.surface;
    FillRect(image, 0, h - 4, w - 1, h - 4, 0);
    for (int32_t x = 7; x < w; x += 23) FillRect(image, x, h - 4, x + 3, h - 4, EmptyIndex);
    for (int32_t x = 20; x + 30 < w; x += 60) {
        FillRect(image, x, h / 2, x, h - 5, 0);
        FillRect(image, x + 30, h / 2, x + 30, h - 5, 0);
    }
    auto run = [&](uint32_t seed, int steps) {
        std::mt19937 random(seed);
        for (int step = 0; step < steps; ++step) {
            for (int drops = 0; drops < 12; ++drops) {
                const auto x = static_cast<int32_t>(random() % (w - 10));
                PourWater(x, x + 10, static_cast<int32_t>(random() % 8));
            }
            StepWater();
        }
    };
    run(1, 200);
    const std::vector<uint8_t> pixels(image->pixels, image->pixels + static_cast<size_t>(w) * h);
    const WaterSpanList& list = appGlobals.waterSpans;
    const std::vector<WaterSpan> spans(list.spans, list.spans + list.count);
    run(2, 300);
    const int32_t busiest = list.capacity;

    std::memcpy(image->pixels, pixels.data(), pixels.size());
    std::copy(spans.begin(), spans.end(), list.spans);
    appGlobals.waterSpans.count = static_cast<int32_t>(spans.size());
    const int64_t before = allocations.load();
    run(2, 300);
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(list.capacity, busiest);
    EXPECT_GT(busiest, 1024);  // the scene was busy enough to need the room
}

}  // namespace
