// A GoogleTest program with GoogleTest's own main (gtest_main), linked after the installed
// headless driver: its tests run, not the WinMain it tests (the template's).
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/headless.h"
#include "platform/win32.h"

TEST(Template, ShowsItsGreenWindowAndEndsOnEscape) {
    uint32_t corner = 0;
    headless::SetBeforeIdleHook([&](int turn) {
        const std::vector<HWND> windows = headless::TopLevelWindows();
        if (turn != 3 || windows.empty()) return;
        const headless::Image shown = headless::ReadWindow(windows.front());
        corner = shown.pixels.empty() ? 0 : shown.pixels.front();
        headless::TapKey(VK_ESCAPE);
    });
    char commandLine[] = "";
    EXPECT_EQ(WinMain(reinterpret_cast<HINSTANCE>(uintptr_t{0x400000}), nullptr, commandLine, SW_SHOWDEFAULT), 0);
    EXPECT_EQ(corner, 0x0000AA00u);  // green: index 2 of the default palette, (0, 170, 0)
    EXPECT_TRUE(headless::TopLevelWindows().empty());
}
