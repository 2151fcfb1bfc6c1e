// Resetting the process between tests.
#include "tests/support/app_fixture.h"

#include "app/app.h"
#include "app/globals.h"
#include "platform/headless.h"
#include "win/window.h"

void ResetProcessState() {
    DeleteAllWindows();
    headless::Reset();
    AppShutdown();  // what a run left: font, surfaces, tasks
    appGlobals.universe.state = Active;
    appGlobals.windowUnderConstruction = nullptr;
    appGlobals.savedDisplayWidth = 0;
    appGlobals.savedDisplayHeight = 0;
    appGlobals.frameCounter = 0;
}

HWND HandleOf(const Window* window) { return static_cast<HWND>(window->GetHandle(kWindowHandlerKey)); }
