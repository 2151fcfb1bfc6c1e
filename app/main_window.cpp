// The demonstration's window: the frame run at every idle turn (pour, pen and eraser, frame-skip
// text, present, water step, scene copy) and the keys C, Escape and keypad plus and minus.
#include "app/main_window.h"

#include <cstdio>

#include "app/globals.h"
#include "app/system.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"
#include "water/water.h"

namespace {

constexpr uint8_t kWallIndex = 0;
constexpr uint8_t kFrameSkipTextIndex = 233;
constexpr int kEraserRadius = 10;
constexpr uint32_t kFrameSkipTextMs = 1000;

}  // namespace

MainWindow::MainWindow()
    : Window("Ondrel - from Corvane - Version 1.0", 640, 480, true, nullptr, false),
      penDown(false),
      penX(0),
      penY(0),
      frameSkip(10),
      frameSkipShownAt(0) {
    RequestPaint();
    appGlobals.screenSurface->Clear(EmptyIndex);
    appGlobals.sceneSurface->Clear(EmptyIndex);
    InitWater();
}

MainWindow::~MainWindow() { FreeWater(); }

void MainWindow::OnEvent(int kind, int code, int) {
    if (kind != Key) return;
    switch (code) {
        case VK_ESCAPE:
            delete this;
            return;
        case 'C':
            ResetWater();
            appGlobals.screenSurface->Clear(EmptyIndex);
            appGlobals.sceneSurface->Clear(EmptyIndex);
            return;
        case VK_ADD:
            ++frameSkip;
            frameSkipShownAt = TickCount();
            return;
        case VK_SUBTRACT:
            if (frameSkip > 0) --frameSkip;
            frameSkipShownAt = TickCount();
            return;
        default:
            return;
    }
}

void MainWindow::OnIdle() {
    if (KeyDown(VK_SPACE)) PourWater(mouseX - 5, mouseX + 5, mouseY);
    EditScene();

    if (frameSkipShownAt != 0) {
        if (static_cast<int32_t>(TickCount() - frameSkipShownAt) > static_cast<int32_t>(kFrameSkipTextMs)) frameSkipShownAt = 0;
        char text[128];
        std::snprintf(text, sizeof text, "Frame Skip :%d", static_cast<int>(frameSkip));
        DrawText(appGlobals.font, 0, 0, text, appGlobals.screenSurface, kFrameSkipTextIndex, false, false);
    }

    ++appGlobals.frameCounter;
    if (frameSkip == 0 || appGlobals.frameCounter % frameSkip == 0) appGlobals.screenSurface->Present(this);

    StepWater();
    CopySurface(appGlobals.screenSurface, appGlobals.sceneSurface);
}

void MainWindow::EditScene() {
    Surface* scene = appGlobals.sceneSurface;
    if (rightButton) FillCircle(scene, mouseX, mouseY, kEraserRadius, EmptyIndex);
    if (!leftButton) {
        penDown = false;
    } else if (!penDown) {
        penX = mouseX;
        penY = mouseY;
        penDown = true;
    } else {
        DrawLine(scene, penX, penY, mouseX, mouseY, kWallIndex);
        penX = mouseX;
        penY = mouseY;
    }
}
