// Frames at the display's pace on Windows, and at the size the window is shown at
// (window_scale.h). The framework shows a frame with one BitBlt into the
// window's device context per frame and otherwise never waits, so without this a frame is made
// as fast as the processor goes. win32.h routes BitBlt here: a blit into a window that comes
// before the display's next refresh waits for that refresh, the rule the SDL driver follows.
//
// With the desktop composited (DWM), the compositor's timing says when the last refresh was and
// DwmFlush waits for the next one. Without composition (older systems, Wine), a high-resolution
// waitable timer waits out the rest of one refresh period, taken from the display mode.
#include "platform/win32.h"

#include <dwmapi.h>

#include "platform/windows/window_scale.h"

#undef BitBlt

// Windows 10 1803 and later; older headers lack the name.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

struct Pacer {
    bool started = false;
    LONGLONG frequency = 0;    // performance-counter ticks per second
    LONGLONG period = 0;       // one refresh, in ticks, when not composited
    LONGLONG lastPresent = 0;  // performance counter at the last blit into a window; 0: none yet
    LONGLONG lastRefresh = 0;  // not composited: the refresh the last blit was shown at
    HANDLE timer = nullptr;
};

Pacer& ThePacer() {
    static Pacer pacer;
    return pacer;
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Start(Pacer& p) {
    p.started = true;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    p.frequency = frequency.QuadPart;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    DWORD hz = 0;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) hz = mode.dmDisplayFrequency;
    // 0 and 1 stand for "the hardware's default rate"; a screen without a rate of its own
    // (a virtual X server, a remote session) is taken to refresh at 60 Hz.
    if (hz <= 1) hz = 60;
    p.period = p.frequency / hz;
    // The high-resolution timer (Windows 10 1803 on) wakes within a fraction of a millisecond;
    // the ordinary one may take a whole scheduler tick.
    p.timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!p.timer) p.timer = CreateWaitableTimerW(nullptr, TRUE, nullptr);
}

bool Composited() {
    BOOL on = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&on)) && on;
}

// Sleeps until the performance counter reaches `due`: the timer for all but the last
// millisecond, then giving up the processor until the moment is there.
void WaitUntil(Pacer& p, LONGLONG due) {
    LONGLONG early = due - p.frequency / 1000;
    LONGLONG now = Now();
    if (p.timer && now < early) {
        LARGE_INTEGER relative;
        relative.QuadPart = -((early - now) * 10000000 / p.frequency);  // 100 ns units, negative: relative
        if (SetWaitableTimer(p.timer, &relative, 0, nullptr, nullptr, FALSE)) WaitForSingleObject(p.timer, INFINITE);
    }
    while (Now() < due) SwitchToThread();
}

void WaitForRefresh(Pacer& p) {
    if (p.lastPresent == 0) {
        p.lastRefresh = Now();
        return;
    }
    if (Composited()) {
        DWM_TIMING_INFO timing{};
        timing.cbSize = sizeof timing;
        // qpcVBlank is the last refresh: a frame already shown since then waits for the next.
        if (SUCCEEDED(DwmGetCompositionTimingInfo(nullptr, &timing)) &&
            p.lastPresent < static_cast<LONGLONG>(timing.qpcVBlank))
            return;
        DwmFlush();
        return;
    }
    // Refreshes are counted from the first frame on, one period apart. A frame waits for the
    // first refresh after the one the previous frame was shown at; a late frame goes at once,
    // at the last refresh that has passed, so that lateness does not shift the ones after it.
    LONGLONG next = p.lastRefresh + p.period;
    LONGLONG now = Now();
    if (now < next) {
        WaitUntil(p, next);
        p.lastRefresh = next;
    } else {
        p.lastRefresh = next + (now - next) / p.period * p.period;
    }
}

}  // namespace

BOOL WINAPI PacedBitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    // Only a window's device context has a window; a memory context has none.
    if (!WindowFromDC(dest)) return BitBlt(dest, x, y, width, height, src, srcX, srcY, rop);
    Pacer& p = ThePacer();
    if (!p.started) Start(p);
    WaitForRefresh(p);
    p.lastPresent = Now();
    BOOL scaled = FALSE;
    if (ScaledBitBlt(dest, x, y, width, height, src, srcX, srcY, rop, &scaled)) return scaled;
    return BitBlt(dest, x, y, width, height, src, srcX, srcY, rop);
}
