// The demonstration's window driven as a user would: presenting, frame skip and its text, pen,
// eraser, pouring, clearing and Escape.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "gfx/draw.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"
#include "tests/support/font_source.h"

namespace {

constexpr uint8_t kEmpty = 15;
constexpr uint8_t kWall = 0;

// Runs the real program on the headless driver. `before[t]` runs before idle turn t, with the
// main window; the run ends after `frames` turns, or when the program ends by itself. A test
// whose checks sit in the hooks runs with RunThrough, which fails when a hook never ran.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        // The program reads its pack and media from the directory it runs in.
        ASSERT_EQ(chdir(ONDREL_RUN_DIR), 0);
    }
    void TearDown() override { ResetProcessState(); }

    int Run(int frames) {
        ran.clear();
        headless::SetBeforeIdleHook([&](int turn) {
            if (turn > frames) {
                PostQuitMessage(-1);
                return;
            }
            if (auto it = before.find(turn); it != before.end()) {
                ran.insert(turn);
                it->second();
            }
        });
        headless::SetShowHook([&](HWND, const uint32_t*, int, int) {
            if (appGlobals.frameCounter > 0) presented.push_back(appGlobals.frameCounter);
        });
        char commandLine[] = "";
        return WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWDEFAULT);
    }

    // Runs `frames` turns; the program must still be running after them (the test's quit ends
    // the run, -1) and every hook must have run.
    void RunThrough(int frames) {
        EXPECT_EQ(Run(frames), -1) << "the program ended before turn " << frames + 1;
        for (const auto& hook : before) EXPECT_TRUE(ran.contains(hook.first)) << "no turn " << hook.first << " came";
    }

    static MainWindow* Main() { return static_cast<MainWindow*>(appGlobals.windowRegistry[0]); }
    static HWND Hwnd() { return HandleOf(Main()); }
    static uint8_t Scene(int x, int y) { return GetPixel(appGlobals.sceneSurface, x, y); }

    // Sets frameSkip to `value` with keypad presses before the first frame.
    static void SetFrameSkip(int value) {
        for (int i = 10; i > value; --i) headless::TapKey(VK_SUBTRACT);
        for (int i = 10; i < value; ++i) headless::TapKey(VK_ADD);
    }

    std::map<int, std::function<void()>> before;
    std::set<int> ran;
    std::vector<int> presented;
};

TEST_F(MainWindowTest, EveryTenthFrameIsPresentedByDefault) {
    EXPECT_EQ(Run(35), -1);
    EXPECT_EQ(presented, (std::vector<int>{10, 20, 30}));
}

TEST_F(MainWindowTest, FrameSkipZeroOrOnePresentsEveryFrame) {
    for (int skip : {0, 1}) {
        ResetProcessState();
        presented.clear();
        before = {{1, [skip] { SetFrameSkip(skip); }}};
        RunThrough(5);
        EXPECT_EQ(presented, (std::vector<int>{1, 2, 3, 4, 5})) << "frameSkip " << skip;
    }
}

// Whether the window's top-left corner, over the empty scene, shows exactly `text` in index 233
// as the font's source draws it, and nothing else ("" for no text at all).
bool ShowsOnly(const std::string& text) {
    uint8_t palette[768];
    if (!CopyPalette(palette)) return false;
    constexpr int kWidth = 8 * 16;
    std::vector<uint8_t> expected(kWidth * 12, kEmpty);
    InkText(expected, kWidth, text, 233);
    headless::Image image = headless::ReadClient(headless::TopLevelWindows().front());
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* c = palette + 3 * expected[static_cast<size_t>(y * kWidth + x)];
            if (image.At(x, y) != (uint32_t{c[0]} << 16 | uint32_t{c[1]} << 8 | c[2])) return false;
        }
    return true;
}

TEST_F(MainWindowTest, KeypadMinusStopsAtZeroAndStillShowsTheText) {
    std::vector<bool> shown;
    before[1] = [] { SetFrameSkip(0); };
    before[3] = [] { headless::TapKey(VK_SUBTRACT); };
    before[4] = [&] {
        EXPECT_EQ(Main()->frameSkip, 0);
        shown.push_back(ShowsOnly("Frame Skip :0"));
    };
    RunThrough(4);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0]);
}

TEST_F(MainWindowTest, TextStaysThroughTheFrameAtWhichTheSecondRanOutAndNotAfter) {
    headless::SetClockStep(0);
    std::map<int, bool> shown;
    before[1] = [] { SetFrameSkip(0); };  // presses at the same tick: the text shows from frame 1
    before[2] = [&] {
        shown[1] = ShowsOnly("Frame Skip :0");
        headless::AdvanceClock(1000);  // frame 2 runs exactly 1000 ms after the change
    };
    before[3] = [&] {
        shown[2] = ShowsOnly("Frame Skip :0");
        headless::AdvanceClock(1);  // frame 3: more than 1000 ms
    };
    before[4] = [&] { shown[3] = ShowsOnly("Frame Skip :0"); };
    before[5] = [&] { shown[4] = ShowsOnly(""); };
    RunThrough(5);
    EXPECT_TRUE(shown[1]);
    EXPECT_TRUE(shown[2]);
    EXPECT_TRUE(shown[3]);
    EXPECT_TRUE(shown[4]);
}

