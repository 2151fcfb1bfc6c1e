// What a top-level window shows and where pointer input lands in it: the view composed of the
// menu bar, the client area, the children over it and an open drop-down over everything; the
// routing of pointer input to menus, push buttons and windows; RedrawWindow, GetClassNameA and
// GetDlgCtrlID.
#include <algorithm>
#include <cstring>

#include "platform/canvas_internal.h"
#include "platform/input.h"
#include "platform/wm_internal.h"

namespace wm {
namespace {

// Copies the visible children of `parent` (whose client origin is at originX, originY of the
// view) into the view, each clipped to `clip` (view coordinates, exclusive ends), the newest on
// top, and their own children after each.
void ComposeChildren(HWND parent, const gdi::Canvas& view, int64_t originX, int64_t originY, RECT clip) {
    for (WindowRecord* child : ChildrenOf(parent)) {
        // Push buttons the driver presents itself are its to show.
        if (!child->visible || (IsPushButton(*child) && ControlsInDriver())) continue;
        int64_t left = originX + child->rect.left;
        int64_t top = originY + child->rect.top;
        int64_t x0 = std::max<int64_t>(clip.left, left);
        int64_t y0 = std::max<int64_t>(clip.top, top);
        int64_t x1 = std::min<int64_t>(clip.right, left + child->clientWidth);
        int64_t y1 = std::min<int64_t>(clip.bottom, top + child->clientHeight);
        if (x0 >= x1 || y0 >= y1) continue;
        for (int64_t y = y0; y < y1; ++y)
            std::memcpy(view.pixels + y * view.pitch + x0,
                        child->client.data() + (y - top) * child->clientWidth + (x0 - left),
                        static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
        RECT inside{static_cast<LONG>(x0), static_cast<LONG>(y0), static_cast<LONG>(x1), static_cast<LONG>(y1)};
        ComposeChildren(child->handle, view, left, top, inside);
    }
}

bool Contains(const WindowRecord& w, int64_t x, int64_t y) {
    return x >= w.rect.left && y >= w.rect.top && x < int64_t{w.rect.left} + w.clientWidth &&
           y < int64_t{w.rect.top} + w.clientHeight;
}

}  // namespace

const uint32_t* ComposeView(WindowRecord& top, int* width, int* height) {
    const int bar = ViewBarHeight(top);
    *width = top.clientWidth;
    *height = top.clientHeight + bar;
    bool children = false;
    for (WindowRecord* child : ChildrenOf(top.handle))
        children = children || (child->visible && !(IsPushButton(*child) && ControlsInDriver()));
    if (bar == 0 && !children && !MenuOpenOn(top.handle)) return top.client.data();

    const size_t pitch = static_cast<size_t>(top.clientWidth);
    top.view.resize(pitch * static_cast<size_t>(*height));
    uint32_t* view = top.view.data();
    if (bar > 0) PaintMenuBar(top, view, top.clientWidth, bar);
    if (!top.client.empty()) std::memcpy(view + pitch * bar, top.client.data(), top.client.size() * sizeof(uint32_t));
    gdi::Canvas canvas{view, top.clientWidth, *height, top.clientWidth};
    ComposeChildren(top.handle, canvas, 0, bar, RECT{0, bar, top.clientWidth, *height});
    PaintOpenMenu(top, view, top.clientWidth, *height);
    return view;
}

PointerTarget RoutePointer(HWND hwnd, Pointer event, int x, int y) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return {};
    // A push button holding the pointer takes everything until the left button comes up, wherever
    // the pointer is.
    if (WindowRecord* held = FindWindow(ButtonHoldingPointer())) {
        int64_t ox = 0;
        int64_t oy = 0;
        bool sameView = TopLevelOf(*held, &ox, &oy) == w;
        int64_t bx = sameView ? x - ox : -1;
        int64_t by = sameView ? y - oy - ViewBarHeight(*w) : -1;
        ButtonPointer(*held, event, static_cast<int>(std::clamp<int64_t>(bx, -1, INT32_MAX)),
                      static_cast<int>(std::clamp<int64_t>(by, -1, INT32_MAX)));
        return {};
    }
    const bool driverControls = ControlsInDriver();
    if (!driverControls && MenuTakesPointer(*w, event, x, y)) return {};

