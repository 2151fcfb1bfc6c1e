// Synthesised keys and mouse on Windows: SendInput, as the keyboard's and mouse's drivers would report them.
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

// The pointer put at client pixel (x, y) of `hwnd`, then the mouse's `flags` there.
void Mouse(HWND hwnd, int x, int y, DWORD flags, DWORD data) {
    POINT at{x, y};
    ClientToScreen(hwnd, &at);
    SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void KeyDown(int virtualKey) { Send(virtualKey, true); }
void KeyUp(int virtualKey) { Send(virtualKey, false); }
void TurnWheel(HWND hwnd, int x, int y, int delta) { Mouse(hwnd, x, y, MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta)); }
void PressLeft(HWND hwnd, int x, int y) { Mouse(hwnd, x, y, MOUSEEVENTF_LEFTDOWN, 0); }
void ReleaseLeft(HWND hwnd, int x, int y) { Mouse(hwnd, x, y, MOUSEEVENTF_LEFTUP, 0); }

}  // namespace synth
