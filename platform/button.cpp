// The "BUTTON" system class: push buttons as child windows. A push button paints itself into its
// own pixels, which the window manager shows over its parent's client area; a left press on it
// gives it the keyboard focus; it looks pressed while the left button (or, with the focus, the
// space bar) is held on it and, released inside, sends WM_COMMAND to its parent: its identifier
// and BN_CLICKED in wParam, its handle in lParam. A check box (BS_CHECKBOX, BS_AUTOCHECKBOX) is
// drawn as BS_PUSHLIKE makes it, a push button that stays pressed in while checked; the automatic
// one checks and unchecks itself at each click.
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

// The kind of button a style makes: BS_PUSHBUTTON, BS_CHECKBOX, … (the low four bits).
DWORD Kind(const WindowRecord& b) { return b.style & 0xF; }
bool Checkable(const WindowRecord& b) { return Kind(b) == BS_CHECKBOX || Kind(b) == BS_AUTOCHECKBOX; }

// The classic push button: a raised edge (white and light grey above and left, black and dark
// grey below and right) or, pressed, a sunken one with the caption a pixel down and right; the
// caption centred in the system's text colour. Checked, it is sunken too, its face a checkerboard
// of white and the face colour, as Win32 draws a checked push-like button.
void Paint(WindowRecord& b) {
    b.invalid = false;
    const int w = b.clientWidth;
    const int h = b.clientHeight;
    gdi::Canvas c{b.client.data(), w, h, w};
    gdi::Fill(c, 0, 0, w, h, gdi::kFace);
    const bool in = b.pushed || b.checked;
    if (b.checked && !b.pushed)
        for (int y = 2; y < h - 2; ++y)
            for (int x = 2 + y % 2; x < w - 2; x += 2) c.pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = gdi::kHighlight;
    if (in) {
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
    const int shift = in ? 1 : 0;
    gdi::DrawText32(c, (w - textWidth) / 2 + shift, (h - gdi::kGlyphHeight) / 2 + shift, b.text.data(), length,
                    gdi::kText, nullptr);
}

void SetPushed(WindowRecord& b, bool pushed) {
    if (b.pushed == pushed) return;
    b.pushed = pushed;
    Paint(b);
    ShowClient(b);
}

void SetChecked(WindowRecord& b, bool checked) {
    if (!Checkable(b) || b.checked == checked) return;
    b.checked = checked;
    Paint(b);
    ShowClient(b);
}

// A click: an automatic check box turns over, and the parent hears of it.
void Click(WindowRecord& b) {
    if (Kind(b) == BS_AUTOCHECKBOX) SetChecked(b, !b.checked);
    PostMessageA(b.parent, WM_COMMAND, MAKEWPARAM(b.controlId, BN_CLICKED), reinterpret_cast<LPARAM>(b.handle));
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
            return (b->pushed ? BST_PUSHED : 0) | (b->checked ? BST_CHECKED : 0);
        case BM_SETSTATE:
            SetPushed(*b, wParam != 0);
            return 0;
        case BM_GETCHECK:
            return b->checked ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            SetChecked(*b, wParam == BST_CHECKED);
            return 0;
        // With the focus, the space bar presses the button as the left button does.
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && holding != hwnd) SetPushed(*b, true);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && holding != hwnd && b->pushed) {
                SetPushed(*b, false);
                Click(*b);
            }
            return 0;
        case WM_KILLFOCUS:
            if (holding != hwnd) SetPushed(*b, false);
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
            SetFocus(button.handle);
            SetPushed(button, true);
            break;
        case Pointer::Move:
            if (holding == button.handle) SetPushed(button, inside);
            break;
        case Pointer::LeftUp:
            if (holding == button.handle) {
                holding = nullptr;
                SetPushed(button, false);
                if (inside) Click(button);
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
