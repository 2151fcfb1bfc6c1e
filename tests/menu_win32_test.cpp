// The Win32 menu functions, the "BUTTON" class and RedrawWindow as Win32 has them. Written
// against the Win32 API alone, so that they hold on the real Win32 too.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"

namespace {

int paints = 0;
int sizes = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) ++paints;
    if (msg == WM_SIZE) ++sizes;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A captioned top-level window of a class whose procedure counts paints and size changes.
HWND NewWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "MenuTestWindow";
    RegisterClassA(&wc);  // once per process; later calls find it taken
    return CreateWindowExA(0, "MenuTestWindow", "menus", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 10, 10, 300, 200,
                           nullptr, nullptr, nullptr, nullptr);
}

MENUITEMINFOA Info(UINT cbSize, UINT mask) {
    MENUITEMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = cbSize;
    info.fMask = mask;
    return info;
}

std::string Text(HMENU menu, UINT position) {
    char text[32] = {};
    MENUITEMINFOA info = Info(sizeof(MENUITEMINFOA), MIIM_STRING);
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return "?";
    return text;
}

TEST(MenuWin32, ItemInfoTakesTheRecordWithOrWithoutItsItemBitmapOnly) {
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 1, "One"));
    struct Case {
        UINT cbSize;
        BOOL accepted;
    };
    const Case cases[] = {
        {kMenuItemInfoSizeWithoutBitmap, TRUE},
        {sizeof(MENUITEMINFOA), TRUE},
        {0, FALSE},
        {kMenuItemInfoSizeWithoutBitmap - 4, FALSE},
        {sizeof(MENUITEMINFOA) + 4, FALSE},
        // The 32-bit record's size is another size on a 64-bit system.
        {sizeof(void*) == 8 ? 44u : 1u, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cbSize);
        const UINT before = GetMenuItemID(menu, 0);
        MENUITEMINFOA set = Info(c.cbSize, MIIM_ID);
        set.wID = 40 + c.cbSize;
        EXPECT_EQ(SetMenuItemInfoA(menu, 0, TRUE, &set), c.accepted);
        EXPECT_EQ(GetMenuItemID(menu, 0), c.accepted ? 40 + c.cbSize : before);
        MENUITEMINFOA get = Info(c.cbSize, MIIM_ID);
        EXPECT_EQ(GetMenuItemInfoA(menu, 0, TRUE, &get), c.accepted);
    }
    // MIIM_TYPE is the old way to MIIM_FTYPE and MIIM_STRING: not both at once.
    MENUITEMINFOA mixed = Info(sizeof(MENUITEMINFOA), MIIM_TYPE | MIIM_STRING);
    char text[] = "Two";
    mixed.dwTypeData = text;
    EXPECT_FALSE(SetMenuItemInfoA(menu, 0, TRUE, &mixed));
    EXPECT_EQ(Text(menu, 0), "One");
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST(MenuWin32, ItemsGoWhereTheyAreInsertedByPositionOrByCommand) {
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(InsertMenuA(menu, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, 10, "B"));
    ASSERT_TRUE(InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, 20, "A"));
    ASSERT_TRUE(InsertMenuA(menu, 99, MF_BYPOSITION | MF_STRING, 30, "D"));  // past the end: appended
    ASSERT_TRUE(InsertMenuA(menu, 30, MF_BYCOMMAND | MF_STRING, 40, "C"));   // before the item with id 30
    ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 50, nullptr));  // no text: a separator too
    EXPECT_FALSE(InsertMenuA(nullptr, 0, MF_BYPOSITION, 1, "X"));
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    const UINT ids[] = {20, 10, 40, 30};
    const char* texts[] = {"A", "B", "C", "D"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetMenuItemID(menu, i), ids[i]);
        EXPECT_EQ(Text(menu, static_cast<UINT>(i)), texts[i]);
    }
    for (UINT i : {4u, 5u}) {
        MENUITEMINFOA info = Info(sizeof(MENUITEMINFOA), MIIM_FTYPE);
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << i;
    }
    // Without a buffer cch receives the length; a short buffer gets what fits.
    char longer[] = "Cherry";
    MENUITEMINFOA info = Info(sizeof(MENUITEMINFOA), MIIM_STRING);
    info.dwTypeData = longer;
    ASSERT_TRUE(SetMenuItemInfoA(menu, 40, FALSE, &info));
    info.dwTypeData = nullptr;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &info));
    EXPECT_EQ(info.cch, 6u);
    char small[4] = {'x', 'x', 'x', 'x'};
    info.dwTypeData = small;
    info.cch = sizeof small;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &info));
    EXPECT_EQ(std::string(small, 3), "Che");
#if !defined(_WIN32)
    // Win32 documents no rule for a text cut short: Wine fills the whole buffer and leaves it
    // unterminated. Ours keeps the terminating NUL inside the buffer, as lstrcpynA would.
    EXPECT_EQ(small[3], '\0');
    EXPECT_EQ(info.cch, 3u);
#endif
    EXPECT_TRUE(DestroyMenu(menu));
}

