// Menu bars on native menus: one drop-down per AddPopup, command identifiers that carry the
// drop-down and the item, check marks.
#include "win/menu_bar.h"

#include <cstring>

#include "platform/win32.h"
#include "win/window.h"

namespace {

// Identifiers are drop-down × 100 + item and travel in the 16 bits of WM_COMMAND's wParam.
constexpr int kItemsPerPopup = 100;
constexpr int kLargestCommand = 0xFFFF;

HMENU MenuHandle(const MenuBar* bar) { return static_cast<HMENU>(bar->handles->Lookup(kMenuHandlerKey)); }
HWND OwnerHandle(const MenuBar* bar) { return static_cast<HWND>(bar->handles->Lookup(kOwnerHandlerKey)); }

// A record that ends before its item bitmap, the form every Win32 system takes.
MENUITEMINFOA ItemInfo(UINT mask) {
    MENUITEMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = kMenuItemInfoSizeWithoutBitmap;
    info.fMask = mask;
    return info;
}

}  // namespace

MenuBar::MenuBar(Window* owner) : kind(kMenuBarKind), handles(nullptr), popupCount(0) {
    HWND window = owner ? static_cast<HWND>(owner->GetHandle(kWindowHandlerKey)) : nullptr;
    HMENU menu = CreateMenu();
    SetMenu(window, menu);
    handles = new HandleList(2);
    handles->Set(0, menu, kMenuHandlerKey);
    handles->Set(1, window, kOwnerHandlerKey);
    RECT r{};
    if (GetWindowRect(window, &r))
        MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top + GetSystemMetrics(SM_CYMENU), TRUE);
}

MenuBar::~MenuBar() { delete handles; }

void MenuBar::AddPopup(const char* title, const char* const* items) {
    if (popupCount * kItemsPerPopup + kItemsPerPopup - 1 > kLargestCommand) return;
    MENUITEMINFOA info = ItemInfo(MIIM_ID);
    HMENU popup = CreatePopupMenu();
    for (int i = 0; items && items[i] && i < kItemsPerPopup; ++i) {
        InsertMenuA(popup, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, 0, items[i]);
        info.wID = static_cast<UINT>(popupCount * kItemsPerPopup + i);
        SetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
    }
    AppendMenuA(MenuHandle(this), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title);
    SetMenu(OwnerHandle(this), MenuHandle(this));
    ++popupCount;
}

void MenuBar::SetMenuCheck(int menuIndex, int itemPosition, bool checkMark) {
    HMENU popup = GetSubMenu(MenuHandle(this), menuIndex);
    if (!popup) return;
    MENUITEMINFOA info = ItemInfo(MIIM_STATE);
    // 0 also leaves the item enabled and not highlighted.
    info.fState = checkMark ? MFS_CHECKED : 0;
    SetMenuItemInfoA(popup, static_cast<UINT>(itemPosition), TRUE, &info);
}
