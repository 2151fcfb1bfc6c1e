// The process-wide variables. Every field is zero or null when the process starts; the
// Universe is constructed before WinMain runs and destroyed after it returns.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "tasks/tasks.h"
#include "water/water_span.h"

class Surface;
class SpriteSheet;
class BitmapFont;
class Window;

// The record of every process-wide variable; docs/ARCHITECTURE.md says who writes each field.
struct AppGlobals {
    HINSTANCE instance;  // the program's, stored by the process entry before WinMain
    char* commandLine;  // kept, never interpreted
    Universe universe;  // the root of the tasks, run once an idle turn by RunMessageLoop
    // The display format SetDisplayFormat stored: the demonstration's 640 × 480 × 8.
    int32_t screenWidth;
    int32_t screenHeight;  // also the water's row limit
    int32_t screenBits;
    Surface* screenSurface;  // owned: the image presented to the window
    Surface* sceneSurface;   // owned: walls and water
    SpriteSheet* spriteSheet;  // owned
    BitmapFont* font;          // owned
    int32_t frameCounter;      // frames run since start

    WaterSpanList waterSpans;  // the live water spans
    uint8_t* processPalette;   // null, or 768 owned bytes of red, green, blue

    // For the framework's own use: the live windows, `capacity` slots, free ones null, allocated
    // on the first registration and released when the last window leaves; the display size a
    // full-screen window gives back.
    Window** windowRegistry;
    int32_t windowRegistryCapacity;
    Window* windowUnderConstruction;
    int32_t savedDisplayWidth;
    int32_t savedDisplayHeight;
};

// The one record of the process.
extern AppGlobals appGlobals;
