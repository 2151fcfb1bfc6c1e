// USER32 and KERNEL32 subset: window classes, windows, the thread message queue, key state,
// system metrics, display modes, message boxes and time.
#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <memory>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/wm_internal.h"

namespace wm {
namespace {

// Metrics of a classic Windows desktop.
constexpr int kDialogFrame = 3;
constexpr int kCaption = 19;
constexpr int kSmallCaption = 16;
constexpr int kMenu = 19;
constexpr int kBorder = 1;

struct WindowClass {
    WNDCLASSA info{};
    std::string name;
};

struct KeyState {
    bool down = false;
    bool pressedSinceQuery = false;
};

// A message in the thread's queue; `input` for one that a key or mouse button made, whose taking
// moves GetKeyState's record on (messages a program posts do not).
struct Queued {
    MSG msg;
    bool input;
};

// GetKeyState's record of a key, as Win32 keeps it: kDown while down, kToggled flipped at each press.
constexpr uint8_t kDown = 0x80;
constexpr uint8_t kToggled = 0x01;

struct State {
    std::map<std::string, WindowClass> classes;
    std::map<uintptr_t, std::unique_ptr<WindowRecord>> windows;
    uintptr_t nextHandle = 0x10000;
    std::deque<Queued> queue;
    bool quitPosted = false;
    int quitCode = 0;
    std::array<KeyState, 256> keys{};  // GetAsyncKeyState's: the keys as they are now
    std::array<uint8_t, 256> taken{};  // GetKeyState's: as of the last input message taken
    HWND focus = nullptr;
    bool appActive = false;
};

State& Wm() {
    static State state;
    return state;
}

uintptr_t Key(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

bool IsTopLevel(const WindowRecord& w) { return (w.style & WS_CHILD) == 0; }

// The frame around the client area that a style gives a window.
void FrameOf(DWORD style, int* sides, int* top) {
    if (style & WS_CHILD) {
        *sides = *top = 0;
    } else if ((style & WS_CAPTION) == WS_CAPTION) {
        *sides = kDialogFrame;
        *top = kDialogFrame + kCaption;
    } else if (style & (WS_DLGFRAME)) {
        *sides = *top = kDialogFrame;
    } else if (style & WS_BORDER) {
        *sides = *top = kBorder;
    } else {
        *sides = *top = 0;
    }
}

// Tells the display driver the size of what a top-level window shows, when that changed.
void ResizeShown(WindowRecord& w) {
    int height = w.clientHeight + ViewBarHeight(w);
    if (!w.topLevelShown || (w.shownWidth == w.clientWidth && w.shownHeight == height)) return;
    w.shownWidth = w.clientWidth;
    w.shownHeight = height;
    display::ResizeTopLevel(w.handle, w.shownWidth, w.shownHeight);
}

// Returns whether the client size changed.
bool ResizeClient(WindowRecord& w) {
    int sides = 0;
    int top = 0;
    FrameOf(w.style, &sides, &top);
    int cw = std::max(0, static_cast<int>(w.rect.right - w.rect.left) - 2 * sides);
    int ch = std::max(0, static_cast<int>(w.rect.bottom - w.rect.top) - top - sides - MenuBarHeight(w));
    bool resized = cw != w.clientWidth || ch != w.clientHeight;
    if (resized) {
        w.clientWidth = cw;
        w.clientHeight = ch;
        w.client.assign(static_cast<size_t>(cw) * static_cast<size_t>(ch), 0x00000000u);
        w.clientChanged = true;
        // Nothing of what was shown survives; the next blit sets the record up for the new size.
        w.shownIndices.clear();
        w.shownFrom.clear();
        w.shownTo.clear();
    }
    ResizeShown(w);
    return resized;
}

// Where the client area's top-left corner is: in the parent's client coordinates for a child
// (which is how its rectangle is kept), on the screen for a top-level window.
POINT ClientCorner(const WindowRecord& w) {
    int sides = 0;
    int top = 0;
    FrameOf(w.style, &sides, &top);
    return POINT{w.rect.left + sides, w.rect.top + top + MenuBarHeight(w)};
}

// The offset from a window's own coordinates (its rectangle's) to the screen's: where its client
// area lies on the screen, less where it lies in its own coordinates.
POINT ScreenOffset(WindowRecord& w) {
    int64_t x = 0;
    int64_t y = 0;
    const WindowRecord* top = TopLevelOf(w, &x, &y);
    const POINT screen = top ? ClientCorner(*top) : POINT{0, 0};
    const POINT own = ClientCorner(w);
    return POINT{static_cast<LONG>(x + screen.x - own.x), static_cast<LONG>(y + screen.y - own.y)};
}

void Enqueue(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool input = false) {
    MSG m{};
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = display::Ticks();
    Wm().queue.push_back(Queued{m, input});
}

// GetKeyState's record follows a key going down or up.
void Take(int virtualKey, bool down) {
    if (virtualKey < 0 || virtualKey > 255) return;
    uint8_t& k = Wm().taken[static_cast<size_t>(virtualKey)];
    if (down && !(k & kDown)) k ^= kToggled;
    k = static_cast<uint8_t>(down ? k | kDown : k & ~kDown);
}

// An input message leaves the queue: GetKeyState now answers as of it.
void Take(const MSG& m) {
    switch (m.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            Take(static_cast<int>(m.wParam), m.message == WM_KEYDOWN);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            Take(VK_LBUTTON, m.message == WM_LBUTTONDOWN);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            Take(VK_RBUTTON, m.message == WM_RBUTTONDOWN);
            break;
        default:
            break;
    }
}

// The MK_* flags of a mouse message: the buttons and the modifier keys held as the input came.
WPARAM MouseKeys() {
    const auto& keys = Wm().keys;
    return (keys[VK_LBUTTON].down ? MK_LBUTTON : 0) | (keys[VK_RBUTTON].down ? MK_RBUTTON : 0) |
           (keys[VK_SHIFT].down ? MK_SHIFT : 0) | (keys[VK_CONTROL].down ? MK_CONTROL : 0);
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

// WM_SIZE with the client size and WM_MOVE with the client corner, as Win32 sends them when a
// window first appears (a child: right after WM_CREATE) and when it moves or resizes.
void SendSize(HWND hwnd) {
    if (WindowRecord* w = FindWindow(hwnd)) Send(hwnd, WM_SIZE, 0, MAKELPARAM(w->clientWidth, w->clientHeight));
}
void SendMove(HWND hwnd) {
    if (WindowRecord* w = FindWindow(hwnd)) {
        POINT corner = ClientCorner(*w);
        Send(hwnd, WM_MOVE, 0, MAKELPARAM(corner.x, corner.y));
    }
}

void SetFocusWindow(HWND hwnd) {
    State& s = Wm();
    if (s.focus == hwnd) return;
    HWND old = s.focus;
    s.focus = hwnd;
    if (old && FindWindow(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

// Activation of a newly shown top-level window: the first window of an inactive application
// activates the application as well.
void Activate(HWND hwnd) {
    State& s = Wm();
    if (!s.appActive) {
        s.appActive = true;
        Send(hwnd, WM_ACTIVATEAPP, TRUE, 0);
    }
    Send(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    SetFocusWindow(hwnd);
}

// Whether a message passes the window and range filters of Peek/GetMessage.
bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

bool TakeMessage(LPMSG out, HWND hwnd, UINT lo, UINT hi, bool remove) {
    State& s = Wm();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (!Matches(it->msg, hwnd, lo, hi)) continue;
        *out = it->msg;
        if (remove) {
            if (it->input) Take(it->msg);
            s.queue.erase(it);
        }
        return true;
    }
    if (s.quitPosted && hwnd == nullptr) {
        MSG m{};
        m.message = WM_QUIT;
        m.wParam = static_cast<WPARAM>(s.quitCode);
        m.time = display::Ticks();
        *out = m;
        if (remove) s.quitPosted = false;
        return true;
    }
    return false;
}

}  // namespace

WindowRecord* FindWindow(HWND hwnd) {
    auto& windows = Wm().windows;
    auto it = windows.find(Key(hwnd));
    return it == windows.end() ? nullptr : it->second.get();
}

int MenuBarHeight(const WindowRecord& w) { return w.menu ? kMenu : 0; }

int ViewBarHeight(const WindowRecord& w) { return ControlsInDriver() ? 0 : MenuBarHeight(w); }

void FrameChanged(WindowRecord& w) {
    if (ResizeClient(w)) Send(w.handle, WM_SIZE, 0, MAKELPARAM(w.clientWidth, w.clientHeight));
}

std::vector<WindowRecord*> ChildrenOf(HWND parent) {
    std::vector<WindowRecord*> children;
    for (auto& [key, w] : Wm().windows)
        if (w->parent == parent && (w->style & WS_CHILD)) children.push_back(w.get());
    return children;
}

WindowRecord* TopLevelOf(WindowRecord& w, int64_t* x, int64_t* y) {
    int64_t sumX = 0;
    int64_t sumY = 0;
    WindowRecord* at = &w;
    // A chain of parents ends at a top-level window; the bound only guards against a cycle.
    for (size_t steps = 0; at && !IsTopLevel(*at); ++steps) {
        if (steps == Wm().windows.size()) return nullptr;
        sumX += at->rect.left;
        sumY += at->rect.top;
        at = FindWindow(at->parent);
    }
    if (x) *x = sumX;
    if (y) *y = sumY;
    return at;
}

void ShowClient(WindowRecord& w) {
    w.clientDirty = false;
    WindowRecord* top = TopLevelOf(w);
    if (!top || !top->topLevelShown) return;
    int width = 0;
    int height = 0;
    const uint32_t* view = ComposeView(*top, &width, &height);
    ResizeShown(*top);
    // A view composed of more than the client (a menu bar, buttons, a drop-down) counts as new
    // every time; the client alone is new only when something was drawn that changed it.
    const bool composed = view != top->client.data();
    display::Show(top->handle, view, width, height, composed || top->clientChanged);
    top->clientChanged = false;
}

void InputMouseMove(HWND hwnd, int x, int y) {
    PointerTarget target = RoutePointer(hwnd, Pointer::Move, x, y);
    if (!target.hwnd) return;
    Enqueue(target.hwnd, WM_MOUSEMOVE, MouseKeys(), MAKELPARAM(target.x, target.y), true);
}

void InputMouseButton(HWND hwnd, MouseButton button, bool down, int x, int y) {
    State& s = Wm();
    int vk = button == MouseButton::Left ? VK_LBUTTON : VK_RBUTTON;
    s.keys[vk].down = down;
    if (down) s.keys[vk].pressedSinceQuery = true;
    Pointer event = button == MouseButton::Left ? (down ? Pointer::LeftDown : Pointer::LeftUp)
                                                : (down ? Pointer::RightDown : Pointer::RightUp);
    PointerTarget target = RoutePointer(hwnd, event, x, y);
    if (!target.hwnd) {
        Take(vk, down);  // a menu or a push button had it, or it fell outside: read at once
        return;
    }
    UINT msg = button == MouseButton::Left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP)
                                           : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    Enqueue(target.hwnd, msg, MouseKeys(), MAKELPARAM(target.x, target.y), true);
}

void InputMouseWheel(HWND hwnd, int delta, int x, int y) {
    WindowRecord* view = FindWindow(hwnd);
    WindowRecord* top = view ? TopLevelOf(*view) : nullptr;
    if (!top || MenuOpenOn(top->handle)) return;
    if (x < 0 || y < 0 || x >= top->clientWidth || y >= top->clientHeight + ViewBarHeight(*top)) return;
    // The view's corner on the screen: the client's, less the menu bar above it.
    const POINT corner = ClientCorner(*top);
    const int64_t screenX = int64_t{corner.x} + x;
    const int64_t screenY = int64_t{corner.y} - ViewBarHeight(*top) + y;
    Enqueue(top->handle, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(), delta), MAKELPARAM(screenX, screenY), true);
}

void InputKey(int virtualKey, bool down, bool repeat) {
    if (virtualKey < 0 || virtualKey > 255) return;
    State& s = Wm();
    KeyState& k = s.keys[static_cast<size_t>(virtualKey)];
    bool wasDown = k.down;
    k.down = down;
    if (down) k.pressedSinceQuery = true;
    // A key that makes no message (an open menu takes it, or no window has the focus) is read at
    // once, as the menu's own loop would read it.
    if (MenuTakesKey(virtualKey, down) || !s.focus) {
        Take(virtualKey, down);
        return;
    }
    // lParam as Win32 builds it: repeat count 1, bit 30 the previous state, bit 31 the transition.
    LPARAM lParam = 1;
    if (down && (repeat || wasDown)) lParam |= LPARAM(1) << 30;
    if (!down) lParam |= (LPARAM(1) << 30) | static_cast<LPARAM>(0x80000000u);
    Enqueue(s.focus, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(virtualKey), lParam, true);
}

void InputActivateApp(bool active) {
    State& s = Wm();
    if (s.appActive == active) return;
    s.appActive = active;
    if (!active) CancelModes();
    std::vector<HWND> tops;
    for (auto& [key, w] : s.windows)
        if (IsTopLevel(*w)) tops.push_back(w->handle);
    for (HWND h : tops)
        if (FindWindow(h)) Send(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

void InputClose(HWND hwnd) {
    if (FindWindow(hwnd)) Enqueue(hwnd, WM_CLOSE, 0, 0);
}

const uint32_t* ClientPixels(HWND hwnd, int* width, int* height) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return nullptr;
    *width = w->clientWidth;
    *height = w->clientHeight;
    return w->client.data();
}

void ResetWindowManager() {
    State& s = Wm();
    ReleaseButtonPointer();
    ResetMenus();
    for (auto& [key, w] : s.windows)
        if (w->topLevelShown) display::DestroyTopLevel(w->handle);
    s.windows.clear();
    s.classes.clear();
    s.queue.clear();
    s.quitPosted = false;
    s.quitCode = 0;
    s.keys = {};
    s.taken = {};
    s.focus = nullptr;
    s.appActive = false;
}

}  // namespace wm

using wm::FindWindow;
using wm::Wm;
using wm::WindowRecord;

ATOM WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
    if (!wndClass || !wndClass->lpszClassName || !wndClass->lpfnWndProc) return 0;
    auto& classes = Wm().classes;
    std::string name = wndClass->lpszClassName;
    if (classes.count(name)) return 0;  // a taken name fails; the existing class stays
    wm::WindowClass c;
    c.info = *wndClass;
    c.name = name;
    c.info.lpszClassName = nullptr;
    c.info.lpszMenuName = nullptr;
    classes.emplace(name, c);
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE, LPVOID param) {
    auto& s = Wm();
    if (!className) return nullptr;
    WNDPROC proc = nullptr;
    const char* storedName = className;
    if (auto cls = s.classes.find(className); cls != s.classes.end())
        proc = cls->second.info.lpfnWndProc;
    else if (!wm::SystemClass(className, &proc, &storedName))
        return nullptr;
    if ((style & WS_CHILD) && !FindWindow(parent)) return nullptr;
    if (parent && !FindWindow(parent)) return nullptr;

    auto record = std::make_unique<WindowRecord>();
    HWND hwnd = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 4;
    record->handle = hwnd;
    record->className = storedName;
    record->text = windowName ? windowName : "";
    record->proc = proc;
    record->style = style;
    record->parent = parent;
    if (style & WS_CHILD)
        record->controlId = reinterpret_cast<UINT_PTR>(menu);
    else if (IsMenu(menu))
        record->menu = menu;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    record->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    WindowRecord& w = *record;
    s.windows.emplace(wm::Key(hwnd), std::move(record));
    wm::ResizeClient(w);

    // The creation-time messages, sent before this call returns.
    if (!wm::Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(param))) {
        // Like Win32, a window whose WM_NCCREATE answers 0 is not created.
        if (FindWindow(hwnd)) s.windows.erase(wm::Key(hwnd));
        return nullptr;
    }
    if (!FindWindow(hwnd)) return nullptr;
    if (wm::Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!FindWindow(hwnd)) return nullptr;
    if (style & WS_CHILD) {
        FindWindow(hwnd)->needSize = false;
        wm::SendSize(hwnd);
        wm::SendMove(hwnd);
        if (!FindWindow(hwnd)) return nullptr;
    }
    if (style & WS_VISIBLE) {
        WindowRecord* again = FindWindow(hwnd);
        again->style &= ~static_cast<DWORD>(WS_VISIBLE);
        ShowWindow(hwnd, SW_SHOW);
    }
    return FindWindow(hwnd) ? hwnd : nullptr;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    switch (msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT:
            if (WindowRecord* w = FindWindow(hwnd)) w->invalid = false;
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return 0;
    }
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    auto& s = Wm();
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return FALSE;
    // Children first, as Win32 tears down a window's tree.
    std::vector<HWND> children;
    for (auto& [key, other] : s.windows)
        if (other->parent == hwnd && (other->style & WS_CHILD)) children.push_back(other->handle);
    wm::Send(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : children) DestroyWindow(child);
    wm::Send(hwnd, WM_NCDESTROY, 0, 0);
    w = FindWindow(hwnd);
    if (!w) return TRUE;
    wm::ForgetWindow(hwnd);
    if (w->topLevelShown) display::DestroyTopLevel(hwnd);
    bool hadFocus = s.focus == hwnd;
    s.windows.erase(wm::Key(hwnd));
    if (hadFocus) {
        s.focus = nullptr;
        for (auto& [key, other] : s.windows)
            if (wm::IsTopLevel(*other) && other->visible) s.focus = other->handle;
    }
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = w->visible ? TRUE : FALSE;
    bool show = cmdShow != SW_HIDE;
    if (show == w->visible) return wasVisible;
    w->visible = show;
    if (show)
        w->style |= WS_VISIBLE;
    else
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
    wm::Send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    w = FindWindow(hwnd);
    if (!w) return wasVisible;
    if (wm::IsTopLevel(*w)) {
        if (show && !w->topLevelShown) {
            w->topLevelShown = true;
            w->shownWidth = w->clientWidth;
            w->shownHeight = w->clientHeight + wm::ViewBarHeight(*w);
            display::CreateTopLevel(hwnd, w->text.c_str(), w->shownWidth, w->shownHeight, (w->style & WS_CAPTION) != WS_CAPTION);
            wm::ShowClient(*w);
            wm::Activate(hwnd);
        } else if (!show && w->topLevelShown) {
            w->topLevelShown = false;
            display::DestroyTopLevel(hwnd);
        }
    }
    if (show && (w = FindWindow(hwnd)) != nullptr && w->needSize) {
        w->needSize = false;
        wm::SendSize(hwnd);
        wm::SendMove(hwnd);
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return FALSE;
    if (w->visible && w->invalid) wm::Send(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return FindWindow(hwnd) ? TRUE : FALSE; }

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || index != GWLP_USERDATA) return 0;
    LONG_PTR old = w->userData;
    w->userData = value;
    return old;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || index != GWLP_USERDATA) return 0;
    return w->userData;
}

BOOL WINAPI GetWindowRect(HWND hwnd, RECT* rect) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !rect) return FALSE;
    POINT offset = wm::ScreenOffset(*w);
    *rect = RECT{w->rect.left + offset.x, w->rect.top + offset.y, w->rect.right + offset.x, w->rect.bottom + offset.y};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, RECT* rect) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !rect) return FALSE;
    *rect = RECT{0, 0, w->clientWidth, w->clientHeight};
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w) return FALSE;
    POINT before = wm::ClientCorner(*w);
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    bool resized = wm::ResizeClient(*w);
    POINT after = wm::ClientCorner(*w);
    // Only what changed is told, the move first.
    if (after.x != before.x || after.y != before.y) wm::SendMove(hwnd);
    if (resized) wm::SendSize(hwnd);
    if (repaint && (w = FindWindow(hwnd)) != nullptr) {
        w->invalid = true;
        if (w->clientDirty || w->topLevelShown) wm::ShowClient(*w);
    }
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
    WindowRecord* w = FindWindow(hwnd);
    if (!w || !text || maxCount <= 0) return 0;
    size_t n = std::min(w->text.size(), static_cast<size_t>(maxCount - 1));
    w->text.copy(text, n);
    text[n] = '\0';
    return static_cast<int>(n);
}

