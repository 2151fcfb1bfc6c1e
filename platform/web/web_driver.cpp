// The web display driver: each top-level window is a <canvas> in the page, browser input turned
// into the messages and key state Win32 would produce. The program's own loop runs unchanged;
// with ASYNCIFY it gives the browser its turn where a native driver would wait for the display.
// A finger on a canvas is the mouse: the first one down presses a button, moves the pointer and
// lets the button go; fingers put down beside it are ignored. A window's menu bar and push buttons
// are page elements the driver builds from the window's own menus and buttons, at a size a finger
// can hit, as a native platform draws its own controls (docs/ARCHITECTURE.md, "Controls a driver
// presents"); the canvas shows the client area, fitted to the room the page gives it by the rule
// every display follows (platform/view_scale.h).
#include <emscripten.h>
#include <emscripten/html5.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/view_scale.h"

// The runtime starts the process with a umask of 0777, under which a file the program makes with
// the usual permissions (a file replaced whole, written beside its target first) gets none at
// all and cannot be read back. A Linux login's usual mask instead.
[[maybe_unused]] const mode_t kInheritedMask = umask(022);

// The page presents every window's controls, from the first window on.
[[maybe_unused]] const bool kControlsOnPage = (wm::PresentControlsInDriver(true), true);

// The page side. Canvases live in the element with the id "screen" (the body when there is none),
// keyed by the window's number; the element's size is the room they are fitted to. A window's
// menu bar goes into the element "menus" and its push buttons into "window-buttons" (beside the
// canvas when the page has no such element). Module.ondrelFrames counts the frames shown and
// Module.ondrelFirstFrameAt holds the page's clock at the first, for tests and measurements.
// Module.ondrelTouchButton, set by the page, is the mouse button a finger on a canvas acts as,
// numbered as MouseEvent.button: 0 (the left, when unset) or 2 (the right).

EM_JS(void, JsCreateCanvas, (int id, const char* caption, int width, int height), {
    const canvas = document.createElement("canvas");
    canvas.id = "ondrel-window-" + id;
    canvas.className = "ondrel-window";
    canvas.width = Math.max(width, 1);
    canvas.height = Math.max(height, 1);
    canvas.setAttribute("aria-label", UTF8ToString(caption));
    canvas.style.imageRendering = "pixelated";
    // A finger on the canvas is the program's: the browser neither scrolls nor zooms under it.
    canvas.style.touchAction = "none";
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    (document.getElementById("screen") || document.body).appendChild(canvas);
    if (!Module.ondrelWindows) Module.ondrelWindows = {};
    if (Object.keys(Module.ondrelWindows).length == 0) document.title = UTF8ToString(caption);
    Module.ondrelWindows[id] = {canvas: canvas, context: canvas.getContext("2d", {alpha: false})};
});

EM_JS(void, JsDestroyCanvas, (int id), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w) return;
    w.canvas.remove();
    Module.ondrelControls.remove(id);
    delete Module.ondrelWindows[id];
});

// Canvas pixels match the window's view pixels; on the page the canvas is shownWidth ×
// shownHeight device pixels, which the browser fills nearest neighbour (image-rendering:
// pixelated), sampling each device pixel's centre as the rule does.
EM_JS(void, JsSizeCanvas, (int id, int width, int height, int shownWidth, int shownHeight), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w) return;
    width = Math.max(width, 1);
    height = Math.max(height, 1);
    if (w.canvas.width != width) w.canvas.width = width;
    if (w.canvas.height != height) w.canvas.height = height;
    const ratio = window.devicePixelRatio || 1;
    w.canvas.style.width = (shownWidth / ratio) + "px";
    w.canvas.style.height = (shownHeight / ratio) + "px";
});

// The room the page gives its windows, in device pixels: the content box of the element "screen"
// (the viewport when there is none), and the device pixels in a CSS pixel.
EM_JS(void, JsRoom, (int* width, int* height, double* ratio), {
    const r = window.devicePixelRatio || 1;
    const screen = document.getElementById("screen");
    let w = window.innerWidth;
    let h = window.innerHeight;
    if (screen) {
        const style = getComputedStyle(screen);
        w = screen.clientWidth - (parseFloat(style.paddingLeft) || 0) - (parseFloat(style.paddingRight) || 0);
        h = screen.clientHeight - (parseFloat(style.paddingTop) || 0) - (parseFloat(style.paddingBottom) || 0);
    }
    HEAP32[width >> 2] = Math.floor(Math.max(w, 0) * r + 1e-6);
    HEAP32[height >> 2] = Math.floor(Math.max(h, 0) * r + 1e-6);
    HEAPF64[ratio >> 3] = r;
});

// Whether the room may have changed since the last call: the screen element or the viewport
// changed size, as a ResizeObserver saw.
EM_JS(bool, JsRoomChanged, (), {
    const changed = !!Module.ondrelRoomChanged;
    Module.ondrelRoomChanged = false;
    return changed;
});

// `rgba` holds width × height pixels as the canvas takes them (bytes R, G, B, A).
EM_JS(void, JsPutPixels, (int id, const uint8_t* rgba, int width, int height), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w || !w.context) return;
    const image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
    w.context.putImageData(image, 0, 0);
    Module.ondrelFrames = (Module.ondrelFrames || 0) + 1;
    if (Module.ondrelFirstFrameAt === undefined) Module.ondrelFirstFrameAt = performance.now();
});

