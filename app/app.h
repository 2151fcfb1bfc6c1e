// Start-up and shutdown of the demonstration, and its message-and-idle loop.
#pragma once

// Builds everything the demonstration needs; false only when the display format is refused.
bool AppInit();

// Releases what AppInit built.
void AppShutdown();

// Dispatches every pending message, runs an idle turn whenever the queue is empty, and returns
// the exit code: a WM_QUIT's wParam, or 0 once no window is left.
int RunMainLoop();
