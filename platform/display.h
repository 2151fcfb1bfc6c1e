// The seam between the in-process window manager and a real (or imaginary) screen.
//
// A display driver implements every function below; the program picks one at link time
// (ondrel_platform_sdl or ondrel_platform_headless). The window manager calls them, always on
// the thread that runs the message loop. Drivers feed input back through the wm::Input*
// functions of platform/input.h.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace display {

// Size of the desktop in pixels, as the current display mode has it.
void ScreenSize(int* width, int* height);

// Switch the display mode. False when the mode cannot be had; the screen size stays then.
bool SetMode(int width, int height, int bitsPerPixel);

// A top-level window appeared with the given caption and the size of its view (its client area,
// and above it the menu bar when it has one). `popup` is a borderless window (the full-screen
// kind). The driver may show it from now on.
void CreateTopLevel(HWND hwnd, const char* caption, int clientWidth, int clientHeight, bool popup);

// The size of a top-level window's view changed.
void ResizeTopLevel(HWND hwnd, int clientWidth, int clientHeight);

// The top-level window is gone; the driver drops whatever it kept for it.
void DestroyTopLevel(HWND hwnd);

// New content for a window: its whole view as the window manager composes it (menu bar, client
// area, push buttons and an open drop-down over it; see wm::ViewPixels). `pixels` holds
// width × height 0x00RRGGBB values, rows top-down, owned by the window manager and valid only
// during the call. Pointer positions go back in the same pixels (platform/input.h). `changed` is
// false when the pixels are those of the window's previous Show: a driver may then leave the
// screen as it is, but it paces the call as it would any other (a program's frame rate may rest
// on it).
void Show(HWND hwnd, const uint32_t* pixels, int width, int height, bool changed);

// Move pending input into the message queue and the key state. Called by PeekMessageA and
// GetMessageA before they look at the queue; `queueEmpty` says whether anything is pending.
void Pump(bool queueEmpty);

// PeekMessageA found the queue empty: the program is about to run an idle turn.
void IdleTurn();

// Wait until input may be pending (GetMessageA on an empty queue). False when no input can
// ever arrive, so that GetMessageA fails instead of blocking for good.
bool WaitForInput();

// Milliseconds since the driver started (GetTickCount).
uint32_t Ticks();
void Sleep(uint32_t milliseconds);
void Beep(uint32_t frequency, uint32_t milliseconds);

// A modal message box with an OK button; returns when the user has closed it (IDOK).
int MessageBox(const char* text, const char* caption, unsigned type);

}  // namespace display