// Where a point of the viewport (CSS pixels) lies from the canvas's top-left corner, in device
// pixels; false when the window has no canvas. The canvas is painted from the device pixel its
// corner rounds to.
EM_JS(bool, JsCanvasPoint, (int id, double clientX, double clientY, double* x, double* y), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w) return false;
    const ratio = window.devicePixelRatio || 1;
    const r = w.canvas.getBoundingClientRect();
    HEAPF64[x >> 3] = clientX * ratio - Math.round(r.left * ratio);
    HEAPF64[y >> 3] = clientY * ratio - Math.round(r.top * ratio);
    return true;
});

// The page's half of the window's controls. Module.ondrelControls.show(id, description) makes
// (or changes) the menu bar and push buttons of window `id` from what the driver read of it:
// {menus: [{title, enabled, id, items: [{text, shortcut, id, enabled, checked, separator, heading}]}],
//  buttons: [{handle, text, pushed}]}. A pick or a click is queued in Module.ondrelControlInput
// as [0, window, item] or [1, button handle], which the driver takes as input. A drop-down opens
// under its title, over the page, and closes on a pick, on Escape or on a press anywhere else;
// while it is open, keys are its own (arrows move, Enter and space pick) and the program gets
// none.
EM_JS(void, JsInstallControls, (), {
    const queue = Module.ondrelControlInput = [];
    const bars = {};
    let open = null;  // {id, index, list, backdrop, title}

    // A press and a release on the same element activate it, by mouse, pen or finger; in an open
    // drop-down, so do Enter and space. The browser makes no mouse events of the press (a drop-down
    // item goes away under the finger: they would land on the canvas beneath as a click).
    const activate = (element, action) => {
        element.ondrelAction = action;
        let pointer = null;
        element.addEventListener("pointerdown", (e) => {
            e.preventDefault();
            if (e.button === 0) pointer = e.pointerId;
        });
        element.addEventListener("touchend", (e) => e.preventDefault(), {passive: false});
        element.addEventListener("pointerup", (e) => {
            if (e.pointerId !== pointer) return;
            pointer = null;
            if (element.contains(document.elementFromPoint(e.clientX, e.clientY))) action();
        });
        element.addEventListener("pointercancel", () => { pointer = null; });
    };
    const place = (id) => {
        const w = Module.ondrelWindows[id];
        const menus = document.getElementById("menus");
        const buttons = document.getElementById("window-buttons");
        return {menus: menus, buttons: buttons, canvas: w && w.canvas};
    };
    const close = () => {
        if (!open) return;
        open.list.remove();
        open.backdrop.remove();
        open.title.setAttribute("aria-expanded", "false");
        const was = open;
        open = null;
        return was;
    };
    const openMenu = (id, index, focusFirst) => {
        close();
        const bar = bars[id];
        const menu = bar && bar.description.menus[index];
        if (!menu) return;
        const title = bar.titles[index];
        const backdrop = document.createElement("div");
        backdrop.className = "ondrel-menu-backdrop";
        backdrop.addEventListener("pointerdown", (e) => { e.preventDefault(); close(); });
        backdrop.addEventListener("touchend", (e) => e.preventDefault(), {passive: false});
        const list = document.createElement("div");
        list.className = "ondrel-dropdown";
        list.setAttribute("role", "menu");
        list.setAttribute("aria-label", menu.title);
        for (const item of menu.items) {
            if (item.separator) {
                const line = document.createElement("div");
                line.className = "ondrel-separator";
                line.setAttribute("role", "separator");
                list.appendChild(line);
                continue;
            }
            const entry = document.createElement(item.heading ? "div" : "button");
            entry.className = item.heading ? "ondrel-menu-heading" : "ondrel-menu-item";
            if (!item.heading) {
                entry.type = "button";
                entry.setAttribute("role", item.checked ? "menuitemcheckbox" : "menuitem");
                if (item.checked) entry.setAttribute("aria-checked", "true");
                entry.disabled = !item.enabled;
                activate(entry, () => {
                    if (!item.enabled) return;
                    close();
                    queue.push([0, id, item.id]);
                });
            }
            const mark = document.createElement("span");
            mark.className = "ondrel-check";
            mark.textContent = item.checked ? "\u2713" : "";
            const text = document.createElement("span");
            text.className = "ondrel-text";
            text.textContent = item.text;
            const shortcut = document.createElement("span");
            shortcut.className = "ondrel-shortcut";
            shortcut.textContent = item.shortcut;
            entry.append(mark, text, shortcut);
            list.appendChild(entry);
        }
        document.body.append(backdrop, list);
        const r = title.getBoundingClientRect();
        const top = Math.round(r.bottom);
        list.style.top = top + "px";
        list.style.maxHeight = Math.max(window.innerHeight - top - 4, 48) + "px";
        const left = Math.max(0, Math.min(r.left, window.innerWidth - list.offsetWidth));
        list.style.left = left + "px";
        title.setAttribute("aria-expanded", "true");
        open = {id: id, index: index, list: list, backdrop: backdrop, title: title};
        if (focusFirst) {
            const first = list.querySelector("button:not([disabled])");
            if (first) first.focus();
        }
    };
    window.addEventListener("keydown", (e) => {
        if (!open) return;
        e.stopImmediatePropagation();
        const items = [...open.list.querySelectorAll("button:not([disabled])")];
        const at = items.indexOf(document.activeElement);
        const titles = bars[open.id].titles;
        if (e.key === "Escape") {
            const was = close();
            was.title.focus();
        } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
            const step = e.key === "ArrowDown" ? 1 : -1;
            if (items.length) items[(at + step + items.length + (at < 0 && step < 0 ? 1 : 0)) % items.length].focus();
        } else if (e.key === "ArrowLeft" || e.key === "ArrowRight") {
            const step = e.key === "ArrowRight" ? 1 : -1;
            openMenu(open.id, (open.index + step + titles.length) % titles.length, true);
        } else if ((e.key === "Enter" || e.key === " ") && document.activeElement && document.activeElement.ondrelAction) {
            document.activeElement.ondrelAction();
        } else if (e.key === "Tab") {
            return;
        }
        e.preventDefault();
    }, true);
    window.addEventListener("keyup", (e) => { if (open) e.stopImmediatePropagation(); }, true);
    window.addEventListener("resize", () => close());

    Module.ondrelControls = {
        // Elements are kept and changed in place where they stay, so that a press on one is not
        // lost when the window changes something else.
        show: (id, json) => {
            const description = JSON.parse(json);
            const where = place(id);
            let bar = bars[id];
            if (!bar) {
                bar = bars[id] = {element: document.createElement("div"), buttons: document.createElement("div"), titles: [],
                                  byHandle: new Map()};
                bar.element.className = "ondrel-menubar";
                bar.element.setAttribute("role", "menubar");
                bar.buttons.className = "ondrel-window-buttons";
                if (where.menus) where.menus.appendChild(bar.element);
                else if (where.canvas) where.canvas.before(bar.element);
                if (where.buttons) where.buttons.appendChild(bar.buttons);
                else if (where.canvas) where.canvas.after(bar.buttons);
            }
            const reopen = open && open.id === id ? open.index : -1;
            if (reopen >= 0) close();
            bar.description = description;
            const menus = description.menus;
            while (bar.titles.length > menus.length) bar.titles.pop().remove();
            while (bar.titles.length < menus.length) {
                const index = bar.titles.length;
                const title = document.createElement("button");
                title.type = "button";
                title.className = "ondrel-menu-title";
                activate(title, () => {
                    const menu = bar.description.menus[index];
                    if (!menu) return;
                    if (!menu.items) {
                        close();
                        queue.push([0, id, menu.id]);
                    } else if (open && open.id === id && open.index === index) {
                        close();
                    } else {
                        openMenu(id, index, false);
                    }
                });
                bar.element.appendChild(title);
                bar.titles.push(title);
            }
            menus.forEach((menu, index) => {
                const title = bar.titles[index];
                if (title.textContent !== menu.title) title.textContent = menu.title;
                title.disabled = !menu.enabled;
                if (menu.items) {
                    title.setAttribute("aria-haspopup", "menu");
                    if (!title.hasAttribute("aria-expanded")) title.setAttribute("aria-expanded", "false");
                    title.removeAttribute("role");
                } else {
                    title.removeAttribute("aria-haspopup");
                    title.removeAttribute("aria-expanded");
                    title.setAttribute("role", "menuitem");
                }
            });
            bar.element.hidden = menus.length === 0;
            const buttons = description.buttons.map((b) => {
                let button = bar.byHandle.get(b.handle);
                if (!button) {
                    button = document.createElement("button");
                    button.type = "button";
                    button.className = "ondrel-window-button";
                    activate(button, () => queue.push([1, b.handle]));
                    bar.byHandle.set(b.handle, button);
                }
                if (button.textContent !== b.text) button.textContent = b.text;
                if (b.pushed) button.setAttribute("aria-pressed", "true");
                else button.removeAttribute("aria-pressed");
                return button;
            });
            const keep = new Set(buttons);
            for (const handle of [...bar.byHandle.keys()]) {
                const button = bar.byHandle.get(handle);
                if (keep.has(button)) continue;
                button.remove();
                bar.byHandle.delete(handle);
            }
            // In order, moving only what is out of place.
            buttons.forEach((button, i) => {
                if (bar.buttons.children[i] !== button) bar.buttons.insertBefore(button, bar.buttons.children[i] || null);
            });
            bar.buttons.hidden = buttons.length === 0;
            if (reopen >= 0) openMenu(id, reopen, false);
        },
        remove: (id) => {
            const bar = bars[id];
            if (!bar) return;
            if (open && open.id === id) close();
            bar.element.remove();
            bar.buttons.remove();
            delete bars[id];
        },
    };
    // The room follows the screen element's size, which the controls and the viewport change.
    const screen = document.getElementById("screen");
    if (screen && window.ResizeObserver) new ResizeObserver(() => { Module.ondrelRoomChanged = true; }).observe(screen);
});

