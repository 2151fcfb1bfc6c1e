// Window records shared by the window manager (user.cpp, frame.cpp, menu.cpp, button.cpp) and GDI
// (gdi.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi_internal.h"
#include "platform/win32.h"

namespace wm {

struct WindowRecord {
    HWND handle = nullptr;
    std::string className;
    std::string text;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;      // the menu bar of a top-level window
    UINT_PTR controlId = 0;    // the identifier of a child window (CreateWindowExA's menu argument)
    LONG_PTR userData = 0;
    RECT rect{};  // outer rectangle: screen coordinates for top-level windows, parent client for children
    bool visible = false;
    bool topLevelShown = false;  // the display driver knows it
    bool invalid = true;         // needs WM_PAINT
    bool needSize = true;        // WM_SIZE and WM_MOVE not sent yet: they come with the first show
    // Client framebuffer, 0x00RRGGBB, rows top-down.
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<uint32_t> client;
    bool clientDirty = false;    // drawn into since it was last handed to the display driver
    bool clientChanged = true;   // differs from what was last handed to the display driver

    // What BitBlt last converted into the client framebuffer, so that a blit of the same 8-bit
    // indices through the same colours, which would change nothing, converts nothing. Indices
    // are kept by client pixel, whatever section or offset they came from. On row r, for every
    // column x from shownFrom[r] up to (not including) shownTo[r],
    //     client[r × clientWidth + x] == shownColours[shownIndices[r × clientWidth + x]];
    // every other writer of the client framebuffer must narrow those ranges (ForgetShown).
    std::vector<uint8_t, gdi::PixelAligned<uint8_t>> shownIndices;  // clientWidth × clientHeight once a blit came
    std::vector<int> shownFrom;
    std::vector<int> shownTo;
    uint32_t shownColours[256]{};

    void ForgetShown(int64_t firstRow, int64_t lastRow) {
        const int64_t rows = static_cast<int64_t>(shownFrom.size());
        for (int64_t r = firstRow < 0 ? 0 : firstRow; r <= lastRow && r < rows; ++r) {
            shownFrom[static_cast<size_t>(r)] = 0;
            shownTo[static_cast<size_t>(r)] = 0;
        }
    }

    bool pushed = false;   // a push button that looks pressed
    bool checked = false;  // a check box (drawn push-like) that is checked
    // What a top-level window shows (its view): the menu bar, then the client area with the
    // children and an open drop-down over it. Composed here when it is more than the client.
    std::vector<uint32_t> view;
    int shownWidth = 0;  // the view size the display driver was last given
    int shownHeight = 0;
};

// The live window behind a handle, or null.
WindowRecord* FindWindow(HWND hwnd);

// Hand what a window shows to the display driver: the view of its top-level window.
void ShowClient(WindowRecord& window);

// The height of a window's menu bar above its client area: SM_CYMENU when it has one, else 0.
int MenuBarHeight(const WindowRecord& window);

// The height of the menu bar in the window's view: MenuBarHeight, or 0 when the display driver
// presents the window's controls itself (ControlsInDriver, platform/input.h).
int ViewBarHeight(const WindowRecord& window);

// The window's menu bar came or went: its client area follows (WM_SIZE when it changed size).
void FrameChanged(WindowRecord& window);

// The children of a window, oldest first (the newest is drawn on top).
std::vector<WindowRecord*> ChildrenOf(HWND parent);

// The top-level window that a window belongs to (itself for a top-level one); null for none.
// `x`, `y` receive where the window's client area starts in that window's client area.
WindowRecord* TopLevelOf(WindowRecord& window, int64_t* x = nullptr, int64_t* y = nullptr);

// A window's view (see WindowRecord::view), composed afresh.
const uint32_t* ComposeView(WindowRecord& top, int* width, int* height);

// Pointer input in a top-level window's view, taken by an open menu, the menu bar or a push
// button, or else bound for a window at a client position (`hwnd` null: for nobody).
enum class Pointer { Move, LeftDown, LeftUp, RightDown, RightUp };
struct PointerTarget {
    HWND hwnd = nullptr;
    int x = 0;
    int y = 0;
};
PointerTarget RoutePointer(HWND hwnd, Pointer event, int x, int y);

// Menus (menu.cpp).
bool MenuTakesPointer(WindowRecord& top, Pointer event, int x, int y);  // view position
bool MenuTakesKey(int virtualKey, bool down);  // while a menu is open, keys drive it
void CloseMenu();
bool MenuOpenOn(HWND top);
void PaintMenuBar(const WindowRecord& top, uint32_t* pixels, int width, int height);
void PaintOpenMenu(const WindowRecord& top, uint32_t* pixels, int width, int height);
void DestroyMenusOf(WindowRecord& window);
void ResetMenus();

// Push buttons (button.cpp).
// The system class of that name, if it is one (class names compare without regard to case).
bool SystemClass(const char* name, WNDPROC* proc, const char** className);
bool IsPushButton(const WindowRecord& window);
// Pointer input over a push button, or while it holds the pointer; a client position of it.
void ButtonPointer(WindowRecord& button, Pointer event, int x, int y);
HWND ButtonHoldingPointer();
void ReleaseButtonPointer();

// The application lost the activation: menus close and a held push button lets go, as Win32's
// WM_CANCELMODE does.
void CancelModes();
// A window is being destroyed: nothing may keep it.
void ForgetWindow(HWND hwnd);

}  // namespace wm