TEST(MenuWin32, DropDownsCheckMarksAndWhatHoldsWhat) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuA(recent, MF_STRING, 301, "a.bmp"));
    ASSERT_TRUE(AppendMenuA(file, MF_STRING, 101, "Open"));
    ASSERT_TRUE(AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "Recent"));
    ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File"));
    EXPECT_EQ(GetSubMenu(bar, 0), file);
    EXPECT_EQ(GetSubMenu(file, 1), recent);
    EXPECT_EQ(GetSubMenu(file, 0), nullptr);
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr);
    EXPECT_EQ(GetSubMenu(bar, -1), nullptr);
    EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(-1));  // a drop-down's entry has no command
    // A menu cannot come to hold itself.
    EXPECT_FALSE(AppendMenuA(recent, MF_POPUP, reinterpret_cast<UINT_PTR>(bar), "Loop"));
    EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(bar), "Self"));
#if !defined(_WIN32)
    // A drop-down that is no menu: Win32 leaves it undefined (Wine takes it); ours refuses it.
    EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, 12345, "Not a menu"));
#endif

    // By command the search goes down into the drop-downs.
    EXPECT_EQ(CheckMenuItem(bar, 301, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(recent, 0, MF_BYPOSITION | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 999, MF_CHECKED), static_cast<DWORD>(-1));
    MENUITEMINFOA state = Info(kMenuItemInfoSizeWithoutBitmap, MIIM_STATE);
    state.fState = MFS_CHECKED;
    ASSERT_TRUE(SetMenuItemInfoA(file, 101, FALSE, &state));
    state.fState = 0;
    ASSERT_TRUE(GetMenuItemInfoA(file, 0, TRUE, &state));
    EXPECT_EQ(state.fState, static_cast<UINT>(MFS_CHECKED));
    state.fState = MFS_GRAYED;
    ASSERT_TRUE(SetMenuItemInfoA(file, 0, TRUE, &state));
    ASSERT_TRUE(GetMenuItemInfoA(file, 0, TRUE, &state));
    EXPECT_EQ(state.fState, static_cast<UINT>(MFS_GRAYED));

    // Destroying a menu destroys what it holds.
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file));
    EXPECT_FALSE(IsMenu(recent));
    EXPECT_FALSE(DestroyMenu(bar));
}

TEST(MenuWin32, AMenuBarTakesItsHeightFromTheClientAreaAndGoesWithTheWindow) {
    HWND hwnd = NewWindow();
    ASSERT_NE(hwnd, nullptr);
    RECT outer{};
    RECT client{};
    GetWindowRect(hwnd, &outer);
    GetClientRect(hwnd, &client);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "Go");
    sizes = 0;
    ASSERT_TRUE(SetMenu(hwnd, bar));
    EXPECT_EQ(GetMenu(hwnd), bar);
    RECT outerAfter{};
    RECT clientAfter{};
    GetWindowRect(hwnd, &outerAfter);
    GetClientRect(hwnd, &clientAfter);
    EXPECT_EQ(outerAfter.bottom - outerAfter.top, outer.bottom - outer.top);
    EXPECT_EQ(clientAfter.right, client.right);
    EXPECT_EQ(clientAfter.bottom, client.bottom - GetSystemMetrics(SM_CYMENU));
    EXPECT_GE(sizes, 1);
    EXPECT_FALSE(SetMenu(hwnd, reinterpret_cast<HMENU>(static_cast<uintptr_t>(12345))));
    EXPECT_EQ(GetMenu(hwnd), bar);

    ASSERT_TRUE(SetMenu(hwnd, nullptr));
    GetClientRect(hwnd, &clientAfter);
    EXPECT_EQ(clientAfter.bottom, client.bottom);
    EXPECT_TRUE(IsMenu(bar));  // taken off, not destroyed
    ASSERT_TRUE(SetMenu(hwnd, bar));
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsMenu(bar));
}

TEST(MenuWin32, PushButtonsAreASystemClass) {
    HWND parent = NewWindow();
    HWND button = CreateWindowExA(0, "button", "Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 60, 20, parent,
                                  reinterpret_cast<HMENU>(42), nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    char name[16] = {};
    EXPECT_EQ(GetClassNameA(button, name, sizeof name), 6);
    EXPECT_STREQ(name, "Button");
    EXPECT_EQ(GetClassNameA(button, name, 4), 3);  // cut to fit, NUL included
    EXPECT_STREQ(name, "But");
    EXPECT_EQ(GetDlgCtrlID(button), 42);
#if !defined(_WIN32)
    // Win32 leaves GetMenu of a child window undefined (Wine answers its control identifier);
    // ours answers that it has no menu bar.
    EXPECT_EQ(GetMenu(button), nullptr);
#endif
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    HMENU menu = CreateMenu();
    EXPECT_FALSE(SetMenu(button, menu));  // a child has no menu bar
    DestroyMenu(menu);
    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(button));
}

TEST(MenuWin32, RedrawWindowPaintsAtOnceOnlyWhatIsInvalid) {
    HWND hwnd = NewWindow();
    UpdateWindow(hwnd);
    paints = 0;
    EXPECT_TRUE(RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW));
    EXPECT_EQ(paints, 0);
    EXPECT_TRUE(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW));
    EXPECT_EQ(paints, 1);
    DestroyWindow(hwnd);
    EXPECT_FALSE(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
}

}  // namespace
