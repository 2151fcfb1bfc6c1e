// A window's menu bar of drop-down menus. Picking item i of the n-th drop-down added reaches the
// window as OnEvent(Menu, n, i).
#pragma once

#include "win/handle_list.h"

class Window;

// The menu bar of one window, its drop-downs added left to right.
class MenuBar {
public:
    // Gives the owner an empty menu bar and makes its window taller by the bar, so that its client
    // area keeps its size.
    explicit MenuBar(Window* owner);
    // The native menu is left to the window, which destroys it with itself.
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Adds a drop-down titled `title` at the right of the bar, holding the texts of `items` (a list
    // ended by a null entry; null for none). Item i gets the command popupCount × 100 + i, so a
    // drop-down holds at most 100 items: the rest are left out.
    void AddPopup(const char* title, const char* const* items);
    // Sets or clears the check mark of the item at `itemPosition` of drop-down `menuIndex`; does
    // nothing for a drop-down that does not exist.
    void SetMenuCheck(int menuIndex, int itemPosition, bool checkMark);

    // For the framework's own use: kMenuBarKind, and the native menu and its window
    // (kMenuHandlerKey, kOwnerHandlerKey).
    int kind;
    HandleList* handles;

    int popupCount;       // drop-downs added so far
};
