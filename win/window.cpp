// Window objects on native windows: class registration and creation, the window procedure that
// routes messages to the objects, the registry of live windows and the idle pass, display-mode
// switching for full-screen windows.
#include "win/window.h"

#include <cstring>

#include "app/globals.h"
#include "app/system.h"
#include "platform/win32.h"
#include "win/button_group.h"
#include "win/menu_bar.h"

namespace {

constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE;  // 0x10CA0000
constexpr DWORD kFullscreenStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_VISIBLE;       // 0x90880000

// A window is sized from the small-caption metric plus this: on a classic desktop that is the
// whole caption bar (SM_CYCAPTION 19 = SM_CYSMCAPTION 16 + 3), so the client area comes out at
// the size asked for.
constexpr int kCaptionBeyondSmallCaption = 3;

HWND NativeHandle(const Window* window) { return static_cast<HWND>(window->GetHandle(kWindowHandlerKey)); }

void SwitchDisplayMode(int width, int height) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = kDevModeSizeWithoutPanning;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = 16;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    ChangeDisplaySettingsA(&mode, 0);
}

void Register(Window* window) {
    AppGlobals& g = appGlobals;
    for (int i = 0; i < g.windowRegistryCapacity; ++i) {
        if (!g.windowRegistry[i]) {
            g.windowRegistry[i] = window;
            return;
        }
    }
    int capacity = g.windowRegistryCapacity > 0 ? 2 * g.windowRegistryCapacity : 1;
    auto** grown = new Window*[static_cast<size_t>(capacity)]();
    for (int i = 0; i < g.windowRegistryCapacity; ++i) grown[i] = g.windowRegistry[i];
    delete[] g.windowRegistry;
    g.windowRegistry = grown;
    g.windowRegistryCapacity = capacity;
    grown[capacity - 1] = window;
}

void Unregister(Window* window) {
    AppGlobals& g = appGlobals;
    bool others = false;
    for (int i = 0; i < g.windowRegistryCapacity; ++i) {
        if (g.windowRegistry[i] == window) g.windowRegistry[i] = nullptr;
        if (g.windowRegistry[i]) others = true;
    }
    if (!others) {
        delete[] g.windowRegistry;
        g.windowRegistry = nullptr;
        g.windowRegistryCapacity = 0;
    }
}

bool IsRegistered(const Window* window) {
    for (int i = 0; i < appGlobals.windowRegistryCapacity; ++i)
        if (window && appGlobals.windowRegistry[i] == window) return true;
    return false;
}

void RouteCommand(Window* window, WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        // A notification from a child control. Only a push button of a live group is read as
        // one: any other child's user data (a Window of ours, anything at all) is not a group.
        const HWND control = reinterpret_cast<HWND>(lParam);
        ButtonGroup* group = ButtonGroup::OfControl(control);
        if (!group || !IsRegistered(group->owner)) return;
        // The click gave the button the keyboard, as Win32 buttons take it: the window takes it
        // back, so that its keys keep working.
        if (GetFocus() == control) SetFocus(static_cast<HWND>(group->owner->GetHandle(kWindowHandlerKey)));
        group->owner->OnEvent(Button, LOWORD(wParam), 0);
        return;
    }
    if (HIWORD(wParam) != 0) return;  // an accelerator
    int id = LOWORD(wParam);
    window->OnEvent(Menu, id / 100, id % 100);
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window) window = appGlobals.windowUnderConstruction;
    if (window) {
        bool mouseEvents = false;
        int mouseCode = 0;
        switch (msg) {
            case WM_DESTROY:
            case WM_CLOSE:
            case WM_QUIT:
                window->active = false;
                delete window;
                break;
            case WM_PAINT:
                if (window->ready) window->OnPaint();
                break;
            case WM_ACTIVATEAPP:
                window->active = wParam != 0;
                break;
            case WM_KEYDOWN:
                if (window->ready) window->OnEvent(Key, static_cast<int>(wParam), 0);
                break;
            case WM_COMMAND:
                RouteCommand(window, wParam, lParam);
                break;
            case WM_MOUSEMOVE:
                window->prevMouseX = window->mouseX;
                window->prevMouseY = window->mouseY;
                window->mouseX = LOWORD(lParam);
                window->mouseY = HIWORD(lParam);
                mouseEvents = true;
                mouseCode = Move;
                break;
            case WM_LBUTTONDOWN:
                window->leftButton = true;
                mouseEvents = true;
                mouseCode = LeftDown;
                break;
            case WM_LBUTTONUP:
                window->leftButton = false;
                mouseEvents = true;
                mouseCode = LeftUp;
                break;
            case WM_RBUTTONDOWN:
                window->rightButton = true;
                mouseEvents = true;
                mouseCode = RightDown;
                break;
            case WM_RBUTTONUP:
                window->rightButton = false;
                mouseEvents = true;
                mouseCode = RightUp;
                break;
            case WM_MOUSEWHEEL:
                if (window->ready && window->active)
                    window->OnEvent(Wheel, GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam));
                return 0;  // handled: not passed on to the parent, as DefWindowProc would
            default:
                break;
        }
        if (mouseEvents && window->ready && window->active) window->OnEvent(Mouse, mouseCode, 0);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

