// What a display driver tells the window manager: input as a user makes it, and the window
// contents it needs to show. Used by the drivers only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace wm {

// Pointer positions are pixels of what the driver shows for the top-level window `hwnd` (its
// view, see ViewPixels): the menu bar, when the window has one, above the client area. For a
// window without a menu bar they are its client pixels. The window manager routes each event as
// Win32 would: to an open menu (which has the pointer until it closes) or the menu bar; to a push
// button (which holds the pointer from a left press on it until the release); else to the window
// or child under the pointer as WM_* messages in its client pixels. Positions outside the client
// area make no message (there is no capture), as on Win32.

// The pointer moved to (x, y) of the view of `hwnd`.
void InputMouseMove(HWND hwnd, int x, int y);

// A mouse button went down or up with the pointer at (x, y) of the view of `hwnd`. The key state
// of VK_LBUTTON / VK_RBUTTON follows the button wherever the pointer is.
enum class MouseButton { Left, Right };
void InputMouseButton(HWND hwnd, MouseButton button, bool down, int x, int y);

// The wheel turned by `delta` (WHEEL_DELTA a notch, positive away from the user) with the
// pointer at (x, y) of the view of `hwnd`. As on Windows 10 and Wine, WM_MOUSEWHEEL goes to the
// window under the pointer, whichever has the keyboard focus: here the top-level window, as a
// push button under the pointer would pass it on to its parent. It carries the pointer's screen
// position; nothing while a menu is open or when the pointer is outside the view.
void InputMouseWheel(HWND hwnd, int delta, int x, int y);

// A key went down (again, for `repeat`) or up. The key state changes at once; the message goes
// to the window that has the keyboard focus, if any, unless a menu is open: then the keys drive
// the menu (arrows, Return, Escape to close it) and no window gets them.
void InputKey(int virtualKey, bool down, bool repeat);

// The application became active or inactive: every top-level window gets WM_ACTIVATEAPP.
void InputActivateApp(bool active);

// The user asked to close a top-level window (its close box): WM_CLOSE is posted to it.
void InputClose(HWND hwnd);

// The driver presents a top-level window's menu bar and push buttons itself, at the screen's own
// size, rather than show them as the window manager composes them into the view
// (docs/ARCHITECTURE.md, "Controls a driver presents"). Said once, before the first window is
// shown (a driver that does says so as the program starts). From then on the view leaves them
// out: it is the client area with any other children, and pointer positions are client pixels;
// the driver reads the controls from the window (GetMenu and the rest, PushButtonsOf) and sends
// what a click on them does (InputMenuCommand, InputButtonClick).
void PresentControlsInDriver(bool on);
bool ControlsInDriver();

// For a driver that presents controls itself: an item of the window's
// menu was picked. WM_COMMAND with the item's identifier (lParam 0) is posted to the top-level
// window, as a click on the item in the window's own menu bar would, when the window's menu holds
// an enabled item of that identifier that opens no drop-down; else nothing happens.
void InputMenuCommand(HWND hwnd, UINT id);

// For such a driver: a push button was clicked. WM_COMMAND with the button's identifier and
// BN_CLICKED, and its handle, is posted to its parent, as a click on it in the view would, when it
// is a live, visible push button; else nothing happens.
void InputButtonClick(HWND button);

// The visible push buttons of a top-level window and of its children, oldest first, for such a
// driver to present.
struct PushButton {
    HWND hwnd = nullptr;
    std::string caption;
    bool pushed = false;  // it looks pushed in (BM_GETSTATE)
    bool operator==(const PushButton&) const = default;
};
std::vector<PushButton> PushButtonsOf(HWND hwnd);

// The client framebuffer of a window: width × height 0x00RRGGBB values, rows top-down. Null for
// a window that is not a live window.
const uint32_t* ClientPixels(HWND hwnd, int* width, int* height);

// What a top-level window shows (its view), as display::Show gets it: the menu bar, when it has
// one, above the client framebuffer, with the child windows (push buttons) and an open drop-down
// drawn over. The client framebuffer itself for a window with none of these, and for a child.
// Valid until the window manager is next called; null for a window that is not a live window.
const uint32_t* ViewPixels(HWND hwnd, int* width, int* height);

// Tear down every window, message, device context, key state and class: a fresh process, as far
// as the window manager knows. Tests use it between cases; GDI objects stay valid.
void ResetWindowManager();

}  // namespace wm
