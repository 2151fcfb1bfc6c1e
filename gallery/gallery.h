// ondrel-gallery's whole run, for its WinMain and for programs that drive it on the headless
// display driver (its tests, its screenshot tool).
#pragma once

#include "platform/win32.h"

// The files the gallery reads, relative to its current folder: the sprite sheet, whose colour
// table is the gallery's palette, and the 8 × 12 font.
constexpr const char* kGallerySheetFile = ".\\Media\\Sprites.bmp";
constexpr const char* kGalleryFontFile = ".\\Media\\font8x12.fon";

// Loads the palette, the font and the sprite sheet, opens the gallery's window and runs the
// message-and-idle loop until the window is gone (0), or until a WM_QUIT (its exit code).
// Everything it made is released before it returns. When the media cannot be read it says so
// on standard error and returns 1 without opening a window.
int GalleryMain(HINSTANCE instance, char* commandLine);
