// The headless display driver: everything in memory, input injected as a user would make it,
// a virtual clock. Tests and tools drive the unchanged program through these functions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace headless {

// A fresh start: every window, message, key state and class gone; the clock at 10 s; the screen
// 1024 × 768, shown 1:1; the clock step 16 ms; no hooks; no message boxes recorded; the window
// manager draws the controls.
void Reset();

void SetScreenSize(int width, int height);

// Input, delivered to the message queue and the key state exactly as the user would make it.
// Coordinates are pixels of what the top-level window `hwnd` shows (ReadWindow's image): the menu
// bar, when it has one, above the client area; for a window without a menu bar, client pixels.
void MoveMouse(HWND hwnd, int x, int y);
void PressLeft(HWND hwnd, int x, int y);
void ReleaseLeft(HWND hwnd, int x, int y);
void PressRight(HWND hwnd, int x, int y);
void ReleaseRight(HWND hwnd, int x, int y);
// The wheel turned by `delta` (WHEEL_DELTA a notch, positive away from the user) with the pointer at (x, y).
void TurnWheel(HWND hwnd, int delta, int x, int y);
void KeyDown(int virtualKey);  // first press; a second call while down is an auto-repeat
void KeyUp(int virtualKey);
void TapKey(int virtualKey);  // down and up again
void ActivateApp(bool active);
void CloseWindow(HWND hwnd);  // the close box

// The virtual clock (GetTickCount). It advances by the clock step at every idle turn and by
// every Sleep.
uint32_t Now();
void AdvanceClock(uint32_t milliseconds);
void SetClockStep(uint32_t millisecondsPerIdleTurn);

// Idle turns begun so far (PeekMessageA finding the queue empty).
int IdleTurns();

// Called when the queue is empty, once before each idle turn, with the number the coming turn
// will have (1 for the first). Events it injects are dispatched before that turn runs.
void SetBeforeIdleHook(std::function<void(int turn)> hook);

// Called every time a window's content is shown (a BitBlt into it, released with ReleaseDC).
void SetShowHook(std::function<void(HWND hwnd, const uint32_t* pixels, int width, int height)> hook);

// The top-level windows the driver shows, in order of creation.
std::vector<HWND> TopLevelWindows();

// A window's client framebuffer (0x00RRGGBB, rows top-down); empty for a window that is gone.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};
Image ReadClient(HWND hwnd);

// What a top-level window shows, as the display gets it: its menu bar (if any) above the client
// framebuffer, with push buttons and an open drop-down drawn over. Equal to ReadClient for a
// window without a menu bar, children or open menu.
Image ReadWindow(HWND hwnd);

// The screen a top-level window's view is shown on, for tests of how views fit screens: a room of
// roomWidth × roomHeight device pixels, `devicePixelsPerUnit` of them to a device-independent
// pixel (1 on a desktop, 3 on many phones). Until set, the room is the screen size at 1.
void ShowOnScreen(int roomWidth, int roomHeight, double devicePixelsPerUnit);

// What the screen shows of a top-level window: its view (ReadWindow) fitted to the room by the
// rule every display follows (platform/view_scale.h). Empty for a window that is gone.
Image ReadScreen(HWND hwnd);

// Pointer input on the screen: (x, y) are device pixels from the top-left corner of the window's
// image there (fractions allowed), taken back to the view as every display takes them.
void MoveMouseOnScreen(HWND hwnd, double x, double y);
void PressLeftOnScreen(HWND hwnd, double x, double y);
void ReleaseLeftOnScreen(HWND hwnd, double x, double y);

// Whether the driver presents the windows' menu bars and push buttons itself, as the web driver
// does (wm::PresentControlsInDriver), rather than show them in the view. Set it before windows are
// made. Then PickMenuItem is a pick on the presented menu, ClickPushButton a click on a presented
// button, and PushButtons lists what the driver presents: each button's handle, caption and
// whether it looks pushed in.
void PresentControls(bool on);
void PickMenuItem(HWND hwnd, UINT id);
void ClickPushButton(HWND button);
struct ButtonShown {
    HWND hwnd;
    std::string caption;
    bool pushed;
};
std::vector<ButtonShown> PushButtons(HWND hwnd);

// Times a window's content was shown since Reset.
int ShowCount(HWND hwnd);

// Display mode switches requested so far (width, height, bits), newest last.
struct Mode {
    int width;
    int height;
    int bits;
};
std::vector<Mode> ModeSwitches();

// Message boxes "shown" (each answered with OK at once) and beeps made.
struct Box {
    std::string text;
    std::string caption;
    unsigned type;
};
std::vector<Box> MessageBoxes();
int Beeps();

}  // namespace headless