EM_JS(void, JsShowControls, (int id, const char* description), {
    Module.ondrelControls.show(id, UTF8ToString(description));
});

// The oldest pick or click on the controls not yet taken: false when there is none. `kind` 0 is
// a menu item (`a` the window's number, `b` the item), 1 a push button (`a` its handle).
EM_JS(bool, JsTakeControlInput, (int* kind, int* a, int* b), {
    const queue = Module.ondrelControlInput;
    if (!queue || queue.length === 0) return false;
    const event = queue.shift();
    HEAP32[kind >> 2] = event[0];
    HEAP32[a >> 2] = event[1];
    HEAP32[b >> 2] = event.length > 2 ? event[2] : 0;
    return true;
});

// Resolves at the display's next refresh with its time stamp (milliseconds).
EM_ASYNC_JS(double, JsNextRefresh, (), {
    return await new Promise((resolve) => requestAnimationFrame(resolve));
});

// Lets the browser run what is pending (input, painting, the page's timers) and comes back right
// after it. A message comes back ahead of timers already due, so the way back is a timer set from
// the message: after them, and, as it is not set from a timer, never held back by the browser's
// minimum delay for timers set from timers.
EM_ASYNC_JS(void, JsYield, (), {
    if (!Module.ondrelYield) {
        const channel = new MessageChannel();
        let resume = null;
        channel.port1.onmessage = () => setTimeout(resume, 0);
        Module.ondrelYield = () => new Promise((resolve) => {
            resume = resolve;
            channel.port2.postMessage(0);
        });
    }
    await Module.ondrelYield();
});

