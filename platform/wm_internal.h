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
    // Client framebuffer, 0x00RRGGBB, rows top-down.
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<uint32_t> client;
    bool clientDirty = false;    // drawn into since it was last handed to the display driver
    bool clientChanged = true;   // differs from what was last handed to the display driver

    // What BitBlt last converted into the client framebuffer, so that a blit of the same 8-bit
    // indices through the same colours, which would change nothing, converts nothing. Indices
    // are kept by client pixel, whatever section or offset they came from. On row r, for every
    // column x from shownFrom[r] up to (not including) shownTo[r],
    //     client[r × clientWidth + x] == shownColours[shownIndices[r × clientWidth + x]];
    // every other writer of the client framebuffer must narrow those ranges (ForgetShown).
    std::vector<uint8_t> shownIndices;  // clientWidth × clientHeight once a blit came
    std::vector<int> shownFrom;
    std::vector<int> shownTo;
    uint32_t shownColours[256]{};

    void ForgetShown(int64_t firstRow, int64_t lastRow) {
        const int64_t rows = static_cast<int64_t>(shownFrom.size());
        for (int64_t r = firstRow < 0 ? 0 : firstRow; r <= lastRow && r < rows; ++r) {
            shownFrom[static_cast<size_t>(r)] = 0;
            shownTo[static_cast<size_t>(r)] = 0;
        }
    }
};

// The live window behind a handle, or null.
WindowRecord* FindWindow(HWND hwnd);

// Hand a window's client framebuffer to the display driver (top-level windows only).
void ShowClient(WindowRecord& window);

}  // namespace wm
