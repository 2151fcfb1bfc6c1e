// Synthesised keys on Windows: SendInput, as a keyboard driver would report them.
#include "platform/win32.h"
#include "tests/support/synth_input.h"

namespace synth {
namespace {

void Send(int virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void KeyDown(int virtualKey) { Send(virtualKey, true); }
void KeyUp(int virtualKey) { Send(virtualKey, false); }

void TurnWheel(HWND hwnd, int x, int y, int delta) {
    POINT at{x, y};
    ClientToScreen(hwnd, &at);
    SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = static_cast<DWORD>(delta);
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &input, sizeof input);
}

}  // namespace synth
