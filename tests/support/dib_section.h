// 8-bit DIB sections for the GDI tests, made through CreateDIBSection as a program makes them: on
// our subset and on Windows alike.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// A section of width × height indices, its rows stored top row first when `topDown`
// (a negative height), else last row first. `colour(i)` gives index i's colour as 0x00RRGGBB.
// The pixels come back in *bits.
template <typename Colour>
HBITMAP NewSection8(int width, int height, bool topDown, Colour colour, void** bits) {
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = topDown ? -height : height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = colour(i);
        info.colours[i] = RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
    }
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}
