// Windows as a user sees them: recording, dispatching, painting and reading back.
#include "tests/support/window_view.h"

#include <algorithm>
#include <ostream>

namespace viewtest {

void PrintTo(const Event& e, std::ostream* out) { *out << "{" << e.kind << ", " << e.code << ", " << e.detail << "}"; }

void DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Click(HWND hwnd, int x, int y) {
    headless::MoveMouse(hwnd, x, y);
    headless::PressLeft(hwnd, x, y);
    headless::ReleaseLeft(hwnd, x, y);
}

void FillClient(HWND hwnd, uint32_t rgb) {
    RECT client{};
    GetClientRect(hwnd, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biClrUsed = 1;
    info.bmiColors[0] = RGBQUAD{static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb >> 16), 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, before);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(hwnd, dc);
}

const Palette& Classic() {
    static const Palette palette{{'F', 0xC0C0C0}, {'W', 0xFFFFFF}, {'S', 0x808080},
                                 {'K', 0x000000}, {'N', 0x000080}, {'g', kClientGreen}};
    return palette;
}

::testing::AssertionResult Shows(const headless::Image& image, int left, int top,
                                 const std::vector<std::string>& expected, const Palette& palette) {
    const int height = static_cast<int>(expected.size());
    const int width = height > 0 ? static_cast<int>(expected[0].size()) : 0;
    std::vector<std::string> actual;
    for (int y = top; y < top + height; ++y) {
        std::string row;
        for (int x = left; x < left + width; ++x) {
            char c = ' ';  // outside the image
            if (x >= 0 && y >= 0 && x < image.width && y < image.height) {
                c = '?';
                for (const auto& [symbol, colour] : palette)
                    if (colour == image.At(x, y)) c = symbol;
            }
            row += c;
        }
        actual.push_back(row);
    }
    if (actual == expected) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << "\nat (" << left << ", " << top << ")\nactual" << std::string(static_cast<size_t>(std::max(width, 6) - 6 + 3), ' ')
            << "expected\n";
    for (size_t y = 0; y < actual.size(); ++y)
        failure << actual[y] << std::string(static_cast<size_t>(std::max(width, 6) - width + 3), ' ') << expected[y]
                << (actual[y] != expected[y] ? "   <-- row " + std::to_string(y) : "") << "\n";
    return failure;
}

}  // namespace viewtest
