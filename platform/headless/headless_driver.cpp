// The headless display driver.
#include <map>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "platform/view_scale.h"

namespace headless {
namespace {

// The virtual system has been up for a while when a run starts, as a real one has: a tick count
// of 0 is never seen in the first frames.
constexpr uint32_t kStartClock = 10000;

struct State {
    int screenWidth = 1024;
    int screenHeight = 768;
    uint32_t clock = kStartClock;
    uint32_t clockStep = 16;
    int idleTurns = 0;
    int hookCalledFor = 0;  // the turn the before-idle hook last ran for
    std::function<void(int)> beforeIdle;
    std::function<void(HWND, const uint32_t*, int, int)> onShow;
    std::vector<HWND> topLevels;
    std::map<HWND, int> shows;
    std::vector<Mode> modes;
    std::vector<Box> boxes;
    int beeps = 0;
    int roomWidth = 0;  // the room views are shown in; 0: the screen size
    int roomHeight = 0;
    double devicePixelsPerUnit = 1;
};

State& Driver() {
    static State state;
    return state;
}

}  // namespace

void Reset() {
    wm::ResetWindowManager();
    wm::PresentControlsInDriver(false);
    Driver() = State{};
}

void SetScreenSize(int width, int height) {
    Driver().screenWidth = width;
    Driver().screenHeight = height;
}

void MoveMouse(HWND hwnd, int x, int y) { wm::InputMouseMove(hwnd, x, y); }
void PressLeft(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Left, true, x, y); }
void ReleaseLeft(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Left, false, x, y); }
void PressRight(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Right, true, x, y); }
void ReleaseRight(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Right, false, x, y); }
void TurnWheel(HWND hwnd, int delta, int x, int y) { wm::InputMouseWheel(hwnd, delta, x, y); }
void KeyDown(int virtualKey) { wm::InputKey(virtualKey, true, false); }
void KeyUp(int virtualKey) { wm::InputKey(virtualKey, false, false); }
void TapKey(int virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}
void ActivateApp(bool active) { wm::InputActivateApp(active); }
void CloseWindow(HWND hwnd) { wm::InputClose(hwnd); }

void ShowOnScreen(int roomWidth, int roomHeight, double devicePixelsPerUnit) {
    Driver().roomWidth = roomWidth;
    Driver().roomHeight = roomHeight;
    Driver().devicePixelsPerUnit = devicePixelsPerUnit;
}

void PresentControls(bool on) { wm::PresentControlsInDriver(on); }
void PickMenuItem(HWND hwnd, UINT id) { wm::InputMenuCommand(hwnd, id); }
void ClickPushButton(HWND button) { wm::InputButtonClick(button); }

std::vector<ButtonShown> PushButtons(HWND hwnd) {
    std::vector<ButtonShown> shown;
    for (const wm::PushButton& b : wm::PushButtonsOf(hwnd)) shown.push_back({b.hwnd, b.caption, b.pushed});
    return shown;
}

uint32_t Now() { return Driver().clock; }
void AdvanceClock(uint32_t milliseconds) { Driver().clock += milliseconds; }
void SetClockStep(uint32_t millisecondsPerIdleTurn) { Driver().clockStep = millisecondsPerIdleTurn; }
int IdleTurns() { return Driver().idleTurns; }
void SetBeforeIdleHook(std::function<void(int)> hook) { Driver().beforeIdle = std::move(hook); }
void SetShowHook(std::function<void(HWND, const uint32_t*, int, int)> hook) { Driver().onShow = std::move(hook); }
std::vector<HWND> TopLevelWindows() { return Driver().topLevels; }

namespace {
Image Copy(const uint32_t* pixels, int w, int h) {
    Image image;
    if (!pixels) return image;
    image.width = w;
    image.height = h;
    image.pixels.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h));
    return image;
}
}  // namespace

Image ReadClient(HWND hwnd) {
    int w = 0;
    int h = 0;
    const uint32_t* pixels = wm::ClientPixels(hwnd, &w, &h);
    return Copy(pixels, w, h);
}

Image ReadWindow(HWND hwnd) {
    int w = 0;
    int h = 0;
    const uint32_t* pixels = wm::ViewPixels(hwnd, &w, &h);
    return Copy(pixels, w, h);
}

