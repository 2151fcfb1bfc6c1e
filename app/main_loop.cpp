// The entry point, start-up, the message-and-idle loop and shutdown.

#include "app/app.h"
#include "app/globals.h"
#include "app/system.h"
#include "win/window.h"

bool AppInit() {
    // Until the main window exists the program shows a plain window with its caption.
    new Window("Ondrel - from Corvane - Version 1.0", 640, 480, true, nullptr, false);
    return true;
}

void AppShutdown() { appGlobals.universe.ClearTasks(); }

int RunMainLoop() {
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!RunWindowsIdle()) {
            AppShutdown();
            return 0;
        }
        if (appGlobals.universe.state == Active) appGlobals.universe.Execute();
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    appGlobals.instance = instance;
    appGlobals.commandLine = commandLine;
    SeedRandom();
    // Clears every key's pressed-since-last-query bit: a key pressed and released before start-up
    // is not a press in the first frame.
    for (int vk = 0; vk <= 255; ++vk) GetAsyncKeyState(vk);
    if (!AppInit()) {
        AppShutdown();
        return 0;
    }
    return RunMainLoop();
}
