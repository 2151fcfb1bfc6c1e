// Delivering a script's events to the program on the headless driver, as a user's hand would.
#pragma once

#include "platform/win32.h"
#include "tools/replay/script.h"

// Where the pointer is: presses and releases happen there, and a move puts it somewhere else.
struct ScriptPointer {
    int x = 0;
    int y = 0;
};

// Delivers one event to `window` (pointer events) or the keyboard.
void PlayEvent(const ScriptEvent& event, HWND window, ScriptPointer* pointer);
