// Window records shared by the window manager (user.cpp) and GDI (gdi.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace wm {

struct WindowRecord {
    HWND handle = nullptr;
    std::string className;
    std::string text;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
    LONG_PTR userData = 0;
    RECT rect{};  // outer rectangle: screen coordinates for top-level windows, parent client for children
    bool visible = false;
    bool topLevelShown = false;  // the display driver knows it
    bool invalid = true;         // needs WM_PAINT
    bool needSize = true;        // WM_SIZE and WM_MOVE not sent yet: they come with the first show
    // Client framebuffer, 0x00RRGGBB, rows top-down.
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<uint32_t> client;
    bool clientDirty = false;
};

// The live window behind a handle, or null.
WindowRecord* FindWindow(HWND hwnd);

// Hand a window's client framebuffer to the display driver (top-level windows only).
void ShowClient(WindowRecord& window);

}  // namespace wm