TEST_F(MainWindowTest, OneFrameClickDrawsNothingAndAHeldButtonDrawsFromTheSecondFrame) {
    before[1] = [] { headless::MoveMouse(Hwnd(), 100, 100); };
    before[2] = [] { headless::PressLeft(Hwnd(), 100, 100); };
    before[3] = [] { headless::ReleaseLeft(Hwnd(), 100, 100); };
    before[4] = [] {
        EXPECT_EQ(Scene(100, 100), kEmpty);
        headless::PressLeft(Hwnd(), 100, 100);
    };
    before[5] = [] { EXPECT_EQ(Scene(100, 100), kEmpty); };  // frame 4 only started the stroke
    before[6] = [] {
        EXPECT_EQ(Scene(100, 100), kWall);  // frame 5: a zero-length line at the pointer
        EXPECT_EQ(Scene(101, 100), kEmpty);
        EXPECT_EQ(Scene(100, 101), kEmpty);
    };
    RunThrough(6);
}

TEST_F(MainWindowTest, EraserRunsBeforeThePenInOneFrame) {
    before[1] = [] {
        headless::MoveMouse(Hwnd(), 190, 200);
        headless::PressLeft(Hwnd(), 190, 200);
    };
    before[2] = [] { headless::MoveMouse(Hwnd(), 210, 200); };  // frame 2 draws 190..210
    before[3] = [] {
        EXPECT_EQ(Scene(195, 200), kWall);
        headless::PressRight(Hwnd(), 210, 200);
    };
    before[4] = [] {
        EXPECT_EQ(Scene(210, 200), kWall);   // the pen point after the disk
        EXPECT_EQ(Scene(205, 200), kEmpty);  // erased
        EXPECT_EQ(Scene(200, 200), kEmpty);  // radius 10 reaches 200
        EXPECT_EQ(Scene(199, 200), kWall);
    };
    RunThrough(4);
}

TEST_F(MainWindowTest, CEmptiesTheWaterAndBothSurfacesButKeepsFrameSkipAndTheCounter) {
    before[1] = [] {
        headless::MoveMouse(Hwnd(), 300, 100);
        headless::KeyDown(VK_SPACE);
        headless::PressLeft(Hwnd(), 300, 100);
    };
    before[2] = [] { headless::MoveMouse(Hwnd(), 350, 300); };
    before[6] = [] {
        headless::KeyUp(VK_SPACE);
        headless::ReleaseLeft(Hwnd(), 350, 300);
        headless::TapKey(VK_ADD);
        EXPECT_GT(appGlobals.waterSpans.count, 0);
    };
    before[7] = [] { headless::TapKey('C'); };
    before[8] = [] {
        EXPECT_EQ(appGlobals.waterSpans.count, 0);
        EXPECT_EQ(appGlobals.waterSpans.capacity, 32);
        EXPECT_EQ(Main()->frameSkip, 11);
        EXPECT_EQ(appGlobals.frameCounter, 7);
        int32_t pitch = appGlobals.sceneSurface->pitch;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < pitch; ++x) {
                ASSERT_EQ(appGlobals.sceneSurface->pixels[y * pitch + x], kEmpty) << x << "," << y;
                ASSERT_EQ(appGlobals.screenSurface->pixels[y * pitch + x], kEmpty) << x << "," << y;
            }
    };
    RunThrough(8);
}

TEST_F(MainWindowTest, SpaceTapShorterThanAFramePoursOneSpan) {
    before[1] = [] { headless::MoveMouse(Hwnd(), 300, 100); };
    before[2] = [] { headless::TapKey(VK_SPACE); };
    before[3] = [] {
        ASSERT_EQ(appGlobals.waterSpans.count, 1);
        const WaterSpan& s = appGlobals.waterSpans.spans[0];
        EXPECT_EQ(s.x0, 295);
        EXPECT_EQ(s.x1, 305);
        EXPECT_EQ(s.y, 101);  // poured on row 100 and fell one row in the same frame
    };
    before[4] = [] { EXPECT_EQ(appGlobals.waterSpans.count, 1); };
    RunThrough(4);
}

TEST_F(MainWindowTest, EscapeEndsTheProgramWithZeroAfterShutdown) {
    int framesBeforeEscape = -1;
    before[1] = [] {
        // Start-up loaded the sprite sheet from Media: six sprites.
        ASSERT_NE(appGlobals.spriteSheet, nullptr);
        ASSERT_NE(appGlobals.spriteSheet->sprites, nullptr);
        EXPECT_EQ(appGlobals.spriteSheet->sprites->spriteCount, 6);
        ASSERT_NE(appGlobals.font, nullptr);
    };
    before[3] = [&] {
        framesBeforeEscape = appGlobals.frameCounter;
        headless::TapKey(VK_ESCAPE);
    };
    EXPECT_EQ(Run(100), 0);
    EXPECT_EQ(framesBeforeEscape, 2);
    EXPECT_EQ(appGlobals.frameCounter, 2);  // no frame in the turn that found no window
    EXPECT_EQ(appGlobals.font, nullptr);
    EXPECT_EQ(appGlobals.spriteSheet, nullptr);
    EXPECT_EQ(appGlobals.sceneSurface, nullptr);
    EXPECT_EQ(appGlobals.screenSurface, nullptr);
    EXPECT_EQ(appGlobals.waterSpans.spans, nullptr);
    EXPECT_TRUE(headless::TopLevelWindows().empty());
}

}  // namespace
