// The headless display driver.
#include <map>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

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
};

State& Driver() {
    static State state;
    return state;
}

}  // namespace

void Reset() {
    wm::ResetWindowManager();
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
