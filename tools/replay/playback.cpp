#include "tools/replay/playback.h"

#include "platform/headless.h"

void PlayEvent(const ScriptEvent& e, HWND window, ScriptPointer* pointer) {
    switch (e.verb) {
        case Verb::Move:
            pointer->x = e.a;
            pointer->y = e.b;
            headless::MoveMouse(window, pointer->x, pointer->y);
            break;
        case Verb::Press:
            (e.a == 0 ? headless::PressLeft : headless::PressRight)(window, pointer->x, pointer->y);
            break;
        case Verb::Release:
            (e.a == 0 ? headless::ReleaseLeft : headless::ReleaseRight)(window, pointer->x, pointer->y);
            break;
        case Verb::KeyDown:
            headless::KeyDown(e.a);
            break;
        case Verb::KeyUp:
            headless::KeyUp(e.a);
            break;
        case Verb::Tap:
            headless::TapKey(e.a);
            break;
    }
}
