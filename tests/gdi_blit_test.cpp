// BitBlt between 8-bit DIB sections and into a window, for sections stored either way up: what a
// program reads through the Win32 calls, whatever the section's row order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/win32.h"
#include "tests/support/dib_section.h"

namespace {

// A 3 × 2 image "F"-like enough to show a flip: distinct index in every cell.
constexpr uint8_t kImage[2][3] = {{1, 2, 3}, {4, 5, 6}};

// An 8-bit section of the image; `topDown` picks the negative height. Index i shows as the
// colour 0x00RRGGBB = i * 0x010203 through its colour table.
HBITMAP Section(bool topDown, int width, int height, uint8_t** bits) {
    void* memory = nullptr;
    HBITMAP bitmap = NewSection8(width, height, topDown, [](int i) { return static_cast<uint32_t>(i) * 0x010203u; }, &memory);
    *bits = static_cast<uint8_t*>(memory);
    return bitmap;
}

// Row y of the image as the section stores it: the last row first when it is bottom-up.
uint8_t* StoredRow(uint8_t* bits, bool topDown, int height, int y) { return bits + 4 * (topDown ? y : height - 1 - y); }

HBITMAP ImageSection(bool topDown, uint8_t** bits) {
    HBITMAP bitmap = Section(topDown, 3, 2, bits);
    if (bitmap)
        for (int y = 0; y < 2; ++y) std::memcpy(StoredRow(*bits, topDown, 2, y), kImage[y], 3);
    return bitmap;
}

LRESULT CALLBACK PlainProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class BitBltTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { headless::Reset(); }
    void TearDown() override { headless::Reset(); }
};

TEST_P(BitBltTest, ASectionShowsUprightInAWindow) {
    const bool topDown = GetParam();
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProcedure;
    wc.lpszClassName = "blit target";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "blit target", "", WS_POPUP | WS_VISIBLE, 0, 0, 4, 3, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    uint8_t* bits = nullptr;
    HBITMAP bitmap = ImageSection(topDown, &bits);
    ASSERT_NE(bitmap, nullptr);

    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    HGDIOBJ old = SelectObject(memory, bitmap);
    EXPECT_TRUE(BitBlt(window, 1, 1, 3, 2, memory, 0, 0, SRCCOPY));  // the last column falls outside
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    DeleteObject(bitmap);

    headless::Image shown = headless::ReadClient(hwnd);
    ASSERT_EQ(shown.width, 4);
    ASSERT_EQ(shown.height, 3);
    const uint32_t c = 0x010203u;
    const std::vector<uint32_t> expected = {0, 0,     0,     0,      //
                                            0, 1 * c, 2 * c, 3 * c,  //
                                            0, 4 * c, 5 * c, 6 * c};
    EXPECT_EQ(shown.pixels, expected);
}

TEST_P(BitBltTest, MemoryToMemoryCopiesIndicesClippedToTheTarget) {
    const bool topDown = GetParam();
    uint8_t* sourceBits = nullptr;
    uint8_t* targetBits = nullptr;
    HBITMAP source = ImageSection(topDown, &sourceBits);
    HBITMAP target = Section(!topDown, 4, 3, &targetBits);  // the other row order
    ASSERT_NE(source, nullptr);
    ASSERT_NE(target, nullptr);

    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, target);
    EXPECT_TRUE(BitBlt(to, 2, 1, 3, 2, from, 0, 0, SRCCOPY));  // only two columns fit
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);

    const std::vector<std::string> expected = {std::string("\0\0\0\0", 4), std::string("\0\0\x01\x02", 4),
                                               std::string("\0\0\x04\x05", 4)};
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(std::string(reinterpret_cast<char*>(StoredRow(targetBits, !topDown, 3, y)), 4), expected[static_cast<size_t>(y)])
            << "row " << y;
    DeleteObject(source);
    DeleteObject(target);
}

INSTANTIATE_TEST_SUITE_P(RowOrders, BitBltTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& order) { return order.param ? "TopDown" : "BottomUp"; });

}  // namespace
