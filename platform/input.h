// What a display driver tells the window manager: input as a user makes it, and the window
// contents it needs to show. Used by the drivers only.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace wm {

// The pointer moved to client pixel (x, y) of `hwnd`. Positions outside the client area make no
// message (there is no capture), as on Win32.
void InputMouseMove(HWND hwnd, int x, int y);

// A mouse button went down or up with the pointer at client pixel (x, y). The key state of
// VK_LBUTTON / VK_RBUTTON follows the button wherever the pointer is; the message is made only
// inside the client area.
enum class MouseButton { Left, Right };
void InputMouseButton(HWND hwnd, MouseButton button, bool down, int x, int y);

// A key went down (again, for `repeat`) or up. The key state changes at once; the message goes
// to the window that has the keyboard focus, if any.
void InputKey(int virtualKey, bool down, bool repeat);

// The application became active or inactive: every top-level window gets WM_ACTIVATEAPP.
void InputActivateApp(bool active);

// The user asked to close a top-level window (its close box): WM_CLOSE is posted to it.
void InputClose(HWND hwnd);

// The client framebuffer of a window: width × height 0x00RRGGBB values, rows top-down. Null for
// a window that is not a live window.
const uint32_t* ClientPixels(HWND hwnd, int* width, int* height);

// Tear down every window, message, device context, key state and class: a fresh process, as far
// as the window manager knows. Tests use it between cases; GDI objects stay valid.
void ResetWindowManager();

}  // namespace wm
