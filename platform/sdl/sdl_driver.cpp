// The SDL2 display driver: a real SDL window per top-level window, SDL input turned into the
// messages and key state Win32 would produce. A window's view is fitted to the usable desktop by
// the rule every display follows (platform/view_scale.h), in the display's own pixels where it
// has more of them than window coordinates (a high-density display), and pointer positions are
// taken back to view pixels by the same rule.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/view_scale.h"

namespace {

struct Shown {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;   // the size of the view the program shows
    int height = 0;
    bool fullscreen = false;
    SDL_Rect image{};       // where the view is shown, in the renderer's output pixels
    double pixelsPerUnit = 1;  // output pixels per window coordinate (more on a high-density display)
    bool vsync = false;          // presenting waits for the display's refresh by itself
    Uint64 refreshTicks = 0;     // one refresh, in performance-counter ticks
    Uint64 lastPresent = 0;
    bool drawn = false;          // the texture holds what the window manager last showed
};

struct State {
    bool initialised = false;
    bool available = false;
    bool modeSet = false;
    int modeWidth = 0;
    int modeHeight = 0;
    std::map<HWND, Shown> windows;
    std::map<Uint32, HWND> byId;
    int pointerX = 0;  // the last pointer position in pixels of the view it moved over
    int pointerY = 0;
};

State& Sdl() {
    static State state;
    return state;
}

bool Init() {
    State& s = Sdl();
    if (!s.initialised) {
        s.initialised = true;
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        s.available = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) == 0;
        // SDL falls back to drivers that draw nowhere; a window there is one nobody can see.
        const char* driver = s.available ? SDL_GetCurrentVideoDriver() : nullptr;
        if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
            SDL_SetError("no screen (only the '%s' video driver is available)", driver);
            s.available = false;
        }
        if (!s.available) {
            // Without a screen no window can ever be shown or closed: say so and stop, rather
            // than run on unseen.
            std::fprintf(stderr, "ondrel: cannot open a display: %s\n", SDL_GetError());
            std::exit(1);
        }
    }
    return s.available;
}

HWND WindowOf(Uint32 id) {
    auto it = Sdl().byId.find(id);
    return it == Sdl().byId.end() ? nullptr : it->second;
}