// The program ships no icon resources; only the system's own icon and cursor exist.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr && name == IDI_APPLICATION) return reinterpret_cast<HICON>(uintptr_t{0x7F00});
    return nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr && name == IDC_ARROW) return reinterpret_cast<HCURSOR>(uintptr_t{0x7F01});
    return nullptr;
}

int WINAPI GetSystemMetrics(int index) {
    int w = 0;
    int h = 0;
    switch (index) {
        case SM_CXSCREEN:
            display::ScreenSize(&w, &h);
            return w;
        case SM_CYSCREEN:
            display::ScreenSize(&w, &h);
            return h;
        case SM_CYCAPTION:
            return wm::kCaption;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return wm::kBorder;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return wm::kDialogFrame;
        case SM_CYMENU:
            return wm::kMenu;
        case SM_CYSMCAPTION:
            return wm::kSmallCaption;
        default:
            return 0;
    }
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    if (!mode) return DISP_CHANGE_SUCCESSFUL;  // back to the registry mode: nothing was changed for good
    if (mode->dmSize < kDevModeSizeWithoutPanning) return DISP_CHANGE_BADMODE;
    int w = 0;
    int h = 0;
    display::ScreenSize(&w, &h);
    int bits = 32;
    if (mode->dmFields & DM_PELSWIDTH) w = static_cast<int>(mode->dmPelsWidth);
    if (mode->dmFields & DM_PELSHEIGHT) h = static_cast<int>(mode->dmPelsHeight);
    if (mode->dmFields & DM_BITSPERPEL) bits = static_cast<int>(mode->dmBitsPerPel);
    if (w <= 0 || h <= 0) return DISP_CHANGE_BADMODE;
    return display::SetMode(w, h, bits) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey < 0 || vKey > 255) return 0;
    wm::KeyState& k = Wm().keys[static_cast<size_t>(vKey)];
    unsigned result = (k.down ? 0x8000u : 0u) | (k.pressedSinceQuery ? 1u : 0u);
    k.pressedSinceQuery = false;
    return static_cast<SHORT>(result);
}

