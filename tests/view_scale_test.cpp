// Windows on screens of every size, as the headless driver shows them by the rule every display
// follows: the size a view is shown at, case by case as the rule's words give it; every view
// pixel a block of whole device pixels, as even as the factor allows, from the first pixel to the
// last, each block starting where the rule says a rectangle starting at its pixel starts; and a
// press anywhere in a pixel's block on the screen reaching the window at that pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless.h"
#include "platform/view_scale.h"
#include "tests/support/app_fixture.h"
#include "tests/support/dib_section.h"
#include "tests/support/window_view.h"
#include "win/window.h"

namespace {

// A window that keeps where each left press reached it (the pointer's position, which the move
// before it gave).
class PressedWindow : public Window {
public:
    PressedWindow(int width, int height) : Window("fit", width, height, true, nullptr, false) {}
    void OnEvent(int kind, int code, int) override {
        if (kind == Mouse && code == LeftDown) presses.emplace_back(mouseX, mouseY);
    }
    std::vector<std::pair<int, int>> presses;
};

class ViewScaleTest : public OpenWindowsTest {
protected:
    PressedWindow* Open(int width, int height) {
        auto* w = new PressedWindow(width, height);
        windows.push_back(w);
        return w;
    }
};

struct FitCase {
    const char* what;
    int viewWidth, viewHeight;
    int roomWidth, roomHeight;
    double unit;
    int shownWidth, shownHeight;
};

// Each size worked out by hand from the rule: f = min(W / w, H / h), n = ⌊f⌋; n when n ≥ 1, unless
// the room in device-independent pixels (W / unit × H / unit) is smaller than the view and
// n·√2 < f; else f, the limiting side the room's, the other rounded down.
const FitCase kFits[] = {
    {"a desktop with room for 1.6 times: whole 1", 640, 480, 1024, 768, 1, 640, 480},
    {"a full-HD desktop: whole 2", 640, 480, 1920, 1040, 1, 1280, 960},
    {"a high-density laptop, 1280 × 800 points: whole 3 of f = 3.33", 640, 480, 2560, 1600, 2, 1920, 1440},
    {"a 125% laptop, 800 × 560 points: not small, whole 1 of f = 1.46", 640, 480, 1000, 700, 1.25, 640, 480},
    {"an upright phone, 390 points wide: f = 1.83 fills the width", 640, 480, 1170, 2000, 3, 1170, 877},
    {"a phone on its side: f = 2.08, whole 2 shows more than half", 640, 480, 2532, 1000, 3, 1280, 960},
    {"the sandbox on a phone on its side: f = 1.82 fills the height", 640, 542, 2532, 1020, 3, 1204, 1020},
    {"small, f = 2.92: whole 2 shows less than half", 320, 240, 1170, 700, 3, 933, 700},
    {"not small, f = 3.25: whole 3", 320, 240, 1170, 780, 3, 960, 720},
    {"1920 × 1080 on a 1280 × 800 screen: f = 0.67", 1920, 1080, 1280, 800, 1, 1280, 720},
    {"too large for its room by a little: f = 0.83", 640, 480, 600, 400, 1, 533, 400},
};

TEST_F(ViewScaleTest, AViewIsShownAtTheLargestWholeFactorOrFillsASmallScreen) {
    for (const FitCase& c : kFits) {
        SCOPED_TRACE(c.what);
        PressedWindow* w = Open(c.viewWidth, c.viewHeight);
        headless::ShowOnScreen(c.roomWidth, c.roomHeight, c.unit);
        const headless::Image screen = headless::ReadScreen(HandleOf(w));
        EXPECT_EQ(screen.width, c.shownWidth);
        EXPECT_EQ(screen.height, c.shownHeight);
        delete w;
        windows.pop_back();
    }
}

TEST(ViewScale, AFullScreenWindowFillsTheScreenAtTheLargestFactor) {
    // The height limits 640 × 480 on 1920 × 1080: 1080 / 480 = 2.25, 1440 wide, not whole 2.
    const viewscale::Fit wide = viewscale::Fill(640, 480, 1920, 1080);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    // The width limits it on 1280 × 1024: 1280 × 960.
    const viewscale::Fit tall = viewscale::Fill(640, 480, 1280, 1024);
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 960);
}