// When the program's main returns after it has yielded, it returns into the browser's event loop
// rather than to the runtime that called it: end the runtime then, as a return from main would,
// so that the page hears of it (Module.onExit).
EM_JS(void, JsEndRuntimeWithProgram, (), {
    Asyncify.whenDone().then((code) => callUserCallback(() => _exit(code)));
});

EM_JS(bool, JsFingerIsRightButton, (), {
    return Module.ondrelTouchButton === 2;
});

EM_JS(void, JsAlert, (const char* text, const char* caption), {
    const c = UTF8ToString(caption);
    const t = UTF8ToString(text);
    alert(c ? c + "\n\n" + t : t);
});

EM_JS(void, JsViewport, (int* width, int* height), {
    HEAP32[width >> 2] = window.innerWidth;
    HEAP32[height >> 2] = window.innerHeight;
});

namespace {

struct Shown {
    int id = 0;
    int width = 0;  // the size of the view the program shows
    int height = 0;
    viewscale::Fit fit;  // the size the canvas is shown at, device pixels
    std::string controls;  // what the page was last told of the window's controls
    std::vector<uint8_t> rgba;
};

// Input as the browser delivered it, kept until the program pumps, so that the window manager
// sees input only where a native driver would deliver it.
struct Event {
    enum Kind { Move, Button, Key, Activate, Wheel } kind;
    HWND hwnd;
    int x, y;  // client pixels, or the virtual key; for the wheel, its turn is in `turn`
    bool down;
    bool repeat;
    wm::MouseButton button;
    int turn = 0;
};

struct State {
    bool initialised = false;
    bool modeSet = false;
    int modeWidth = 0;
    int modeHeight = 0;
    int nextId = 1;
    std::map<HWND, Shown> windows;
    std::vector<Event> events;
    HWND pressedIn[2] = {nullptr, nullptr};  // where each mouse button went down
    int finger = -1;      // the touch that is the mouse, by its identifier, while it is down
    HWND fingerIn = nullptr;  // the window it went down in
    int fingerButton = 0;     // the button it pressed there (0 left, 1 right)
    bool keysDown[256] = {};
    double wheel = 0;  // the turn not yet a whole notch, in WHEEL_DELTA units
    double lastYield = 0;
    double lastRefresh = 0;     // time stamp of the refresh the last shown frame waited for
    double refreshMs = 1000.0 / 60;  // the shortest refresh interval seen
};

State& Web() {
    static State state;
    return state;
}

// The view pixel of window `shown` under a point of the viewport; false when it lies outside the
// canvas, where (x, y) still say where it is, as negative or too large values.
bool ViewPoint(const Shown& shown, double clientX, double clientY, int* x, int* y) {
    double dx = 0;
    double dy = 0;
    if (!JsCanvasPoint(shown.id, clientX, clientY, &dx, &dy)) return false;
    *x = viewscale::PointerPixel(dx, shown.width, shown.fit.width);
    *y = viewscale::PointerPixel(dy, shown.height, shown.fit.height);
    return *x >= 0 && *y >= 0 && *x < shown.width && *y < shown.height;
}

// The window whose canvas holds the viewport point, with the view pixel there.
HWND WindowAt(double clientX, double clientY, int* x, int* y) {
    for (auto& [hwnd, shown] : Web().windows)
        if (ViewPoint(shown, clientX, clientY, x, y)) return hwnd;
    return nullptr;
}

int ButtonIndex(unsigned short button) { return button == 0 ? 0 : button == 2 ? 1 : -1; }

wm::MouseButton ButtonOf(int index) { return index == 0 ? wm::MouseButton::Left : wm::MouseButton::Right; }

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* e, void*) {
    int x = 0;
    int y = 0;
    HWND hwnd = WindowAt(static_cast<double>(e->clientX), static_cast<double>(e->clientY), &x, &y);
    if (hwnd) Web().events.push_back({Event::Move, hwnd, x, y, false, false, wm::MouseButton::Left});
    return false;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent* e, void*) {
    int b = ButtonIndex(e->button);
    int x = 0;
    int y = 0;
    HWND hwnd = WindowAt(static_cast<double>(e->clientX), static_cast<double>(e->clientY), &x, &y);
    if (b < 0 || !hwnd) return false;
    Web().pressedIn[b] = hwnd;
    Web().events.push_back({Event::Button, hwnd, x, y, true, false, ButtonOf(b)});
    return true;  // no text selection, no focus change
}

// A button goes up wherever the pointer is; the window it went down in hears of it.
EM_BOOL OnMouseUp(int, const EmscriptenMouseEvent* e, void*) {
    int b = ButtonIndex(e->button);
    if (b < 0 || !Web().pressedIn[b]) return false;
    HWND hwnd = Web().pressedIn[b];
    Web().pressedIn[b] = nullptr;
    auto it = Web().windows.find(hwnd);
    int x = -1;
    int y = -1;
    if (it != Web().windows.end()) ViewPoint(it->second, static_cast<double>(e->clientX), static_cast<double>(e->clientY), &x, &y);
    Web().events.push_back({Event::Button, hwnd, x, y, false, false, ButtonOf(b)});
    return false;
}