namespace {

// The view of a top-level window and the size it is shown at on the screen.
struct OnScreen {
    const uint32_t* view = nullptr;
    int width = 0;
    int height = 0;
    viewscale::Fit fit;
};

OnScreen Fitted(HWND hwnd) {
    OnScreen s;
    s.view = wm::ViewPixels(hwnd, &s.width, &s.height);
    if (!s.view) return s;
    const State& d = Driver();
    s.fit = viewscale::Choose(s.width, s.height, d.roomWidth > 0 ? d.roomWidth : d.screenWidth,
                              d.roomHeight > 0 ? d.roomHeight : d.screenHeight, d.devicePixelsPerUnit);
    return s;
}

// A pointer on the screen, as a point of the view.
void ToView(HWND hwnd, double x, double y, int* viewX, int* viewY) {
    const OnScreen s = Fitted(hwnd);
    *viewX = viewscale::PointerPixel(x, s.width, s.fit.width);
    *viewY = viewscale::PointerPixel(y, s.height, s.fit.height);
}

}  // namespace

Image ReadScreen(HWND hwnd) {
    const OnScreen s = Fitted(hwnd);
    Image image;
    if (!s.view || s.fit.width <= 0 || s.fit.height <= 0) return image;
    image.width = s.fit.width;
    image.height = s.fit.height;
    image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    std::vector<int> columns(static_cast<size_t>(image.width));
    for (int i = 0; i < image.width; ++i) columns[static_cast<size_t>(i)] = viewscale::ShownPixel(i, s.width, image.width);
    for (int j = 0; j < image.height; ++j) {
        const uint32_t* row = s.view + static_cast<size_t>(viewscale::ShownPixel(j, s.height, image.height)) * static_cast<size_t>(s.width);
        for (int i = 0; i < image.width; ++i)
            image.pixels[static_cast<size_t>(j) * static_cast<size_t>(image.width) + static_cast<size_t>(i)] = row[columns[static_cast<size_t>(i)]];
    }
    return image;
}

void MoveMouseOnScreen(HWND hwnd, double x, double y) {
    int vx = 0;
    int vy = 0;
    ToView(hwnd, x, y, &vx, &vy);
    MoveMouse(hwnd, vx, vy);
}

void PressLeftOnScreen(HWND hwnd, double x, double y) {
    int vx = 0;
    int vy = 0;
    ToView(hwnd, x, y, &vx, &vy);
    PressLeft(hwnd, vx, vy);
}

void ReleaseLeftOnScreen(HWND hwnd, double x, double y) {
    int vx = 0;
    int vy = 0;
    ToView(hwnd, x, y, &vx, &vy);
    ReleaseLeft(hwnd, vx, vy);
}

int ShowCount(HWND hwnd) {
    auto it = Driver().shows.find(hwnd);
    return it == Driver().shows.end() ? 0 : it->second;
}

std::vector<Mode> ModeSwitches() { return Driver().modes; }
std::vector<Box> MessageBoxes() { return Driver().boxes; }
int Beeps() { return Driver().beeps; }

}  // namespace headless

namespace display {

using headless::Driver;

void ScreenSize(int* width, int* height) {
    *width = Driver().screenWidth;
    *height = Driver().screenHeight;
}

bool SetMode(int width, int height, int bitsPerPixel) {
    Driver().modes.push_back({width, height, bitsPerPixel});
    Driver().screenWidth = width;
    Driver().screenHeight = height;
    return true;
}

void CreateTopLevel(HWND hwnd, const char*, int, int, bool) { Driver().topLevels.push_back(hwnd); }

void ResizeTopLevel(HWND, int, int) {}

void DestroyTopLevel(HWND hwnd) {
    auto& tops = Driver().topLevels;
    std::erase(tops, hwnd);
}

void Show(HWND hwnd, const uint32_t* pixels, int width, int height, bool) {
    ++Driver().shows[hwnd];
    if (Driver().onShow) Driver().onShow(hwnd, pixels, width, height);
}

void Pump(bool queueEmpty) {
    auto& s = Driver();
    int coming = s.idleTurns + 1;
    if (queueEmpty && s.beforeIdle && s.hookCalledFor < coming) {
        s.hookCalledFor = coming;
        s.beforeIdle(coming);
    }
}

void IdleTurn() {
    ++Driver().idleTurns;
    Driver().clock += Driver().clockStep;
}

bool WaitForInput() { return false; }

uint32_t Ticks() { return Driver().clock; }

void Sleep(uint32_t milliseconds) { Driver().clock += milliseconds; }

void Beep(uint32_t, uint32_t) { ++Driver().beeps; }

int MessageBox(const char* text, const char* caption, unsigned type) {
    Driver().boxes.push_back({text, caption, type});
    return IDOK;
}

}  // namespace display
