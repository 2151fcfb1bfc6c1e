// Synthesised keys on the headless display driver.
#include "platform/headless.h"
#include "tests/support/synth_input.h"

namespace synth {

void KeyDown(int virtualKey) { headless::KeyDown(virtualKey); }
void KeyUp(int virtualKey) { headless::KeyUp(virtualKey); }
void TurnWheel(HWND hwnd, int x, int y, int delta) {
    headless::MoveMouse(hwnd, x, y);
    headless::TurnWheel(hwnd, delta, x, y);
}

void PressLeft(HWND hwnd, int x, int y) {
    headless::MoveMouse(hwnd, x, y);
    headless::PressLeft(hwnd, x, y);
}
void ReleaseLeft(HWND hwnd, int x, int y) {
    headless::MoveMouse(hwnd, x, y);
    headless::ReleaseLeft(hwnd, x, y);
}

}  // namespace synth