// The wheel over a canvas: its window hears of each whole notch, WHEEL_DELTA a notch, positive away
// from the user (the page's deltaY is positive towards the user). A notch is 100 pixels, 3 lines
// or a page, as Chromium counts it; smaller turns add up. The page does not scroll under it.
EM_BOOL OnWheel(int, const EmscriptenWheelEvent* e, void* window) {
    HWND hwnd = static_cast<HWND>(window);
    auto it = Web().windows.find(hwnd);
    int x = 0;
    int y = 0;
    if (it == Web().windows.end() ||
        !ViewPoint(it->second, static_cast<double>(e->mouse.clientX), static_cast<double>(e->mouse.clientY), &x, &y))
        return true;
    const double perNotch = e->deltaMode == DOM_DELTA_PIXEL ? 100 : e->deltaMode == DOM_DELTA_LINE ? 3 : 1;
    State& s = Web();
    s.wheel -= e->deltaY / perNotch * WHEEL_DELTA;
    const int notches = static_cast<int>(s.wheel / WHEEL_DELTA);
    if (notches != 0) {
        s.wheel -= notches * WHEEL_DELTA;
        Event wheel{Event::Wheel, hwnd, x, y, false, false, wm::MouseButton::Left};
        wheel.turn = notches * WHEEL_DELTA;
        s.events.push_back(wheel);
    }
    return true;
}

// The changed touch point of `e` that is `identifier`, or the first changed one for -1.
const EmscriptenTouchPoint* ChangedTouch(const EmscriptenTouchEvent& e, int identifier) {
    int count = std::min(e.numTouches, static_cast<int>(sizeof e.touches / sizeof e.touches[0]));
    for (int i = 0; i < count; ++i)
        if (e.touches[i].isChanged && (identifier < 0 || e.touches[i].identifier == identifier)) return &e.touches[i];
    return nullptr;
}

// The finger's button goes up, its window told of it at (x, y) (outside it for -1, -1).
void LiftFinger(int x, int y) {
    State& s = Web();
    if (s.finger < 0) return;
    s.events.push_back({Event::Button, s.fingerIn, x, y, false, false, ButtonOf(s.fingerButton)});
    s.finger = -1;
    s.fingerIn = nullptr;
}

// One finger is the mouse, with its button pressed in the window it went down in: a move while
// it is over that window moves the pointer, and lifting it (or the browser taking it back) lets
// the button go, wherever it is. The canvas cancels every touch on it, so the browser makes no
// mouse events of its own from it (which would deliver a tap twice), nor scrolls or zooms.
EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* e, void* window) {
    State& s = Web();
    HWND hwnd = static_cast<HWND>(window);
    auto it = s.windows.find(hwnd);
    if (it == s.windows.end()) return true;
    const EmscriptenTouchPoint* touch = nullptr;
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
        if (s.finger >= 0 || !(touch = ChangedTouch(*e, -1))) return true;
    } else if (s.finger < 0 || s.fingerIn != hwnd || !(touch = ChangedTouch(*e, s.finger))) {
        return true;
    }
    int x = -1;
    int y = -1;
    bool inside = ViewPoint(it->second, static_cast<double>(touch->clientX), static_cast<double>(touch->clientY), &x, &y);
    switch (type) {
        case EMSCRIPTEN_EVENT_TOUCHSTART:
            if (!inside) return true;
            s.finger = touch->identifier;
            s.fingerIn = hwnd;
            s.fingerButton = JsFingerIsRightButton() ? 1 : 0;
            s.events.push_back({Event::Move, hwnd, x, y, false, false, wm::MouseButton::Left});
            s.events.push_back({Event::Button, hwnd, x, y, true, false, ButtonOf(s.fingerButton)});
            break;
        case EMSCRIPTEN_EVENT_TOUCHMOVE:
            if (inside) s.events.push_back({Event::Move, hwnd, x, y, false, false, wm::MouseButton::Left});
            break;
        default:  // lifted, or cancelled
            LiftFinger(x, y);
            break;
    }
    return true;
}

// Touches and the wheel are heard on each canvas itself: only there may the browser's own
// handling (scrolling, zooming) be cancelled (listeners on the whole document are passive for
// them).
void ListenOnCanvas(HWND hwnd, int id, bool listen) {
    std::string canvas = "#ondrel-window-" + std::to_string(id);
    emscripten_set_wheel_callback(canvas.c_str(), hwnd, true, listen ? OnWheel : nullptr);
    auto handler = listen ? OnTouch : nullptr;
    emscripten_set_touchstart_callback(canvas.c_str(), hwnd, true, handler);
    emscripten_set_touchmove_callback(canvas.c_str(), hwnd, true, handler);
    emscripten_set_touchend_callback(canvas.c_str(), hwnd, true, handler);
    emscripten_set_touchcancel_callback(canvas.c_str(), hwnd, true, handler);
}

