// Keys pressed and released, the left button pressed and released and the wheel turned as a user does, for tests that run on every
// system: through the headless display driver's injection on Linux, through SendInput on Windows.
// The key state changes at once; key messages go to the window with the keyboard focus.
#pragma once

#include "platform/win32.h"

namespace synth {

void KeyDown(int virtualKey);
void KeyUp(int virtualKey);
// The pointer put at client pixel (x, y) of `hwnd` (a window without a menu bar), and the wheel
// turned there by `delta` (WHEEL_DELTA a notch, positive away from the user).
void TurnWheel(HWND hwnd, int x, int y, int delta);
// The pointer put at client pixel (x, y) of `hwnd` (a window without a menu bar), and the left
// button pressed or released there.
void PressLeft(HWND hwnd, int x, int y);
void ReleaseLeft(HWND hwnd, int x, int y);

}  // namespace synth