    int64_t cx = x;
    int64_t cy = int64_t{y} - ViewBarHeight(*w);
    if (cx < 0 || cy < 0 || cx >= w->clientWidth || cy >= w->clientHeight) return {};
    WindowRecord* target = w;
    for (;;) {
        WindowRecord* hit = nullptr;
        for (WindowRecord* child : ChildrenOf(target->handle))
            if (child->visible && Contains(*child, cx, cy) && !(driverControls && IsPushButton(*child))) hit = child;
        if (!hit) break;
        cx -= hit->rect.left;
        cy -= hit->rect.top;
        target = hit;
    }
    if (IsPushButton(*target)) {
        ButtonPointer(*target, event, static_cast<int>(cx), static_cast<int>(cy));
        return {};
    }
    return {target->handle, static_cast<int>(cx), static_cast<int>(cy)};
}

void CancelModes() {
    CloseMenu();
    ReleaseButtonPointer();
}

void ForgetWindow(HWND hwnd) {
    if (MenuOpenOn(hwnd)) CloseMenu();
    if (ButtonHoldingPointer() == hwnd) ReleaseButtonPointer();
    if (WindowRecord* w = FindWindow(hwnd)) DestroyMenusOf(*w);
}

namespace {
bool controlsInDriver = false;
}  // namespace

void PresentControlsInDriver(bool on) { controlsInDriver = on; }
bool ControlsInDriver() { return controlsInDriver; }

void InputMenuCommand(HWND hwnd, UINT id) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || (w->style & WS_CHILD) || !w->menu) return;
    MENUITEMINFOA item{};
    item.cbSize = kMenuItemInfoSizeWithoutBitmap;
    item.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
    if (!GetMenuItemInfoA(w->menu, id, FALSE, &item) || item.hSubMenu || (item.fType & MFT_SEPARATOR) ||
        (item.fState & (MF_GRAYED | MF_DISABLED)))
        return;
    CloseMenu();
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void InputButtonClick(HWND button) {
    WindowRecord* b = FindWindow(button);
    if (!b || !IsPushButton(*b) || !b->visible || !FindWindow(b->parent)) return;
    PostMessageA(b->parent, WM_COMMAND, MAKEWPARAM(b->controlId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::vector<PushButton> PushButtonsOf(HWND hwnd) {
    std::vector<PushButton> buttons;
    WindowRecord* top = FindWindow(hwnd);
    if (!top || !top->visible) return buttons;
    // Visible children of visible windows, each window's children oldest first.
    std::vector<HWND> windows{hwnd};
    for (size_t i = 0; i < windows.size(); ++i)
        for (WindowRecord* child : ChildrenOf(windows[i])) {
            if (!child->visible) continue;
            windows.push_back(child->handle);
            if (IsPushButton(*child)) {
                const LRESULT state = SendMessageA(child->handle, BM_GETSTATE, 0, 0);
                if (!(child = FindWindow(windows.back()))) continue;
                buttons.push_back({child->handle, child->text, (state & BST_PUSHED) != 0});
            }
        }
    return buttons;
}

const uint32_t* ViewPixels(HWND hwnd, int* width, int* height) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return ClientPixels(hwnd, width, height);
    return ComposeView(*w, width, height);
}

}  // namespace wm

using wm::FindWindow;
using wm::WindowRecord;

// The update rectangle and region are not kept: a redraw always covers the whole window. The
// desktop (a null window) has nothing of ours to redraw.
BOOL WINAPI RedrawWindow(HWND hwnd, const RECT*, HRGN, UINT flags) {
    if (!hwnd) return TRUE;
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return FALSE;
    std::vector<HWND> windows{hwnd};
    if (flags & RDW_ALLCHILDREN)
        for (size_t i = 0; i < windows.size(); ++i)
            for (WindowRecord* child : wm::ChildrenOf(windows[i])) windows.push_back(child->handle);
    for (HWND h : windows) {
        WindowRecord* each = FindWindow(h);
        if (!each) continue;
        if (flags & RDW_INVALIDATE) each->invalid = true;
        if (flags & RDW_VALIDATE) each->invalid = false;
    }
    if (flags & RDW_UPDATENOW) {
        for (HWND h : windows) {
            WindowRecord* each = FindWindow(h);
            if (each && each->visible && each->invalid) SendMessageA(h, WM_PAINT, 0, 0);
        }
        if ((w = FindWindow(hwnd)) != nullptr) wm::ShowClient(*w);
    }
    return TRUE;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR className, int maxCount) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !className || maxCount <= 0) return 0;
    size_t n = std::min(w->className.size(), static_cast<size_t>(maxCount - 1));
    w->className.copy(className, n);
    className[n] = '\0';
    return static_cast<int>(n);
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !(w->style & WS_CHILD)) return 0;
    return static_cast<int>(w->controlId);
}