bool Is(const char* text, const char* expected) { return std::strcmp(text, expected) == 0; }

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// KeyboardEvent.code names the key's place on a US keyboard; letters follow the layout (`key`),
// as Win32's virtual keys do.
int VirtualKey(const EmscriptenKeyboardEvent& e) {
    const char* code = e.code;
    const char* key = e.key;
    if (key[0] && !key[1] && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= 'A' && key[0] <= 'Z')))
        return key[0] & ~0x20;
    if (StartsWith(code, "Key") && code[3] >= 'A' && code[3] <= 'Z' && !code[4]) return code[3];
    if (StartsWith(code, "Digit") && code[5] >= '0' && code[5] <= '9' && !code[6]) return code[5];
    if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
        int n = code[1] - '0';
        if (code[2] >= '0' && code[2] <= '9' && !code[3]) n = n * 10 + (code[2] - '0');
        else if (code[2]) n = 0;
        if (n >= 1 && n <= 12) return VK_F1 + n - 1;
    }
    // Keypad digits without Num Lock are the keys printed beside them: `key` says which.
    if (StartsWith(code, "Numpad") && code[6] >= '0' && code[6] <= '9' && !code[7] && key[0] >= '0' && key[0] <= '9')
        return VK_NUMPAD0 + (code[6] - '0');
    static const struct {
        const char* name;
        int vk;
    } named[] = {
        {"Escape", VK_ESCAPE},      {"Space", VK_SPACE},        {"Enter", VK_RETURN},         {"NumpadEnter", VK_RETURN},
        {"Backspace", VK_BACK},     {"Tab", VK_TAB},            {"ArrowLeft", VK_LEFT},       {"ArrowRight", VK_RIGHT},
        {"ArrowUp", VK_UP},         {"ArrowDown", VK_DOWN},     {"Insert", VK_INSERT},        {"Delete", VK_DELETE},
        {"Home", VK_HOME},          {"End", VK_END},            {"PageUp", VK_PRIOR},         {"PageDown", VK_NEXT},
        {"ShiftLeft", VK_SHIFT},    {"ShiftRight", VK_SHIFT},   {"ControlLeft", VK_CONTROL},  {"ControlRight", VK_CONTROL},
        {"AltLeft", VK_MENU},       {"AltRight", VK_MENU},      {"NumpadAdd", VK_ADD},        {"NumpadSubtract", VK_SUBTRACT},
        {"NumpadMultiply", VK_MULTIPLY}, {"NumpadDivide", VK_DIVIDE}, {"NumpadDecimal", VK_DECIMAL},
        {"Semicolon", VK_OEM_1},    {"Equal", VK_OEM_PLUS},     {"Comma", VK_OEM_COMMA},      {"Minus", VK_OEM_MINUS},
        {"Period", VK_OEM_PERIOD},  {"Slash", VK_OEM_2},        {"Backquote", VK_OEM_3},      {"BracketLeft", VK_OEM_4},
        {"Backslash", VK_OEM_5},    {"BracketRight", VK_OEM_6}, {"Quote", VK_OEM_7},
    };
    for (const auto& n : named)
        if (Is(code, n.name)) return n.vk;
    // Keypad keys without Num Lock, and keyboards that report no code.
    static const struct {
        const char* name;
        int vk;
    } keys[] = {
        {"ArrowLeft", VK_LEFT}, {"ArrowRight", VK_RIGHT}, {"ArrowUp", VK_UP},   {"ArrowDown", VK_DOWN},
        {"Home", VK_HOME},      {"End", VK_END},          {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT},
        {"Insert", VK_INSERT},  {"Delete", VK_DELETE},    {"Escape", VK_ESCAPE}, {" ", VK_SPACE},
        {"Enter", VK_RETURN},
    };
    for (const auto& k : keys)
        if (Is(key, k.name)) return k.vk;
    return 0;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    int vk = VirtualKey(*e);
    if (vk == 0) return false;
    bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    Web().keysDown[vk] = down;
    Web().events.push_back({Event::Key, nullptr, vk, 0, down, down && e->repeat, wm::MouseButton::Left});
    // The page keeps its own shortcuts (reload, full screen, developer tools, Tab to move on);
    // every other key is the program's, so space does not scroll the page.
    bool browsers = e->ctrlKey || e->altKey || e->metaKey || vk == VK_TAB || (vk >= VK_F1 && vk <= VK_F1 + 11);
    return !browsers;
}

// Keys and buttons held while the page loses the focus come up where the page cannot hear them:
// they go up now, as they will have by the time the user is back.
EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*) {
    State& s = Web();
    for (int vk = 0; vk < 256; ++vk)
        if (s.keysDown[vk]) {
            s.keysDown[vk] = false;
            s.events.push_back({Event::Key, nullptr, vk, 0, false, false, wm::MouseButton::Left});
        }
    for (int b = 0; b < 2; ++b)
        if (s.pressedIn[b]) {
            s.events.push_back({Event::Button, s.pressedIn[b], -1, -1, false, false, ButtonOf(b)});
            s.pressedIn[b] = nullptr;
        }
    LiftFinger(-1, -1);
    s.events.push_back({Event::Activate, nullptr, 0, 0, false, false, wm::MouseButton::Left});
    return false;
}

EM_BOOL OnFocus(int, const EmscriptenFocusEvent*, void*) {
    Web().events.push_back({Event::Activate, nullptr, 0, 0, true, false, wm::MouseButton::Left});
    return false;
}

// Each canvas fitted to the room the page gives it, by the rule every display follows.
void Fit(Shown& shown) {
    int roomWidth = 0;
    int roomHeight = 0;
    double ratio = 1;
    JsRoom(&roomWidth, &roomHeight, &ratio);
    shown.fit = viewscale::Choose(std::max(shown.width, 1), std::max(shown.height, 1), roomWidth, roomHeight, ratio);
    JsSizeCanvas(shown.id, shown.width, shown.height, shown.fit.width, shown.fit.height);
}

void Rescale() {
    for (auto& [hwnd, shown] : Web().windows) Fit(shown);
}

void RescaleIfRoomChanged() {
    if (JsRoomChanged()) Rescale();
}

