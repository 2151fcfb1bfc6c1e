// The "BUTTON" system class: push buttons as child windows. A push button paints itself into its
// own pixels, which the window manager shows over its parent's client area; it looks pressed
// while the left button is held on it and, released inside, sends WM_COMMAND to its parent: its
// identifier and BN_CLICKED in wParam, its handle in lParam.
#include <cstring>

#include "platform/canvas_internal.h"
#include "platform/wm_internal.h"

namespace wm {
namespace {

// The name Win32 gives the class, whatever case it was asked for in.
constexpr const char* kButtonClass = "Button";

// The push button that holds the pointer while the left button is down on it, as a Win32 button
// captures the mouse.
HWND holding = nullptr;

bool SameNameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
        char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// The classic push button: a raised edge (white and light grey above and left, black and dark
// grey below and right) or, pressed, a sunken one with the caption a pixel down and right; the
// caption centred in the system's text colour.
void Paint(WindowRecord& b) {
    b.invalid = false;
    const int w = b.clientWidth;
    const int h = b.clientHeight;
    gdi::Canvas c{b.client.data(), w, h, w};
    gdi::Fill(c, 0, 0, w, h, gdi::kFace);
    if (b.pushed) {
        gdi::Edge(c, 0, 0, w, h, gdi::kDarkShadow, gdi::kHighlight);
        gdi::Edge(c, 1, 1, w - 1, h - 1, gdi::kShadow, gdi::kLight);
    } else {
        gdi::Edge(c, 0, 0, w, h, gdi::kHighlight, gdi::kDarkShadow);
        gdi::Edge(c, 1, 1, w - 1, h - 1, gdi::kLight, gdi::kShadow);
    }
    if (b.text.empty()) return;
    const int length = static_cast<int>(b.text.size());
    // The last cell's spacing column is not part of the text.
    const int64_t textWidth = int64_t{length} * gdi::kTextCellWidth - 1;
    const int shift = b.pushed ? 1 : 0;
    gdi::DrawText32(c, (w - textWidth) / 2 + shift, (h - gdi::kGlyphHeight) / 2 + shift, b.text.data(), length,
                    gdi::kText, nullptr);
}

void SetPushed(WindowRecord& b, bool pushed) {
    if (b.pushed == pushed) return;
    b.pushed = pushed;
    Paint(b);
    ShowClient(b);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRecord* b = FindWindow(hwnd);
    if (!b) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_CREATE:
        case WM_SIZE:
        case WM_PAINT:
            Paint(*b);
            return 0;
        case WM_SHOWWINDOW:
            ShowClient(*b);
            return 0;
        case WM_DESTROY:
            // Gone from the parent's view at once.
            b->visible = false;
            ShowClient(*b);
            return 0;
        case BM_GETSTATE:
            return b->pushed ? BST_PUSHED : BST_UNCHECKED;
        case BM_SETSTATE:
            SetPushed(*b, wParam != 0);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

bool SystemClass(const char* name, WNDPROC* proc, const char** className) {
    if (!SameNameIgnoringCase(name, kButtonClass)) return false;
    *proc = ButtonProc;
    *className = kButtonClass;
    return true;
}

bool IsPushButton(const WindowRecord& window) { return window.proc == ButtonProc; }

void ButtonPointer(WindowRecord& button, Pointer event, int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < button.clientWidth && y < button.clientHeight;
    switch (event) {
        case Pointer::LeftDown:
            if (!inside) break;
            holding = button.handle;
            SetPushed(button, true);
            break;
        case Pointer::Move:
            if (holding == button.handle) SetPushed(button, inside);
            break;
        case Pointer::LeftUp:
            if (holding == button.handle) {
                holding = nullptr;
                const HWND handle = button.handle;
                const HWND parent = button.parent;
                const WPARAM command = MAKEWPARAM(button.controlId, BN_CLICKED);
                SetPushed(button, false);
                if (inside) PostMessageA(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(handle));
            }
            break;
        default:
            break;
    }
}

HWND ButtonHoldingPointer() { return holding; }

void ReleaseButtonPointer() {
    HWND held = holding;
    holding = nullptr;
    if (WindowRecord* b = FindWindow(held)) SetPushed(*b, false);
}

}  // namespace wm
