// Thin wrappers over the platform's keys, time, sound and message boxes.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// True when the key is down now or has been pressed since the previous query of that key.
bool KeyDown(int32_t virtualKey);
// Milliseconds since the system started; wraps after about 49.7 days, so compare differences.
uint32_t TickCount();
// The program's instance handle, as WinMain was given it, for window classes.
HINSTANCE InstanceHandle();
// Seeds the runtime's random numbers (std::rand) with the current time.
void SeedRandom();
// A short beep.
void SoundBeep();
// Waits the given milliseconds.
void SleepMs(uint32_t milliseconds);
// A beep, then half a second's wait.
void BeepAndWait();
// A modal box with the text, the caption "Message Log" and an OK button.
void ShowMessage(const char* text);
