// Puts the process back into its start-up state between tests that run windows or the loop.
#pragma once

#include "platform/win32.h"

class Window;

// Deletes every registered window, empties the message queue and the window manager (headless
// driver reset), releases what a run of the program built (AppShutdown), and zeroes the
// process-wide state that a run leaves behind.
void ResetProcessState();

// The native handle of a Window object.
HWND HandleOf(const Window* window);
