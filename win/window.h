// A native top-level window with its message routing, mouse state and idle turn. Application
// windows derive from it and override OnEvent, OnIdle and OnPaint.
#pragma once

#include <cstdint>

#include "win/handle_list.h"

class MenuBar;

// The keys under which a Window keeps its native window handle in `handles`, and a MenuBar its
// native menu and the window that shows it.
constexpr const char* kWindowHandlerKey = "WindowHandler";
constexpr const char* kMenuHandlerKey = "MenuHandler";
constexpr const char* kOwnerHandlerKey = "OwnerHandler";

// The first field of a MenuBar and of a ButtonGroup.
constexpr int kMenuBarKind = 1;
constexpr int kButtonGroupKind = 2;

// What reached a window's OnEvent: a push button, a menu item, a key, the mouse or its wheel.
// A push button clicked gives the keyboard focus back to its window before its Button event.
// A Wheel event's code is the turn (WHEEL_DELTA a notch, positive away from the user), its detail
// the MK_* keys held.
enum WindowEventKind { Button = 0, Menu = 1, Key = 2, Mouse = 3, Wheel = 4 };
// The code of a Mouse event: the pointer moved, or a button went up or down.
enum MouseEventCode { Move = 0, LeftUp = 1, LeftDown = 2, RightUp = 3, RightDown = 4 };

// A top-level window, registered for the idle pass while it lives; closing it deletes it.
class Window {
public:
    // `name` is the class name and the caption. Windowed: a centred window with a client area of
    // clientWidth × clientHeight. Full-screen: the display switches to that size and a borderless
    // window covers it.
    Window(const char* name, int clientWidth, int clientHeight, bool noBackground, Window* owner, bool fullscreen);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void OnEvent(int kind, int code, int detail);
    virtual void OnIdle();
    virtual void OnPaint();

    void RequestPaint();
    void* GetHandle(const char* key) const;
    void Centre();
    int ClientLeft() const;
    // Below the menu bar when the window has one.
    int ClientTop() const;
    void PrintText(int x, int y, const char* text, unsigned char r, unsigned char g, unsigned char b);
    // Adds a drop-down menu to the window's menu bar, which the first call creates (see MenuBar).
    void AddMenu(const char* title, const char* const* items);

    HandleList* handles;  // slot 0: kWindowHandlerKey
    bool active;
    bool ready;
    bool fullscreen;
    MenuBar* menuBar;  // owned; null until the first AddMenu
    int32_t mouseX;
    int32_t mouseY;
    int32_t prevMouseX;
    int32_t prevMouseY;
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
