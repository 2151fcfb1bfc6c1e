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

State& S() {
    static State state;
    return state;
}

}  // namespace

void Reset() {
    wm::ResetWindowManager();
    S() = State{};
}

void SetScreenSize(int width, int height) {
    S().screenWidth = width;
    S().screenHeight = height;
}

void MoveMouse(HWND hwnd, int x, int y) { wm::InputMouseMove(hwnd, x, y); }
void PressLeft(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Left, true, x, y); }
void ReleaseLeft(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Left, false, x, y); }
void PressRight(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Right, true, x, y); }
void ReleaseRight(HWND hwnd, int x, int y) { wm::InputMouseButton(hwnd, wm::MouseButton::Right, false, x, y); }
void KeyDown(int virtualKey) { wm::InputKey(virtualKey, true, false); }
void KeyUp(int virtualKey) { wm::InputKey(virtualKey, false, false); }
void TapKey(int virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}
void ActivateApp(bool active) { wm::InputActivateApp(active); }
void CloseWindow(HWND hwnd) { wm::InputClose(hwnd); }

uint32_t Now() { return S().clock; }
void AdvanceClock(uint32_t milliseconds) { S().clock += milliseconds; }
void SetClockStep(uint32_t millisecondsPerIdleTurn) { S().clockStep = millisecondsPerIdleTurn; }
int IdleTurns() { return S().idleTurns; }
void SetBeforeIdleHook(std::function<void(int)> hook) { S().beforeIdle = std::move(hook); }
void SetShowHook(std::function<void(HWND, const uint32_t*, int, int)> hook) { S().onShow = std::move(hook); }
std::vector<HWND> TopLevelWindows() { return S().topLevels; }

Image ReadClient(HWND hwnd) {
    Image image;
    int w = 0;
    int h = 0;
    const uint32_t* pixels = wm::ClientPixels(hwnd, &w, &h);
    if (!pixels) return image;
    image.width = w;
    image.height = h;
    image.pixels.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h));
    return image;
}

int ShowCount(HWND hwnd) {
    auto it = S().shows.find(hwnd);
    return it == S().shows.end() ? 0 : it->second;
}

std::vector<Mode> ModeSwitches() { return S().modes; }
std::vector<Box> MessageBoxes() { return S().boxes; }
int Beeps() { return S().beeps; }

}  // namespace headless

namespace display {

using headless::S;

void ScreenSize(int* width, int* height) {
    *width = S().screenWidth;
    *height = S().screenHeight;
}

bool SetMode(int width, int height, int bitsPerPixel) {
    S().modes.push_back({width, height, bitsPerPixel});
    S().screenWidth = width;
    S().screenHeight = height;
    return true;
}

void CreateTopLevel(HWND hwnd, const char*, int, int, bool) { S().topLevels.push_back(hwnd); }

void ResizeTopLevel(HWND, int, int) {}

void DestroyTopLevel(HWND hwnd) {
    auto& tops = S().topLevels;
    std::erase(tops, hwnd);
}

void Show(HWND hwnd, const uint32_t* pixels, int width, int height, bool) {
    ++S().shows[hwnd];
    if (S().onShow) S().onShow(hwnd, pixels, width, height);
}

void Pump(bool queueEmpty) {
    auto& s = S();
    int coming = s.idleTurns + 1;
    if (queueEmpty && s.beforeIdle && s.hookCalledFor < coming) {
        s.hookCalledFor = coming;
        s.beforeIdle(coming);
    }
}

void IdleTurn() {
    ++S().idleTurns;
    S().clock += S().clockStep;
}

bool WaitForInput() { return false; }

uint32_t Ticks() { return S().clock; }

void Sleep(uint32_t milliseconds) { S().clock += milliseconds; }

void Beep(uint32_t, uint32_t) { ++S().beeps; }

int MessageBox(const char* text, const char* caption, unsigned type) {
    S().boxes.push_back({text, caption, type});
    return IDOK;
}

}  // namespace display
