// The entry point, start-up, the message-and-idle loop and shutdown.

#include "app/app.h"
#include "app/data_pack.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "app/system.h"
#include "gfx/font.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"
#include "platform/program_folder.h"
#include "win/window.h"

// Read from the current folder at start-up: the pack by LoadDataPack, the sprite sheet by AppInit.
const char* const kProgramFiles[] = {kDataPackFile, kSpriteSheetFile, nullptr};

bool AppInit() {
    if (!SetDisplayFormat(640, 480, 8)) return false;
    LoadDataPack();
    // Every surface takes the process palette when it is made: the palette comes first.
    appGlobals.screenSurface = new Surface(appGlobals.screenWidth, appGlobals.screenHeight);
    appGlobals.sceneSurface = new Surface(appGlobals.screenWidth, appGlobals.screenHeight);
    appGlobals.spriteSheet = new SpriteSheet(kSpriteSheetFile);
    appGlobals.screenSurface->Clear(0);
    appGlobals.sceneSurface->Clear(0);
    new MainWindow;  // registers itself; the registry is what keeps it
    return true;
}

void AppShutdown() {
    appGlobals.universe.ClearTasks();
    delete appGlobals.font;
    appGlobals.font = nullptr;
    delete appGlobals.spriteSheet;
    appGlobals.spriteSheet = nullptr;
    delete appGlobals.sceneSurface;
    appGlobals.sceneSurface = nullptr;
    delete appGlobals.screenSurface;
    appGlobals.screenSurface = nullptr;
}

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