TEST_F(ViewScaleTest, TheViewWithItsMenuBarIsWhatFits) {
    // 640 × 480 and a 19-pixel bar: 640 × 499 in 1920 × 1000 is whole 2 (998 high), not f = 2.004.
    PressedWindow* w = Open(640, 480);
    w->AddMenu("File", nullptr);
    headless::ShowOnScreen(1920, 1000, 1);
    const headless::Image screen = headless::ReadScreen(HandleOf(w));
    EXPECT_EQ(screen.width, 1280);
    EXPECT_EQ(screen.height, 998);
}

// Colour of the index a test pixel (x, y) is painted with: the index is (x mod 16) × 16 + y mod 16.
uint32_t PixelColour(int index) { return static_cast<uint32_t>(index) << 16 | static_cast<uint32_t>(255 - index) << 8 | 0x33; }

// Paints every client pixel (x, y) of a window in the colour of (x mod 16, y mod 16).
void PaintPositions(HWND hwnd, int width, int height) {
    void* bits = nullptr;
    HBITMAP section = NewSection8(width, height, true, PixelColour, &bits);
    ASSERT_NE(section, nullptr);
    auto* pixels = static_cast<uint8_t*>(bits);
    const int pitch = (width + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[y * pitch + x] = static_cast<uint8_t>((x % 16) * 16 + y % 16);
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ before = SelectObject(memory, section);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, before);
    DeleteDC(memory);
    DeleteObject(section);
    ReleaseDC(hwnd, dc);
}

// Where each view pixel shows along one line of the screen, read from the colours alone: `mod16`
// gives, for each device pixel of the line, the view position mod 16 that its colour says. The
// first device pixel shows pixel `first`; every change of colour moves on by the difference (mod
// 16). Result: for each view pixel, the device pixels [begin, end) that show it (empty: none).
std::vector<std::pair<int, int>> BlocksAlong(const std::vector<int>& mod16, int first, int viewLength) {
    std::vector<std::pair<int, int>> blocks(static_cast<size_t>(viewLength), {0, 0});
    int pixel = first;
    int begin = 0;
    for (size_t i = 1; i <= mod16.size(); ++i) {
        if (i < mod16.size() && mod16[i] == mod16[i - 1]) continue;
        if (pixel >= 0 && pixel < viewLength) blocks[static_cast<size_t>(pixel)] = {begin, static_cast<int>(i)};
        if (i < mod16.size()) pixel += (mod16[i] - mod16[i - 1] + 16) % 16;
        begin = static_cast<int>(i);
    }
    return blocks;
}

struct Screen {
    const char* what;
    int roomWidth, roomHeight;
    double unit;
};