// Text as a JSON string.
void AppendJson(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// A menu item as the page shows it: its text without the access-key marks ('&', "&&" an
// ampersand), the shortcut after a tab apart, and what GetMenuItemInfoA says of it.
struct Item {
    std::string text;
    std::string shortcut;
    UINT id = 0;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
    bool textless = false;  // a separator, a bitmap or drawn by the program: no title of a bar
    HMENU subMenu = nullptr;
};

bool ReadItem(HMENU menu, int position, Item* item) {
    char buffer[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = kMenuItemInfoSizeWithoutBitmap;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = sizeof buffer;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return false;
    *item = Item{};
    const char* tab = std::strchr(buffer, '\t');
    const char* end = tab ? tab : buffer + std::strlen(buffer);
    for (const char* c = buffer; c < end; ++c) {
        if (*c == '&' && c + 1 < end) ++c;
        else if (*c == '&') continue;
        item->text += *c;
    }
    if (tab) item->shortcut = tab + 1;
    item->id = info.wID;
    item->enabled = (info.fState & (MF_GRAYED | MF_DISABLED)) == 0;
    item->checked = (info.fState & MF_CHECKED) != 0;
    item->separator = (info.fType & MFT_SEPARATOR) != 0;
    item->textless = (info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) != 0;
    item->subMenu = info.hSubMenu;
    return true;
}

const char* Flag(bool on) { return on ? "true" : "false"; }

// The items of a drop-down, each as the page shows it; a drop-down inside it as a heading above
// its own items.
void AppendItems(std::string& out, HMENU menu, int depth, bool& first) {
    const int count = GetMenuItemCount(menu);
    Item item;
    for (int i = 0; i < count; ++i) {
        if (!ReadItem(menu, i, &item)) continue;
        out += first ? "{" : ",{";
        first = false;
        out += "\"text\":";
        AppendJson(out, std::string(static_cast<size_t>(depth) * 2, ' ') + item.text);
        out += ",\"shortcut\":";
        AppendJson(out, item.shortcut);
        out += ",\"id\":" + std::to_string(item.id);
        out += std::string(",\"enabled\":") + Flag(item.enabled) + ",\"checked\":" + Flag(item.checked) +
               ",\"separator\":" + Flag(item.separator) + ",\"heading\":" + Flag(item.subMenu != nullptr) + "}";
        if (item.subMenu && depth < 4) AppendItems(out, item.subMenu, depth + 1, first);
    }
}

// What the page shows of a window's controls: its menu bar and its push buttons.
std::string ControlsOf(HWND hwnd) {
    std::string out = "{\"menus\":[";
    if (HMENU bar = GetMenu(hwnd)) {
        const int count = GetMenuItemCount(bar);
        bool firstTitle = true;
        Item title;
        for (int i = 0; i < count; ++i) {
            if (!ReadItem(bar, i, &title) || title.textless) continue;
            out += firstTitle ? "{" : ",{";
            firstTitle = false;
            out += "\"title\":";
            AppendJson(out, title.text);
            out += std::string(",\"enabled\":") + Flag(title.enabled) + ",\"id\":" + std::to_string(title.id);
            if (title.subMenu) {
                out += ",\"items\":[";
                bool firstItem = true;
                AppendItems(out, title.subMenu, 0, firstItem);
                out += "]";
            }
            out += "}";
        }
    }
    out += "],\"buttons\":[";
    bool firstButton = true;
    for (const wm::PushButton& b : wm::PushButtonsOf(hwnd)) {
        out += firstButton ? "{" : ",{";
        firstButton = false;
        out += "\"handle\":" + std::to_string(reinterpret_cast<uintptr_t>(b.hwnd)) + ",\"text\":";
        AppendJson(out, b.caption);
        out += std::string(",\"pushed\":") + Flag(b.pushed) + "}";
    }
    out += "]}";
    return out;
}

// The page shows the window's controls as they are now.
void SyncControls(HWND hwnd, Shown& shown) {
    std::string now = ControlsOf(hwnd);
    if (now == shown.controls) return;
    shown.controls = std::move(now);
    JsShowControls(shown.id, shown.controls.c_str());
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
    Rescale();
    return false;
}

void Init() {
    State& s = Web();
    if (s.initialised) return;
    s.initialised = true;
    s.lastYield = emscripten_get_now();
    JsEndRuntimeWithProgram();
    // Before the keyboard's listeners: an open drop-down takes the keys first.
    JsInstallControls();
    const char* document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_mousemove_callback(document, nullptr, true, OnMouseMove);
    emscripten_set_mousedown_callback(document, nullptr, true, OnMouseDown);
    emscripten_set_mouseup_callback(document, nullptr, true, OnMouseUp);
    emscripten_set_keydown_callback(window, nullptr, true, OnKey);
    emscripten_set_keyup_callback(window, nullptr, true, OnKey);
    emscripten_set_blur_callback(window, nullptr, true, OnBlur);
    emscripten_set_focus_callback(window, nullptr, true, OnFocus);
    emscripten_set_resize_callback(window, nullptr, true, OnResize);
}

void Yielded() { Web().lastYield = emscripten_get_now(); }

// Whatever the program does between two shown frames, the browser gets a turn at least once a
// refresh, so that the page keeps taking input and painting.
void YieldIfDue() {
    Init();
    if (emscripten_get_now() - Web().lastYield < Web().refreshMs) return;
    JsYield();
    Yielded();
}

// Picks and clicks on the page's controls, as the window manager takes them.
void DeliverControlInput() {
    int kind = 0;
    int a = 0;
    int b = 0;
    while (JsTakeControlInput(&kind, &a, &b)) {
        if (kind == 1) {
            wm::InputButtonClick(reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(a))));
            continue;
        }
        for (auto& [hwnd, shown] : Web().windows)
            if (shown.id == a) {
                wm::InputMenuCommand(hwnd, static_cast<UINT>(b));
                break;
            }
    }
}

