// TextOutA into a window's client area with the platform's built-in 5 × 7 font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/win32.h"
#include "tests/support/app_fixture.h"
#include "win/window.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// The client area as rows of 'r' (red), 'b' (blue), '.' (black) and '?' (anything else).
std::vector<std::string> Picture(HWND hwnd) {
    headless::Image image = headless::ReadClient(hwnd);
    std::vector<std::string> rows;
    for (int y = 0; y < image.height; ++y) {
        std::string row;
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.At(x, y);
            row += p == 0xFF0000u ? 'r' : p == 0x0000FFu ? 'b' : p == 0 ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

std::string Show(const std::vector<std::string>& rows) {
    std::string s = "\n";
    for (const std::string& r : rows) s += r + "\n";
    return s;
}

class TextOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        window = new Window("text out", 9, 10, true, nullptr, false);
        hwnd = HandleOf(window);
    }
    void TearDown() override {
        headless::SetShowHook(nullptr);
        delete window;
    }
    // One call of TextOutA through a fresh DC, red on blue.
    void Print(int x, int y, const char* text, int mode = OPAQUE) {
        HDC dc = GetDC(hwnd);
        ASSERT_NE(dc, nullptr);
        SetTextColor(dc, kRed);
        SetBkColor(dc, kBlue);
        SetBkMode(dc, mode);
        EXPECT_TRUE(TextOutA(dc, x, y, text, static_cast<int>(std::string(text).size())));
        ReleaseDC(hwnd, dc);
    }
    Window* window = nullptr;
    HWND hwnd = nullptr;
};

TEST_F(TextOutTest, GlyphInkOnAnOpaqueCellIsShownAtRelease) {
    std::vector<uint32_t> shown;
    headless::SetShowHook([&](HWND h, const uint32_t* pixels, int width, int height) {
        if (h == hwnd) shown.assign(pixels, pixels + width * height);
    });
    int shows = headless::ShowCount(hwnd);
    Print(1, 1, "L");
    const std::vector<std::string> expected = {
        ".........",
        ".rbbbbb..",
        ".rbbbbb..",
        ".rbbbbb..",
        ".rbbbbb..",
        ".rbbbbb..",
        ".rbbbbb..",
        ".rrrrrb..",
        ".bbbbbb..",
        ".........",
    };
    std::vector<std::string> actual = Picture(hwnd);
    EXPECT_EQ(actual, expected) << "actual:" << Show(actual) << "expected:" << Show(expected);
    EXPECT_EQ(headless::ShowCount(hwnd), shows + 1);
    EXPECT_EQ(shown, headless::ReadClient(hwnd).pixels);
}

TEST_F(TextOutTest, ClippedAtTheClientEdges) {
    Print(-2, 7, "7");  // glyph rows 0-2, columns 2-5 remain
    const std::vector<std::string> expected = {
        ".........", ".........", ".........", ".........", ".........",
        ".........", ".........", "rrrb.....", "bbrb.....", "brbb.....",
    };
    std::vector<std::string> actual = Picture(hwnd);
    EXPECT_EQ(actual, expected) << "actual:" << Show(actual) << "expected:" << Show(expected);
}

TEST_F(TextOutTest, TransparentModeLeavesTheBackgroundAndCellsAdvance) {
    Print(0, 0, "-1", TRANSPARENT);
    const std::vector<std::string> expected = {
        "........r", ".......rr", "........r", "rrrrr...r", "........r",
        "........r", ".......rr", ".........", ".........", ".........",
    };
    std::vector<std::string> actual = Picture(hwnd);
    EXPECT_EQ(actual, expected) << "actual:" << Show(actual) << "expected:" << Show(expected);
}

TEST_F(TextOutTest, OnlyWindowContextsTakeText) {
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(TextOutA(memory, 0, 0, "A", 1));
    DeleteDC(memory);
    HDC dc = GetDC(hwnd);
    EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 1));
    EXPECT_FALSE(TextOutA(dc, 0, 0, "A", -1));
    ReleaseDC(hwnd, dc);
}

}  // namespace
