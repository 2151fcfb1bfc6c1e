// GDI objects shared by the GDI sources of platform/.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/win32.h"

namespace gdi {

// An 8-bit DIB section: pixel memory (zero-filled at creation) and its colour table.
struct Section {
    int width = 0;
    int height = 0;  // rows, positive
    int stride = 0;  // bytes per row: width rounded up to a multiple of 4
    bool topDown = false;
    RGBQUAD colours[256]{};
    std::unique_ptr<uint8_t[]> pixels;
};

struct DeviceContext {
    HWND window = nullptr;     // a window DC draws into this window's client framebuffer
    bool memory = false;       // a memory DC draws into its selected bitmap
    HGDIOBJ bitmap = nullptr;  // selected bitmap of a memory DC
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
};

Section* FindSection(HGDIOBJ handle);
DeviceContext* FindDc(HDC handle);

// One row of 8-bit indices to 0x00RRGGBB through a 256-entry table.
void ConvertRow8To32(const uint8_t* src, uint32_t* dst, int count, const uint32_t* lut);

}  // namespace gdi