void Deliver(const Event& e) {
    switch (e.kind) {
        case Event::Move:
            if (Web().windows.count(e.hwnd)) wm::InputMouseMove(e.hwnd, e.x, e.y);
            break;
        case Event::Button:
            // A window gone since still leaves the button's key state to follow it.
            wm::InputMouseButton(Web().windows.count(e.hwnd) ? e.hwnd : nullptr, e.button, e.down, e.x, e.y);
            break;
        case Event::Key:
            wm::InputKey(e.x, e.down, e.repeat);
            break;
        case Event::Wheel:
            if (Web().windows.count(e.hwnd)) wm::InputMouseWheel(e.hwnd, e.turn, e.x, e.y);
            break;
        case Event::Activate:
            wm::InputActivateApp(e.down);
            break;
    }
}

}  // namespace

namespace display {

void ScreenSize(int* width, int* height) {
    State& s = Web();
    if (s.modeSet) {
        *width = s.modeWidth;
        *height = s.modeHeight;
        return;
    }
    JsViewport(width, height);
}

// The page keeps its size: a window in another mode is shown scaled on it instead, so the program
// sees the mode it asked for.
bool SetMode(int width, int height, int) {
    State& s = Web();
    int pageWidth = 0;
    int pageHeight = 0;
    s.modeSet = false;
    ScreenSize(&pageWidth, &pageHeight);
    s.modeSet = !(width == pageWidth && height == pageHeight);
    s.modeWidth = width;
    s.modeHeight = height;
    return true;
}

void CreateTopLevel(HWND hwnd, const char* caption, int clientWidth, int clientHeight, bool) {
    Init();
    State& s = Web();
    if (s.windows.count(hwnd)) DestroyTopLevel(hwnd);
    Shown shown;
    shown.id = s.nextId++;
    shown.width = clientWidth;
    shown.height = clientHeight;
    JsCreateCanvas(shown.id, caption ? caption : "", clientWidth, clientHeight);
    ListenOnCanvas(hwnd, shown.id, true);
    Shown& made = s.windows[hwnd] = std::move(shown);
    SyncControls(hwnd, made);
    Fit(made);
}

void ResizeTopLevel(HWND hwnd, int clientWidth, int clientHeight) {
    auto it = Web().windows.find(hwnd);
    if (it == Web().windows.end()) return;
    it->second.width = clientWidth;
    it->second.height = clientHeight;
    Fit(it->second);
}

void DestroyTopLevel(HWND hwnd) {
    State& s = Web();
    auto it = s.windows.find(hwnd);
    if (it == s.windows.end()) return;
    // Its canvas goes, and the end of a touch on it with it: the button goes up now.
    if (s.fingerIn == hwnd) LiftFinger(-1, -1);
    ListenOnCanvas(hwnd, it->second.id, false);
    JsDestroyCanvas(it->second.id);
    s.windows.erase(it);
}

// The frame goes onto the canvas, then the program waits for the display's next refresh, which
// paints it: frames are never made faster than they can be seen.
void Show(HWND hwnd, const uint32_t* pixels, int width, int height, bool changed) {
    State& s = Web();
    auto it = s.windows.find(hwnd);
    if (it == s.windows.end() || width <= 0 || height <= 0) return;
    Shown& shown = it->second;
    SyncControls(hwnd, shown);
    RescaleIfRoomChanged();
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    // Unchanged pixels are converted already, unless the canvas is new. They go onto the canvas
    // all the same: the page counts the frames shown.
    if (changed || shown.rgba.size() != count * 4) {
        shown.rgba.resize(count * 4);
        uint32_t* out = reinterpret_cast<uint32_t*>(shown.rgba.data());
        // 0x00RRGGBB to the bytes R, G, B, A (little-endian 0xAABBGGRR), opaque.
        for (size_t i = 0; i < count; ++i) {
            uint32_t p = pixels[i];
            out[i] = 0xFF000000u | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
        }
    }
    JsPutPixels(shown.id, shown.rgba.data(), width, height);
    double refresh = JsNextRefresh();
    double interval = refresh - s.lastRefresh;
    if (s.lastRefresh > 0 && interval >= 4 && interval < s.refreshMs) s.refreshMs = interval;
    s.lastRefresh = refresh;
    Yielded();
}

void Pump(bool) {
    YieldIfDue();
    RescaleIfRoomChanged();
    DeliverControlInput();
    State& s = Web();
    if (s.events.empty()) return;
    // Delivering may run no program code, but the list is taken first all the same.
    std::vector<Event> events;
    events.swap(s.events);
    for (const Event& e : events) Deliver(e);
}

void IdleTurn() { YieldIfDue(); }

// Nothing blocks in a page: wait for the next refresh, by which input may have come.
bool WaitForInput() {
    Init();
    if (!Web().events.empty()) return true;
    for (auto& [hwnd, shown] : Web().windows) SyncControls(hwnd, shown);
    JsNextRefresh();
    Yielded();
    return true;
}

// The page's clock: milliseconds since it began to load, as GetTickCount counts from boot.
uint32_t Ticks() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

void Sleep(uint32_t milliseconds) {
    Init();
    emscripten_sleep(milliseconds);
    Yielded();
}

void Beep(uint32_t, uint32_t) {}

int MessageBox(const char* text, const char* caption, unsigned) {
    JsAlert(text, caption);
    return IDOK;
}

}  // namespace display
