#include "tests/support/app_fixture.h"

#include "app/app.h"
#include "app/globals.h"
#include "platform/headless.h"
#include "win/window.h"

void ResetProcessState() {
    // Deleting a window unregisters it, which may release the table: re-read it every time.
    for (;;) {
        Window* victim = nullptr;
        for (int i = 0; i < appGlobals.windowRegistryCapacity && !victim; ++i) victim = appGlobals.windowRegistry[i];
        if (!victim) break;
        delete victim;
    }
    headless::Reset();
    AppShutdown();  // what a run left: font, surfaces, tasks
    appGlobals.universe.state = Active;
    appGlobals.windowUnderConstruction = nullptr;
    appGlobals.savedDisplayWidth = 0;
    appGlobals.savedDisplayHeight = 0;
    appGlobals.frameCounter = 0;
}

HWND HandleOf(const Window* window) { return static_cast<HWND>(window->GetHandle("WindowHandler")); }
