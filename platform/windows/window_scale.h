// Windows that fit the screen on Windows, as every display fits them (platform/view_scale.h): a
// program's top-level window is shown with its client area enlarged (or reduced) to the size the
// rule gives in the work area, at the system's DPI. The program keeps working in its own client
// pixels: its frames are scaled nearest neighbour as they are blitted into the window, the mouse
// positions of the messages it retrieves are taken back to its pixels, and push buttons are placed
// at the scaled positions. The menu bar is the system's own, drawn at the system's DPI.
#pragma once

#include "platform/win32.h"

// Turns the scaling on for the windows this thread makes from now on. The platform's entry does
// it for every program (before WinMain); without it (tests that link no entry) windows are shown
// 1:1, as Win32 makes them.
void EnableWindowScaling();

// A blit into a scaled window's device context, done scaled: true when it was, false when the
// window is not scaled (the caller then blits as usual).
bool ScaledBitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop, BOOL* result);
