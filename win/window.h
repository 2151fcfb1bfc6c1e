// A native top-level window with its message routing, mouse state and idle turn. Application
// windows derive from it and override OnEvent, OnIdle and OnPaint.
#pragma once

#include <cstdint>

#include "win/handle_list.h"

class MenuBar;

// For the framework's own use: the keys under which a Window keeps its native window handle in
// `handles`, and a MenuBar its native menu and the window that shows it.
constexpr const char* kWindowHandlerKey = "WindowHandler";
constexpr const char* kMenuHandlerKey = "MenuHandler";
constexpr const char* kOwnerHandlerKey = "OwnerHandler";

// For the framework's own use: the first field of a MenuBar and of a ButtonGroup.
constexpr int kMenuBarKind = 1;
constexpr int kButtonGroupKind = 2;

// What reached a window's OnEvent: a push button, a menu item, a key, the mouse or its wheel. Its
// code and detail: Key, the virtual-key code (VK_ESCAPE, 'A') and 0; Mouse, a MouseEventCode and 0
// (the pointer is in mouseX, mouseY); Wheel, the turn (WHEEL_DELTA a notch, positive away from the
// user) and the MK_* keys held; Button, the push button's identifier and 0; Menu, the drop-down's
// number and the item's (MenuBar says how they count). A push button clicked gives the keyboard
// focus back to its window before its Button event.
enum WindowEventKind { Button = 0, Menu = 1, Key = 2, Mouse = 3, Wheel = 4 };
// The code of a Mouse event: the pointer moved, or a button went up or down.
enum MouseEventCode { Move = 0, LeftUp = 1, LeftDown = 2, RightUp = 3, RightDown = 4 };

// A top-level window, registered for the idle pass while it lives; closing it deletes it.
class Window {
public:
    // A window titled `name` (also its class name) with a client area of clientWidth ×
    // clientHeight, centred, or with `fullscreen` borderless over the display switched to that
    // size; `noBackground` leaves the client area to the surfaces the program presents (without
    // it the system paints it white), and `owner` is null or a window it stays above. Made with
    // new, it is registered for the idle pass until it is deleted.
    Window(const char* name, int clientWidth, int clientHeight, bool noBackground, Window* owner, bool fullscreen);
    // Closing the window: it leaves the registry and its native window goes; a full-screen one
    // gives the display its size back. Delete a window once, and never touch it after.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Input for this window: `kind` is a WindowEventKind, which says what `code` and `detail` hold.
    virtual void OnEvent(int kind, int code, int detail);
    // One idle turn, whenever no message waits: a program's frame (draw, then Surface::Present).
    virtual void OnIdle();
    // The system asks for the window's picture (WM_PAINT), as after RequestPaint.
    virtual void OnPaint();

    // Asks for an OnPaint, which comes from the message loop.
    void RequestPaint();
    // The native handle kept under `key`, or null: the window's own HWND under "WindowHandler".
    void* GetHandle(const char* key) const;
    // Moves the window to the middle of the screen.
    void Centre();
    // The screen position of the client area's left edge.
    int ClientLeft() const;
    // The screen position of the client area's top edge, below the menu bar when the window has one.
    int ClientTop() const;
    // Writes `text` in the system's font at client pixel (x, y), in the colour (r, g, b) on white,
    // straight onto the window: the next Present covers it.
    void PrintText(int x, int y, const char* text, unsigned char r, unsigned char g, unsigned char b);
    // Adds a drop-down menu to the window's menu bar, which the first call creates (see MenuBar).
    void AddMenu(const char* title, const char* const* items);

    // For the framework's own use: the native handles, the window's under kWindowHandlerKey.
    HandleList* handles;
    // True while the window's program is the one in front: mouse and wheel events come only then.
    bool active;
    // True once the window is made whole: events come only then.
    bool ready;
    // The window was made full-screen.
    bool fullscreen;
    // The window's menu bar, owned; null until the first AddMenu.
    MenuBar* menuBar;
    // The pointer's place in client pixels after the last move, and before it.
    int32_t mouseX;
    int32_t mouseY;
    int32_t prevMouseX;
    int32_t prevMouseY;
    // Whether the left and the right mouse buttons are down.
    bool leftButton;
    bool rightButton;
};

// Calls OnIdle on every registered window; false when no window is registered any more.
bool RunWindowsIdle();
// A program's message-and-idle loop: dispatches every pending message; when none is pending, one
// idle turn (RunWindowsIdle), then one pass of the Universe's tasks while it is Active. Returns 0
// when no window is left, or the exit code of a WM_QUIT.
int RunMessageLoop();

// Deletes every registered window through its virtual destructor, as closing them would. For
// programs that stop a run from outside (a replay cut short, a test between cases).
void DeleteAllWindows();