Window::Window(const char* name, int clientWidth, int clientHeight, bool noBackground, Window* owner, bool isFullscreen)
    : handles(nullptr),
      active(false),
      ready(false),
      fullscreen(isFullscreen),
      menuBar(nullptr),
      mouseX(0),
      mouseY(0),
      prevMouseX(0),
      prevMouseY(0),
      leftButton(false),
      rightButton(false) {
    appGlobals.windowUnderConstruction = this;
    HINSTANCE instance = InstanceHandle();

    WNDCLASSA wc{};
    wc.style = 0;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(32512));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = noBackground ? nullptr : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name;
    RegisterClassA(&wc);  // a name registered before keeps its class

    HWND ownerHandle = owner ? NativeHandle(owner) : nullptr;
    HWND hwnd = nullptr;
    if (fullscreen) {
        appGlobals.savedDisplayWidth = GetSystemMetrics(SM_CXSCREEN);
        appGlobals.savedDisplayHeight = GetSystemMetrics(SM_CYSCREEN);
        SwitchDisplayMode(clientWidth, clientHeight);
        hwnd = CreateWindowExA(0, name, name, kFullscreenStyle, 0, 0, clientWidth, clientHeight, ownerHandle, nullptr,
                               instance, nullptr);
    } else {
        int outerWidth = clientWidth + 2 * GetSystemMetrics(SM_CXDLGFRAME);
        int outerHeight = clientHeight + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + kCaptionBeyondSmallCaption;
        int x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
        int y = (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
        hwnd = CreateWindowExA(0, name, name, kWindowedStyle, x, y, outerWidth, outerHeight, ownerHandle, nullptr,
                               instance, nullptr);
    }

    appGlobals.windowUnderConstruction = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    handles = new HandleList(1);
    handles->Set(0, hwnd, kWindowHandlerKey);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    ready = true;
    active = true;
    Register(this);
}

Window::~Window() {
    Unregister(this);
    HWND hwnd = NativeHandle(this);
    delete handles;
    handles = nullptr;
    delete menuBar;
    menuBar = nullptr;
    // The native window may still receive messages (the WM_CLOSE posted here, the WM_DESTROY
    // that follows): cut its link to this object so they reach only the default handling.
    if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    if (fullscreen) {
        int width = appGlobals.savedDisplayWidth;
        int height = appGlobals.savedDisplayHeight;
        appGlobals.savedDisplayWidth = GetSystemMetrics(SM_CXSCREEN);
        appGlobals.savedDisplayHeight = GetSystemMetrics(SM_CYSCREEN);
        SwitchDisplayMode(width, height);
    }
}

void Window::OnEvent(int, int, int) {}
void Window::OnIdle() {}
void Window::OnPaint() {}

void Window::RequestPaint() { PostMessageA(NativeHandle(this), WM_PAINT, 0, 0); }

void* Window::GetHandle(const char* key) const { return handles ? handles->Lookup(key) : nullptr; }

void Window::Centre() {
    HWND hwnd = NativeHandle(this);
    RECT r{};
    GetWindowRect(hwnd, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    MoveWindow(hwnd, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width,
               height, TRUE);
}

int Window::ClientLeft() const {
    if (fullscreen) return 1;
    RECT r{};
    GetWindowRect(NativeHandle(this), &r);
    return r.left + GetSystemMetrics(SM_CXDLGFRAME);
}

int Window::ClientTop() const {
    HWND hwnd = NativeHandle(this);
    int menu = GetMenu(hwnd) ? GetSystemMetrics(SM_CYMENU) : 0;
    if (fullscreen) return 1 + menu;
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSMCAPTION) + kCaptionBeyondSmallCaption + menu;
}

void Window::PrintText(int x, int y, const char* text, unsigned char r, unsigned char g, unsigned char b) {
    HWND hwnd = NativeHandle(this);
    HDC dc = GetDC(hwnd);
    if (!dc) return;
    SetBkColor(dc, 0xFFFFFF);
    SetTextColor(dc, RGB(r, g, b));
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
    ReleaseDC(hwnd, dc);
}

void Window::AddMenu(const char* title, const char* const* items) {
    if (!menuBar) menuBar = new MenuBar(this);
    menuBar->AddPopup(title, items);
}

bool RunWindowsIdle() {
    for (int i = 0; i < appGlobals.windowRegistryCapacity; ++i)
        if (Window* window = appGlobals.windowRegistry[i]) window->OnIdle();
    return appGlobals.windowRegistryCapacity > 0;
}

int RunMessageLoop() {
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!RunWindowsIdle()) return 0;
        if (appGlobals.universe.state == Active) appGlobals.universe.Execute();
    }
}

void DeleteAllWindows() {
    // Each deletion unregisters a window and may release the table: look afresh every time.
    for (;;) {
        Window* victim = nullptr;
        for (int i = 0; i < appGlobals.windowRegistryCapacity && !victim; ++i) victim = appGlobals.windowRegistry[i];
        if (!victim) return;
        delete victim;
    }
}