SHORT WINAPI GetKeyState(int vKey) {
    if (vKey < 0 || vKey > 255) return 0;
    // The record's byte sign-extended, as Win32 gives it: down is negative.
    return static_cast<SHORT>(static_cast<int8_t>(Wm().taken[static_cast<size_t>(vKey)] & (wm::kDown | wm::kToggled)));
}

HWND WINAPI SetFocus(HWND hwnd) {
    if (hwnd && !FindWindow(hwnd)) return nullptr;
    HWND old = Wm().focus;
    wm::SetFocusWindow(hwnd);
    return old;
}

HWND WINAPI GetFocus() { return Wm().focus; }

BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !FindWindow(hwnd)) return FALSE;
    wm::Enqueue(hwnd, msg, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return wm::Send(hwnd, msg, wParam, lParam);
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) return FALSE;
    display::Pump(Wm().queue.empty() && !Wm().quitPosted);
    if (wm::TakeMessage(msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0)) return TRUE;
    display::IdleTurn();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    for (;;) {
        display::Pump(Wm().queue.empty() && !Wm().quitPosted);
        if (wm::TakeMessage(msg, hwnd, filterMin, filterMax, true)) return msg->message == WM_QUIT ? 0 : 1;
        if (!display::WaitForInput()) {
            *msg = MSG{};
            return -1;
        }
    }
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)) return FALSE;
    // Every key message counts as translated, whether or not it types a character.
    if (msg->message == WM_KEYUP) return TRUE;
    // Keys that type a character, as an unshifted US keyboard types them.
    WPARAM vk = msg->wParam;
    int ch = -1;
    if (vk >= 'A' && vk <= 'Z') ch = static_cast<int>(vk - 'A' + 'a');
    else if (vk >= '0' && vk <= '9') ch = static_cast<int>(vk);
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB) ch = static_cast<int>(vk);
    else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) ch = static_cast<int>('0' + (vk - VK_NUMPAD0));
    else if (vk == VK_ADD) ch = '+';
    else if (vk == VK_SUBTRACT) ch = '-';
    else if (vk == VK_MULTIPLY) ch = '*';
    else if (vk == VK_DIVIDE) ch = '/';
    if (ch < 0) return TRUE;
    PostMessageA(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    WindowRecord* w = FindWindow(msg->hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    Wm().quitPosted = true;
    Wm().quitCode = exitCode;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    return display::MessageBox(text ? text : "", caption ? caption : "Error", type);
}

DWORD WINAPI GetTickCount() { return display::Ticks(); }

void WINAPI Sleep(DWORD milliseconds) { display::Sleep(milliseconds); }

BOOL WINAPI Beep(DWORD frequency, DWORD duration) {
    display::Beep(frequency, duration);
    return TRUE;
}
