// Windows fitted to the screen on Windows (window_scale.h). Hooks of the thread that runs the
// message loop do the work: a CBT hook sizes a framed top-level window as it is made (its client
// area the size the rule gives in the work area) and places its push buttons where their client
// rectangles show, and the window is put there again once it has handled WM_CREATE (Wine does not
// take what a CBT hook changes); a GetMessage hook takes the mouse positions of the messages the
// program retrieves for such a window back to its pixels. Blits into it are enlarged here, nearest
// neighbour by the rule's own sampling, so that what a device pixel shows and where a click on
// it lands are the same pixel.
#include "platform/windows/window_scale.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/view_scale.h"

#undef BitBlt

namespace {

// A window shown at other than its own size: its client area as the program knows it (view) and
// as it is shown (shown), in pixels.
struct Scaled {
    int viewWidth = 0;
    int viewHeight = 0;
    int shownWidth = 0;
    int shownHeight = 0;
};

std::map<HWND, Scaled>& ScaledWindows() {
    static std::map<HWND, Scaled> windows;
    return windows;
}

// Where windows being made go (their parent's client coordinates for a child), until they have
// handled WM_CREATE.
std::map<HWND, RECT>& Placements() {
    static std::map<HWND, RECT> placements;
    return placements;
}

HHOOK creationHook = nullptr;
HHOOK createdHook = nullptr;
HHOOK retrievalHook = nullptr;

void Place(HWND hwnd, const CREATESTRUCTW* cs) {
    Placements()[hwnd] = RECT{cs->x, cs->y, cs->x + cs->cx, cs->y + cs->cy};
}

// A framed top-level window: its client area fitted to the work area less its frame (and a menu
// bar, which a program may add later), at the system's DPI (96 a device-independent pixel).
void FitTopLevel(HWND hwnd, CREATESTRUCTW* cs) {
    if ((cs->style & WS_POPUP) || (cs->style & WS_CAPTION) != WS_CAPTION || cs->cx == CW_USEDEFAULT) return;
    RECT frame{0, 0, 0, 0};
    if (!AdjustWindowRectEx(&frame, cs->style, FALSE, cs->dwExStyle)) return;
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    const int viewWidth = cs->cx - frameWidth;
    const int viewHeight = cs->cy - frameHeight;
    RECT work{};
    if (viewWidth <= 0 || viewHeight <= 0 || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    const int workWidth = work.right - work.left;
    const int workHeight = work.bottom - work.top;
    const viewscale::Fit fit = viewscale::Choose(viewWidth, viewHeight, workWidth - frameWidth,
                                                 workHeight - frameHeight - GetSystemMetrics(SM_CYMENU), dpi / 96.0);
    if (fit.width <= 0 || (fit.width == viewWidth && fit.height == viewHeight)) return;
    cs->cx = fit.width + frameWidth;
    cs->cy = fit.height + frameHeight;
    // Centred in the work area, as the program centres it on the screen.
    cs->x = work.left + std::max(0, (workWidth - cs->cx) / 2);
    cs->y = work.top + std::max(0, (workHeight - cs->cy) / 2);
    ScaledWindows()[hwnd] = {viewWidth, viewHeight, fit.width, fit.height};
    Place(hwnd, cs);
}

// A child of a scaled window lies where its client rectangle shows.
void PlaceChild(HWND hwnd, CREATESTRUCTW* cs) {
    auto it = ScaledWindows().find(cs->hwndParent);
    if (it == ScaledWindows().end()) return;
    const Scaled& p = it->second;
    const int left = viewscale::FirstDevicePixel(cs->x, p.viewWidth, p.shownWidth);
    const int top = viewscale::FirstDevicePixel(cs->y, p.viewHeight, p.shownHeight);
    const int right = viewscale::FirstDevicePixel(cs->x + cs->cx, p.viewWidth, p.shownWidth);
    const int bottom = viewscale::FirstDevicePixel(cs->y + cs->cy, p.viewHeight, p.shownHeight);
    cs->x = left;
    cs->y = top;
    cs->cx = std::max(1, right - left);
    cs->cy = std::max(1, bottom - top);
    Place(hwnd, cs);
}

LRESULT CALLBACK OnCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (cs->style & WS_CHILD)
            PlaceChild(reinterpret_cast<HWND>(wParam), cs);
        else
            FitTopLevel(reinterpret_cast<HWND>(wParam), cs);
    } else if (code == HCBT_DESTROYWND) {
        ScaledWindows().erase(reinterpret_cast<HWND>(wParam));
        Placements().erase(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

LRESULT CALLBACK OnCreated(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* r = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && r->message == WM_CREATE) {
        auto it = Placements().find(r->hwnd);
        if (it != Placements().end()) {
            const RECT at = it->second;
            Placements().erase(it);
            SetWindowPos(r->hwnd, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return CallNextHookEx(createdHook, code, wParam, lParam);
}

// A mouse message's position, in the client area as shown, back to the program's pixels.
LRESULT CALLBACK OnRetrieval(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        MSG* m = reinterpret_cast<MSG*>(lParam);
        const bool clientMouse = m->message >= WM_MOUSEFIRST && m->message <= WM_MOUSELAST && m->message != WM_MOUSEWHEEL &&
                                 m->message != WM_MOUSEHWHEEL;
        auto it = clientMouse ? ScaledWindows().find(m->hwnd) : ScaledWindows().end();
        if (it != ScaledWindows().end()) {
            const Scaled& s = it->second;
            const int x = static_cast<short>(LOWORD(m->lParam));
            const int y = static_cast<short>(HIWORD(m->lParam));
            const int viewX = viewscale::PointerPixel(x, s.viewWidth, s.shownWidth);
            const int viewY = viewscale::PointerPixel(y, s.viewHeight, s.shownHeight);
            m->lParam = MAKELPARAM(static_cast<WORD>(static_cast<short>(viewX)), static_cast<WORD>(static_cast<short>(viewY)));
        }
    }
    return CallNextHookEx(retrievalHook, code, wParam, lParam);
}

// The pixels blitted, 1:1 into a 32-bit top-down section of this size, where GDI has turned them
// from whatever the source holds (its depth, colour table and row order) into 0x00RRGGBB.
struct Copy {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ before = nullptr;
    DWORD* pixels = nullptr;
    int width = 0;
    int height = 0;
};

const DWORD* CopyOf(HDC src, int srcX, int srcY, int width, int height) {
    static Copy copy;
    if (width != copy.width || height != copy.height || !copy.dc) {
        if (copy.dc) {
            SelectObject(copy.dc, copy.before);
            DeleteDC(copy.dc);
            DeleteObject(copy.bitmap);
        }
        copy = Copy{};
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        copy.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        copy.dc = copy.bitmap ? CreateCompatibleDC(nullptr) : nullptr;
        if (!copy.dc) {
            if (copy.bitmap) DeleteObject(copy.bitmap);
            copy = Copy{};
            return nullptr;
        }
        copy.before = SelectObject(copy.dc, copy.bitmap);
        copy.pixels = static_cast<DWORD*>(bits);
        copy.width = width;
        copy.height = height;
    }
    if (!BitBlt(copy.dc, 0, 0, width, height, src, srcX, srcY, SRCCOPY)) return nullptr;
    GdiFlush();
    return copy.pixels;
}

}  // namespace

void EnableWindowScaling() {
    if (creationHook) return;
    creationHook = SetWindowsHookExW(WH_CBT, OnCreation, nullptr, GetCurrentThreadId());
    createdHook = SetWindowsHookExW(WH_CALLWNDPROCRET, OnCreated, nullptr, GetCurrentThreadId());
    retrievalHook = SetWindowsHookExA(WH_GETMESSAGE, OnRetrieval, nullptr, GetCurrentThreadId());
}

bool ScaledBitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop, BOOL* result) {
    HWND hwnd = WindowFromDC(dest);
    auto it = hwnd ? ScaledWindows().find(hwnd) : ScaledWindows().end();
    if (it == ScaledWindows().end()) return false;
    const Scaled& s = it->second;
    // The device pixels of the client area that show the view rectangle blitted.
    const int x0 = viewscale::FirstDevicePixel(std::clamp(x, 0, s.viewWidth), s.viewWidth, s.shownWidth);
    const int x1 = viewscale::FirstDevicePixel(std::clamp(x + width, 0, s.viewWidth), s.viewWidth, s.shownWidth);
    const int y0 = viewscale::FirstDevicePixel(std::clamp(y, 0, s.viewHeight), s.viewHeight, s.shownHeight);
    const int y1 = viewscale::FirstDevicePixel(std::clamp(y + height, 0, s.viewHeight), s.viewHeight, s.shownHeight);
    if (x0 >= x1 || y0 >= y1) {
        *result = TRUE;
        return true;
    }
    const DWORD* copied = rop == SRCCOPY && width > 0 && height > 0 ? CopyOf(src, srcX, srcY, width, height) : nullptr;
    if (!copied) {
        // Anything else GDI stretches, as near to the rule as it samples.
        SetStretchBltMode(dest, COLORONCOLOR);
        *result = StretchBlt(dest, x0, y0, x1 - x0, y1 - y0, src, srcX + (viewscale::ShownPixel(x0, s.viewWidth, s.shownWidth) - x),
                             srcY + (viewscale::ShownPixel(y0, s.viewHeight, s.shownHeight) - y), width, height, rop);
        return true;
    }
    const int columns = x1 - x0;
    const int rows = y1 - y0;
    // Each device column, as the column of the copy it shows.
    std::vector<int> sourceColumn(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i)
        sourceColumn[static_cast<size_t>(i)] = std::clamp(viewscale::ShownPixel(x0 + i, s.viewWidth, s.shownWidth) - x, 0, width - 1);
    static std::vector<DWORD> pixels;
    pixels.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    int rowBefore = -1;
    for (int j = 0; j < rows; ++j) {
        DWORD* out = pixels.data() + static_cast<size_t>(j) * static_cast<size_t>(columns);
        const int r = std::clamp(viewscale::ShownPixel(y0 + j, s.viewHeight, s.shownHeight) - y, 0, height - 1);
        if (r == rowBefore) {
            std::copy_n(out - columns, columns, out);
            continue;
        }
        rowBefore = r;
        const DWORD* in = copied + static_cast<size_t>(r) * static_cast<size_t>(width);
        for (int i = 0; i < columns; ++i) out[i] = in[sourceColumn[static_cast<size_t>(i)]];
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = columns;
    info.bmiHeader.biHeight = -rows;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *result = SetDIBitsToDevice(dest, x0, y0, static_cast<DWORD>(columns), static_cast<DWORD>(rows), 0, 0, 0,
                                static_cast<UINT>(rows), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    return true;
}
