// Puts the process back into its start-up state between tests that run windows or the loop.
#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "platform/win32.h"

class Window;

// Deletes every registered window, empties the message queue and the window manager (headless
// driver reset), releases what a run of the program built (AppShutdown), and zeroes the
// process-wide state that a run leaves behind.
void ResetProcessState();

// The native handle of a Window object.
HWND HandleOf(const Window* window);

// Plain windows on an empty window manager (headless driver reset) and a 640 × 480 8-bit display
// without a process palette, where surfaces take the 3-3-2 colour cube. The test's windows are
// deleted when it ends, whatever it asserted.
class OpenWindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A window whose client area, width × height, starts black (0x000000); it joins `windows`.
    HWND OpenWindow(const char* name, int width, int height);
    std::vector<Window*> windows;
};
