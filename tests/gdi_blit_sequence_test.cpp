// BitBlt from 8-bit sections into a window's client area: whatever mix of sections, colour
// tables, offsets and sizes comes in, the window shows what a literal per-pixel look-up of each
// blit in turn would show.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/headless.h"
#include "platform/win32.h"
#include "tests/support/app_fixture.h"
#include "tests/support/dib_section.h"

namespace {

struct Section {
    HBITMAP bitmap = nullptr;
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool topDown = true;
    uint32_t colours[256]{};  // 0x00RRGGBB
};

Section MakeSection(int width, int height, bool topDown, uint32_t seed) {
    Section s;
    s.width = width;
    s.height = height;
    s.stride = (width + 3) / 4 * 4;
    s.topDown = topDown;
    std::mt19937 random(seed);
    for (uint32_t& colour : s.colours) {
        const uint32_t red = static_cast<uint8_t>(random());
        const uint32_t green = static_cast<uint8_t>(random());
        const uint32_t blue = static_cast<uint8_t>(random());
        colour = (red << 16) | (green << 8) | blue;
    }
    void* bits = nullptr;
    s.bitmap = NewSection8(width, height, topDown, [&s](int i) { return s.colours[i]; }, &bits);
    s.pixels = static_cast<uint8_t*>(bits);
    return s;
}

// The index at image row y (row 0 at the top), column x.
uint8_t& At(Section& s, int x, int y) {
    const int stored = s.topDown ? y : s.height - 1 - y;
    return s.pixels[static_cast<size_t>(stored) * static_cast<size_t>(s.stride) + static_cast<size_t>(x)];
}

class BitBltIntoAWindow : public OpenWindowsTest {};

// A window 13 wide, whose sections' rows lie 16 bytes apart, and one 12 wide, whose sections'
// rows lie end to end, so that a blit of whole rows is compared with what is shown in one block.
TEST_F(BitBltIntoAWindow, ShowsEachBlitWhateverCameBefore) {
    for (const int width : {13, 12}) {
        SCOPED_TRACE(width);
        constexpr int kHeight = 9;
        HWND hwnd = OpenWindow(width == 13 ? "blits" : "blits 12", width, kHeight);

        // Two sections with one set of indices but other colours, a small one stored bottom-up, and
        // one wider than the window. The indices are few so that blits often repeat what is shown.
        std::vector<Section> sections{MakeSection(width, kHeight, true, 1), MakeSection(width, kHeight, true, 2),
                                      MakeSection(5, 4, false, 3), MakeSection(20, 3, true, 4)};
        std::mt19937 random(5);
        auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
        for (Section& s : sections) {
            ASSERT_NE(s.pixels, nullptr);
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x) At(s, x, y) = static_cast<uint8_t>(pick(0, 3));
        }
        std::memcpy(sections[1].pixels, sections[0].pixels, static_cast<size_t>(sections[0].stride) * kHeight);

        std::vector<uint32_t> expected(static_cast<size_t>(width) * kHeight, 0);
        HDC memory = CreateCompatibleDC(nullptr);
        for (int blit = 0; blit < 20000; ++blit) {
            // Mostly the first section, so that runs of blits through one colour table are long.
            const int which = pick(0, 9);
            Section& s = sections[static_cast<size_t>(which < 7 ? 0 : which - 6)];
            if (pick(0, 3) == 0) At(s, pick(0, s.width - 1), pick(0, s.height - 1)) = static_cast<uint8_t>(pick(0, 3));
            const bool whole = pick(0, 2) == 0;
            const int x = whole ? 0 : pick(-3, width), y = whole ? 0 : pick(-3, kHeight);
            const int sx = whole ? 0 : pick(-2, s.width), sy = whole ? 0 : pick(-2, s.height);
            const int w = whole ? s.width : pick(1, 8), h = whole ? s.height : pick(1, 6);
            // The literal blit: each pixel that lies in the window and in the section.
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) {
                    const int dx = x + c, dy = y + r, fx = sx + c, fy = sy + r;
                    if (dx < 0 || dy < 0 || dx >= width || dy >= kHeight) continue;
                    if (fx < 0 || fy < 0 || fx >= s.width || fy >= s.height) continue;
                    expected[static_cast<size_t>(dy) * width + static_cast<size_t>(dx)] = s.colours[At(s, fx, fy)];
                }
            HDC dc = GetDC(hwnd);
            HGDIOBJ old = SelectObject(memory, s.bitmap);
            ASSERT_TRUE(BitBlt(dc, x, y, w, h, memory, sx, sy, SRCCOPY));
            SelectObject(memory, old);
            ReleaseDC(hwnd, dc);
            ASSERT_EQ(headless::ReadClient(hwnd).pixels, expected)
                << "blit " << blit << ": " << w << " x " << h << " from (" << sx << ", " << sy << ") to (" << x
                << ", " << y << ")";
        }
        DeleteDC(memory);
        for (Section& s : sections) DeleteObject(s.bitmap);
    }
}

}  // namespace
