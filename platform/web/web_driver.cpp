// The web display driver: each top-level window is a <canvas> in the page, browser input turned
// into the messages and key state Win32 would produce. The program's own loop runs unchanged;
// with ASYNCIFY it gives the browser its turn where a native driver would wait for the display.
// A finger on a canvas is the mouse: the first one down presses a button, moves the pointer and
// lets the button go; fingers put down beside it are ignored.
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

// The runtime starts the process with a umask of 0777, under which a file the program makes with
// the usual permissions (a file replaced whole, written beside its target first) gets none at
// all and cannot be read back. A Linux login's usual mask instead.
[[maybe_unused]] const mode_t kInheritedMask = umask(022);

// The page side. Canvases live in the element with the id "screen" (the body when there is none),
// keyed by the window's number. Module.ondrelFrames counts the frames shown and
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
    delete Module.ondrelWindows[id];
});

// Canvas pixels match the window's client pixels; on the page each is `scale` device pixels wide.
EM_JS(void, JsSizeCanvas, (int id, int width, int height, int scale), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w) return;
    width = Math.max(width, 1);
    height = Math.max(height, 1);
    if (w.canvas.width != width) w.canvas.width = width;
    if (w.canvas.height != height) w.canvas.height = height;
    const ratio = window.devicePixelRatio || 1;
    w.canvas.style.width = (width * scale / ratio) + "px";
    w.canvas.style.height = (height * scale / ratio) + "px";
});

// Room for a window on the page, in device pixels: the viewport less whatever else the page shows
// beside the screen element, at each level of the page around it: the width of what stands in a
// row with it, the height of what stands above and below.
EM_JS(void, JsRoom, (int* width, int* height), {
    const ratio = window.devicePixelRatio || 1;
    let otherWidth = 0;
    let otherHeight = 0;
    for (let inner = document.getElementById("screen"); inner && inner.parentElement; inner = inner.parentElement) {
        const style = getComputedStyle(inner.parentElement);
        const row = style.display.endsWith("flex") && style.flexDirection.startsWith("row");
        for (const sibling of inner.parentElement.children) {
            if (sibling === inner || sibling.offsetParent === null) continue;
            if (row) otherWidth += sibling.offsetWidth + (parseFloat(style.columnGap) || 0);
            else otherHeight += sibling.offsetHeight + (parseFloat(style.rowGap) || 0);
        }
    }
    HEAP32[width >> 2] = Math.floor(Math.max(window.innerWidth - otherWidth, 0) * ratio);
    HEAP32[height >> 2] = Math.floor(Math.max(window.innerHeight - otherHeight, 0) * ratio);
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

// The client pixel under a point of the viewport (CSS pixels); false when the point is outside
// the window, where (x, y) still says where it is, as negative or too large values.
EM_JS(bool, JsClientPoint, (int id, double clientX, double clientY, int* x, int* y), {
    const w = Module.ondrelWindows && Module.ondrelWindows[id];
    if (!w) return false;
    const r = w.canvas.getBoundingClientRect();
    if (r.width <= 0 || r.height <= 0) return false;
    const px = Math.floor((clientX - r.left) * w.canvas.width / r.width);
    const py = Math.floor((clientY - r.top) * w.canvas.height / r.height);
    HEAP32[x >> 2] = px;
    HEAP32[y >> 2] = py;
    return px >= 0 && py >= 0 && px < w.canvas.width && py < w.canvas.height;
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
    int width = 0;  // client size the program sees
    int height = 0;
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

// The window whose canvas holds the viewport point, with the client pixel there.
HWND WindowAt(double clientX, double clientY, int* x, int* y) {
    for (auto& [hwnd, shown] : Web().windows)
        if (JsClientPoint(shown.id, clientX, clientY, x, y)) return hwnd;
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
    if (it != Web().windows.end()) JsClientPoint(it->second.id, static_cast<double>(e->clientX), static_cast<double>(e->clientY), &x, &y);
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
        !JsClientPoint(it->second.id, static_cast<double>(e->mouse.clientX), static_cast<double>(e->mouse.clientY), &x, &y))
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
    bool inside = JsClientPoint(it->second.id, static_cast<double>(touch->clientX), static_cast<double>(touch->clientY), &x, &y);
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

int ScaleFor(int clientWidth, int clientHeight) {
    int roomWidth = 0;
    int roomHeight = 0;
    JsRoom(&roomWidth, &roomHeight);
    if (clientWidth <= 0 || clientHeight <= 0) return 1;
    return std::max(1, std::min(roomWidth / clientWidth, roomHeight / clientHeight));
}

void Rescale() {
    for (auto& [hwnd, shown] : Web().windows) JsSizeCanvas(shown.id, shown.width, shown.height, ScaleFor(shown.width, shown.height));
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
    JsSizeCanvas(shown.id, clientWidth, clientHeight, ScaleFor(clientWidth, clientHeight));
    ListenOnCanvas(hwnd, shown.id, true);
    s.windows[hwnd] = std::move(shown);
}

void ResizeTopLevel(HWND hwnd, int clientWidth, int clientHeight) {
    auto it = Web().windows.find(hwnd);
    if (it == Web().windows.end()) return;
    it->second.width = clientWidth;
    it->second.height = clientHeight;
    JsSizeCanvas(it->second.id, clientWidth, clientHeight, ScaleFor(clientWidth, clientHeight));
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
