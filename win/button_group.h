// A group of push buttons on a window. A click on one reaches the window as
// OnEvent(Button, its identifier, 0). The application creates and owns the group; the window does
// not know it.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class Window;

// One push button of a group, in the group's list.
struct ButtonRecord {
    int16_t x1, y1, x2, y2;  // the corners given, client pixels of the owner
    int16_t id;              // unique within the group
    char* caption;           // malloc'd copy, or null for none
    HWND hwnd;               // the push button
    ButtonRecord* next;      // the next older button
};

// The push buttons of one window, each with an identifier and a caption.
class ButtonGroup {
public:
    // An empty group on `owner`'s client area; the program keeps it while the window lives.
    explicit ButtonGroup(Window* owner);
    // The native buttons are left to their window, which destroys them with itself.
    ~ButtonGroup();
    ButtonGroup(const ButtonGroup&) = delete;
    ButtonGroup& operator=(const ButtonGroup&) = delete;

    // Makes a push button at (x1, y1), |x2 − x1| wide and |y2 − y1| high. False, and nothing made,
    // when the group has a button with this identifier already or the button cannot be made.
    bool AddButton(short x1, short y1, short x2, short y2, const char* caption, short id);
    // As AddButton, a button that can be checked: it stays pushed in while checked, to show a
    // choice that holds (a tool picked, a mode on). A click sends its Button event as a push
    // button's does and leaves the check to the program (SetButtonCheck).
    bool AddCheckButton(short x1, short y1, short x2, short y2, const char* caption, short id);
    bool HasButton(short id) const;
    // Checks or unchecks the check button `id`; nothing for a push button or an unknown id.
    void SetButtonCheck(short id, bool checked);
    // Whether the button `id` is a check button that is checked.
    bool ButtonChecked(short id) const;
    // Repaints every button of the group at once.
    void RedrawButtons();

    // The live group that made `control`, when `control` is one of its push buttons; null for any
    // other window (whatever its user data holds).
    static ButtonGroup* OfControl(HWND control);

    // For the framework's own use: kButtonGroupKind.
    int kind;

    ButtonRecord* buttons;  // newest first
    Window* owner;          // not owned
};