int VirtualKey(const SDL_Keysym& k) {
    SDL_Keycode c = k.sym;
    if (c >= SDLK_a && c <= SDLK_z) return 'A' + (c - SDLK_a);
    if (c >= SDLK_0 && c <= SDLK_9) return '0' + (c - SDLK_0);
    if (c >= SDLK_F1 && c <= SDLK_F12) return VK_F1 + (c - SDLK_F1);
    switch (c) {
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_RETURN: return VK_RETURN;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_UP: return VK_UP;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_INSERT: return VK_INSERT;
        case SDLK_DELETE: return VK_DELETE;
        case SDLK_HOME: return VK_HOME;
        case SDLK_END: return VK_END;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT: case SDLK_RALT: return VK_MENU;
        case SDLK_KP_PLUS: return VK_ADD;
        case SDLK_KP_MINUS: return VK_SUBTRACT;
        case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
        case SDLK_KP_DIVIDE: return VK_DIVIDE;
        case SDLK_KP_PERIOD: return VK_DECIMAL;
        case SDLK_KP_0: return VK_NUMPAD0;
        case SDLK_SEMICOLON: return VK_OEM_1;
        case SDLK_EQUALS: return VK_OEM_PLUS;
        case SDLK_COMMA: return VK_OEM_COMMA;
        case SDLK_MINUS: return VK_OEM_MINUS;
        case SDLK_PERIOD: return VK_OEM_PERIOD;
        case SDLK_SLASH: return VK_OEM_2;
        case SDLK_BACKQUOTE: return VK_OEM_3;
        case SDLK_LEFTBRACKET: return VK_OEM_4;
        case SDLK_BACKSLASH: return VK_OEM_5;
        case SDLK_RIGHTBRACKET: return VK_OEM_6;
        case SDLK_QUOTE: return VK_OEM_7;
        default: break;
    }
    if (c >= SDLK_KP_1 && c <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (c - SDLK_KP_1);
    return 0;
}

// The window's size for showing its view: fitted to the usable desktop, in output pixels, and the
// window as large in window coordinates. A full-screen window fills the screen.
viewscale::Fit FitOf(const Shown& shown, double pixelsPerUnit) {
    const int w = std::max(shown.width, 1);
    const int h = std::max(shown.height, 1);
    SDL_Rect usable{};
    if (shown.fullscreen && shown.window) {
        int outW = 0;
        int outH = 0;
        SDL_GetRendererOutputSize(shown.renderer, &outW, &outH);
        return viewscale::Fill(w, h, outW, outH);
    }
    if (SDL_GetDisplayUsableBounds(shown.window ? std::max(SDL_GetWindowDisplayIndex(shown.window), 0) : 0, &usable) != 0)
        return viewscale::Fit{w, h, 1};
    return viewscale::Choose(w, h, static_cast<int>(usable.w * pixelsPerUnit), static_cast<int>(usable.h * pixelsPerUnit),
                             pixelsPerUnit);
}

// Output pixels per window coordinate, and where the view goes in the output: the fitted size,
// in the middle (a window as large as the image, or a full screen around it).
void Layout(Shown& shown, const viewscale::Fit& fit) {
    int windowW = 0;
    int windowH = 0;
    int outW = 0;
    int outH = 0;
    SDL_GetWindowSize(shown.window, &windowW, &windowH);
    SDL_GetRendererOutputSize(shown.renderer, &outW, &outH);
    shown.pixelsPerUnit = windowW > 0 && outW > 0 ? static_cast<double>(outW) / windowW : 1.0;
    shown.image.w = std::min(fit.width, std::max(outW, 1));
    shown.image.h = std::min(fit.height, std::max(outH, 1));
    shown.image.x = (outW - shown.image.w) / 2;
    shown.image.y = (outH - shown.image.h) / 2;
}

// The window sized for its view at the display's own density, and the image laid out in it.
void Fit(Shown& shown) {
    // The density is known once the window is there: its output pixels over its size.
    Layout(shown, viewscale::Fit{shown.width, shown.height, 1});
    const viewscale::Fit fit = FitOf(shown, shown.pixelsPerUnit);
    if (!shown.fullscreen) {
        const double unit = shown.pixelsPerUnit;
        SDL_SetWindowSize(shown.window, std::max(1, static_cast<int>(std::ceil(fit.width / unit - 1e-9))),
                          std::max(1, static_cast<int>(std::ceil(fit.height / unit - 1e-9))));
    }
    Layout(shown, fit);
}

// A pointer at (x, y) in window coordinates, as a pixel of the view.
void ViewPoint(const Shown& shown, int x, int y, int* viewX, int* viewY) {
    *viewX = viewscale::PointerPixel((x + 0.5) * shown.pixelsPerUnit - shown.image.x, shown.width, shown.image.w);
    *viewY = viewscale::PointerPixel((y + 0.5) * shown.pixelsPerUnit - shown.image.y, shown.height, shown.image.h);
}

// An update that comes before the display's next refresh waits for it, so that frames are never
// made faster than they can be seen. With nothing to present, the refresh is waited for all the
// same, also where presenting would have waited for it by itself. The wait sleeps to the microsecond (SDL_Delay counts whole
// milliseconds), so an idle window costs next to no processor time.
void WaitForRefresh(Shown& shown, bool presenting) {
    if ((presenting && shown.vsync) || shown.lastPresent == 0) return;
    const Uint64 due = shown.lastPresent + shown.refreshTicks;
    const Uint64 now = SDL_GetPerformanceCounter();
    if (now >= due) return;
    const Uint64 frequency = SDL_GetPerformanceFrequency();
    // Whole seconds and the rest apart, so that the product cannot overflow.
    const Uint64 ticks = due - now;
    const auto micros = static_cast<long long>(ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency);
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

void Render(Shown& shown) {
    SDL_RenderClear(shown.renderer);
    SDL_RenderCopy(shown.renderer, shown.texture, nullptr, &shown.image);
    SDL_RenderPresent(shown.renderer);
}

}  // namespace

namespace display {

void ScreenSize(int* width, int* height) {
    State& s = Sdl();
    if (s.modeSet) {
        *width = s.modeWidth;
        *height = s.modeHeight;
        return;
    }
    SDL_DisplayMode mode{};
    if (Init() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = 1024;
        *height = 768;
    }
}

// The real desktop keeps its mode: a full-screen window is shown scaled over it instead, so the
// program sees the mode it asked for.
bool SetMode(int width, int height, int) {
    State& s = Sdl();
    int desktopW = 0;
    int desktopH = 0;
    s.modeSet = false;
    ScreenSize(&desktopW, &desktopH);
    bool backToDesktop = width == desktopW && height == desktopH;
    s.modeSet = !backToDesktop;
    s.modeWidth = width;
    s.modeHeight = height;
    return true;
}

void CreateTopLevel(HWND hwnd, const char* caption, int clientWidth, int clientHeight, bool popup) {
    if (!Init()) return;
    State& s = Sdl();
    Shown shown;
    shown.width = clientWidth;
    shown.height = clientHeight;
    shown.fullscreen = popup && s.modeSet;
    // Shown only once its renderer exists and it has its size and place: making the renderer may
    // put a new window in place of this one (an OpenGL renderer wants a window made for it), and
    // one shown before that would appear, vanish and appear again, placed a second time by the
    // window manager, then be sized and moved again while the window manager frames it.
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (shown.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (popup && !shown.fullscreen) flags |= SDL_WINDOW_BORDERLESS;
    // Sized at one window coordinate a pixel of the fit first: Fit() sizes it again once the
    // display's density is known.
    const viewscale::Fit first = FitOf(shown, 1.0);
    shown.window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, std::max(first.width, 1),
                                    std::max(first.height, 1), flags);
    if (!shown.window) return;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    shown.renderer = SDL_CreateRenderer(shown.window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!shown.renderer) shown.renderer = SDL_CreateRenderer(shown.window, -1, SDL_RENDERER_SOFTWARE);
    if (!shown.renderer) {
        SDL_DestroyWindow(shown.window);
        return;
    }
    SDL_RendererInfo info{};
    shown.vsync = SDL_GetRendererInfo(shown.renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
    SDL_DisplayMode mode{};
    int hz = SDL_GetWindowDisplayMode(shown.window, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
    shown.refreshTicks = SDL_GetPerformanceFrequency() / static_cast<Uint64>(hz);
    Fit(shown);
    if (!shown.fullscreen) SDL_SetWindowPosition(shown.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    shown.texture = SDL_CreateTexture(shown.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      clientWidth > 0 ? clientWidth : 1, clientHeight > 0 ? clientHeight : 1);
    s.byId[SDL_GetWindowID(shown.window)] = hwnd;
    s.windows[hwnd] = shown;
    SDL_ShowWindow(shown.window);
}

void ResizeTopLevel(HWND hwnd, int clientWidth, int clientHeight) {
    auto it = Sdl().windows.find(hwnd);
    if (it == Sdl().windows.end()) return;
    Shown& shown = it->second;
    shown.width = clientWidth;
    shown.height = clientHeight;
    Fit(shown);
    if (shown.texture) SDL_DestroyTexture(shown.texture);
    shown.texture = SDL_CreateTexture(shown.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      clientWidth > 0 ? clientWidth : 1, clientHeight > 0 ? clientHeight : 1);
    shown.drawn = false;
}

void DestroyTopLevel(HWND hwnd) {
    State& s = Sdl();
    auto it = s.windows.find(hwnd);
    if (it == s.windows.end()) return;
    s.byId.erase(SDL_GetWindowID(it->second.window));
    if (it->second.texture) SDL_DestroyTexture(it->second.texture);
    SDL_DestroyRenderer(it->second.renderer);
    SDL_DestroyWindow(it->second.window);
    s.windows.erase(it);
}

void Show(HWND hwnd, const uint32_t* pixels, int width, int height, bool changed) {
    auto it = Sdl().windows.find(hwnd);
    if (it == Sdl().windows.end() || !it->second.texture || width <= 0 || height <= 0) return;
    Shown& shown = it->second;
    if (!changed && shown.drawn) {
        // The screen already shows these pixels: keep the pace, spare the upload and the drawing.
        WaitForRefresh(shown, false);
        shown.lastPresent = SDL_GetPerformanceCounter();
        return;
    }
    SDL_UpdateTexture(shown.texture, nullptr, pixels, width * 4);
    WaitForRefresh(shown, true);
    Render(shown);
    shown.lastPresent = SDL_GetPerformanceCounter();
    shown.drawn = true;
}

void Pump(bool) {
    if (!Sdl().available) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT:
                // The last window's close box: the per-window event below does the work.
                break;
            case SDL_WINDOWEVENT: {
                HWND hwnd = WindowOf(e.window.windowID);
                if (!hwnd) break;
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) wm::InputClose(hwnd);
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) wm::InputActivateApp(true);
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) wm::InputActivateApp(false);
                auto it = Sdl().windows.find(hwnd);
                if (it == Sdl().windows.end()) break;
                // On another display, or at another density: the image laid out again.
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED)
                    Layout(it->second, FitOf(it->second, it->second.pixelsPerUnit));
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) Render(it->second);
                break;
            }
            case SDL_MOUSEMOTION: {
                HWND hwnd = WindowOf(e.motion.windowID);
                auto it = Sdl().windows.find(hwnd);
                if (it == Sdl().windows.end()) break;
                int x = 0;
                int y = 0;
                ViewPoint(it->second, e.motion.x, e.motion.y, &x, &y);
                wm::InputMouseMove(hwnd, x, y);
                Sdl().pointerX = x;
                Sdl().pointerY = y;
                break;
            }
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) break;
                HWND hwnd = WindowOf(e.button.windowID);
                auto it = Sdl().windows.find(hwnd);
                int x = -1;
                int y = -1;
                if (it != Sdl().windows.end()) ViewPoint(it->second, e.button.x, e.button.y, &x, &y);
                // A window gone since still leaves the button's key state to follow it.
                wm::InputMouseButton(it != Sdl().windows.end() ? hwnd : nullptr,
                                     e.button.button == SDL_BUTTON_LEFT ? wm::MouseButton::Left : wm::MouseButton::Right,
                                     e.type == SDL_MOUSEBUTTONDOWN, x, y);
                break;
            }
            case SDL_MOUSEWHEEL: {
                // SDL counts notches, positive away from the user unless the system flips them.
                const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
                if (HWND hwnd = WindowOf(e.wheel.windowID); hwnd && notches)
                    wm::InputMouseWheel(hwnd, notches * WHEEL_DELTA, Sdl().pointerX, Sdl().pointerY);
                break;
            }
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                int vk = VirtualKey(e.key.keysym);
                if (vk) wm::InputKey(vk, e.type == SDL_KEYDOWN, e.key.repeat != 0);
                break;
            }
            default:
                break;
        }
    }
}

void IdleTurn() {}

bool WaitForInput() { return Sdl().available && SDL_WaitEvent(nullptr) == 1; }

uint32_t Ticks() {
    Init();
    return SDL_GetTicks();
}

void Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

void Beep(uint32_t, uint32_t) {}

int MessageBox(const char* text, const char* caption, unsigned) {
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

}  // namespace display
