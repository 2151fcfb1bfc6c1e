// System utilities, one call deep each.
#include "app/system.h"

#include <cstdlib>
#include <ctime>

#include "app/globals.h"

bool KeyDown(int32_t virtualKey) { return GetAsyncKeyState(virtualKey) != 0; }

uint32_t TickCount() { return GetTickCount(); }

HINSTANCE InstanceHandle() { return appGlobals.instance; }

void SeedRandom() { std::srand(static_cast<unsigned>(std::time(nullptr))); }

void SoundBeep() { Beep(0, 0); }

void SleepMs(uint32_t milliseconds) { Sleep(milliseconds); }

void BeepAndWait() {
    SoundBeep();
    SleepMs(500);
}

void ShowMessage(const char* text) { MessageBoxA(nullptr, text, "Message Log", MB_OK); }