TEST_F(ViewScaleTest, EveryPixelIsWholeDevicePixelsAndAPressOnItReachesIt) {
    // A 64 × 48 view: whole 3; whole 1 on a room it could fill 1.6 times; f = 1.83 (a phone's
    // 117 device pixels wide); f = 2.92 on a small screen; f = 0.625, some pixels not shown.
    const Screen kScreens[] = {
        {"whole factor 3", 200, 150, 1},
        {"whole factor 1, not small", 102, 77, 1},
        {"f = 1.83 on a phone", 117, 400, 3},
        {"f = 2.92 on a small screen", 250, 140, 3},
        {"f = 0.625", 40, 40, 1},
    };
    constexpr int kWidth = 64;
    constexpr int kHeight = 48;
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(s.what);
        PressedWindow* w = Open(kWidth, kHeight);
        const HWND hwnd = HandleOf(w);
        PaintPositions(hwnd, kWidth, kHeight);
        headless::ShowOnScreen(s.roomWidth, s.roomHeight, s.unit);
        const headless::Image screen = headless::ReadScreen(hwnd);
        ASSERT_GT(screen.width, 0);
        // The view position each device pixel's colour says, along the middle row and column.
        std::vector<int> across;
        std::vector<int> down;
        for (int i = 0; i < screen.width; ++i) across.push_back(static_cast<int>(screen.At(i, screen.height / 2) >> 16) / 16);
        for (int j = 0; j < screen.height; ++j) down.push_back(static_cast<int>(screen.At(screen.width / 2, j) >> 16) % 16);
        ASSERT_EQ(across.front(), 0);
        ASSERT_EQ(down.front(), 0);
        const auto columns = BlocksAlong(across, 0, kWidth);
        const auto rows = BlocksAlong(down, 0, kHeight);

        // The image runs from the first pixel to the last, each pixel ⌊s / w⌋ or ⌈s / w⌉ device
        // pixels wide where it is shown; below 1, none wider than one.
        for (const auto& [blocks, shown, view] : {std::tuple{columns, screen.width, kWidth}, std::tuple{rows, screen.height, kHeight}}) {
            EXPECT_EQ(blocks.front().first, 0);
            EXPECT_EQ(blocks.back().second, shown);
            const int least = shown / view;
            const int most = (shown + view - 1) / view;
            int counted = 0;
            for (const auto& [begin, end] : blocks) {
                if (end == begin) {
                    EXPECT_LT(shown, view) << "a pixel not shown at a factor of 1 or more";
                    continue;
                }
                EXPECT_TRUE(end - begin == least || end - begin == most) << "a pixel " << end - begin << " device pixels wide";
                counted += end - begin;
            }
            EXPECT_EQ(counted, shown);
            // Where a rectangle of view pixels starts on the screen, as a blit into the window
            // or a button placed on it needs it.
            for (int v = 0; v < view; ++v) {
                const auto [begin, end] = blocks[static_cast<size_t>(v)];
                if (end > begin) {
                    EXPECT_EQ(viewscale::FirstDevicePixel(v, view, shown), begin) << "view pixel " << v;
                }
            }
            EXPECT_EQ(viewscale::FirstDevicePixel(view, view, shown), shown);
        }
        // Every device pixel shows the pixel of its row and column (not only along the middle).
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const auto [left, right] = columns[static_cast<size_t>(x)];
                const auto [top, bottom] = rows[static_cast<size_t>(y)];
                for (int j = top; j < bottom; ++j)
                    for (int i = left; i < right; ++i)
                        ASSERT_EQ(screen.At(i, j), PixelColour((x % 16) * 16 + y % 16)) << "device pixel " << i << ", " << j;
            }

        // Presses at the middle and at the corners of chosen pixels' blocks reach those pixels.
        const std::pair<int, int> kChosen[] = {{0, 0}, {63, 47}, {17, 29}, {40, 5}, {31, 24}, {62, 1}};
        std::vector<std::pair<int, int>> expected;
        for (const auto& [x, y] : kChosen) {
            const auto [left, right] = columns[static_cast<size_t>(x)];
            const auto [top, bottom] = rows[static_cast<size_t>(y)];
            if (left == right || top == bottom) continue;  // not shown at this factor
            const double points[][2] = {{(left + right) / 2.0, (top + bottom) / 2.0},
                                        {left + 0.01, top + 0.01},
                                        {right - 0.01, bottom - 0.01}};
            for (const auto& p : points) {
                headless::MoveMouseOnScreen(hwnd, p[0], p[1]);
                headless::PressLeftOnScreen(hwnd, p[0], p[1]);
                headless::ReleaseLeftOnScreen(hwnd, p[0], p[1]);
                expected.emplace_back(x, y);
            }
        }
        EXPECT_GE(expected.size(), 12u);
        viewtest::DispatchPending();
        EXPECT_EQ(w->presses, expected);
        delete w;
        windows.pop_back();
    }
}

TEST_F(ViewScaleTest, APressOutsideTheImageReachesNoPixel) {
    PressedWindow* w = Open(64, 48);
    const HWND hwnd = HandleOf(w);
    headless::ShowOnScreen(117, 400, 3);  // 117 × 87
    const double outside[][2] = {{-0.5, 10}, {10, -0.01}, {117, 10}, {10, 87.2}};
    for (const auto& p : outside) {
        headless::MoveMouseOnScreen(hwnd, p[0], p[1]);
        headless::PressLeftOnScreen(hwnd, p[0], p[1]);
        headless::ReleaseLeftOnScreen(hwnd, p[0], p[1]);
    }
    viewtest::DispatchPending();
    EXPECT_TRUE(w->presses.empty());
}

}  // namespace
