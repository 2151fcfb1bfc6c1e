// Resetting the process between tests.
#include "tests/support/app_fixture.h"

#include "app/app.h"
#include "app/globals.h"
#include "gfx/surface.h"
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

void OpenWindowsTest::SetUp() {
    headless::Reset();
    SetDisplayFormat(640, 480, 8);
}

void OpenWindowsTest::TearDown() {
    for (Window* w : windows) delete w;
    windows.clear();
    SetDisplayFormat(0, 0, 0);
}

HWND OpenWindowsTest::OpenWindow(const char* name, int width, int height) {
    windows.push_back(new Window(name, width, height, true, nullptr, false));
    return HandleOf(windows.back());
}
