// Surfaces on DIB sections, the process palette, whole-image copies and presenting to a window.
#include "gfx/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/palette.h"
#include "win/window.h"

namespace {

// A BITMAPINFO with its full colour table; Win32 declares the table with one entry.
struct PaletteBitmapInfo {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[kPaletteEntries];
};
static_assert(offsetof(PaletteBitmapInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors));

size_t ByteCount(const Surface& s) { return static_cast<size_t>(s.pitch) * static_cast<size_t>(s.height); }

}  // namespace

bool SetDisplayFormat(int32_t width, int32_t height, int32_t depth) {
    appGlobals.screenWidth = width;
    appGlobals.screenHeight = height;
    appGlobals.screenBits = depth;
    delete[] appGlobals.processPalette;
    appGlobals.processPalette = nullptr;
    return true;
}

bool SetPalette(const uint8_t* rgb) {
    if (!rgb) return false;
    if (!appGlobals.processPalette) appGlobals.processPalette = new uint8_t[kPaletteBytes];
    std::memcpy(appGlobals.processPalette, rgb, kPaletteBytes);
    return true;
}

bool CopyPalette(uint8_t* rgb) {
    if (!appGlobals.processPalette || !rgb) return false;
    std::memcpy(rgb, appGlobals.processPalette, kPaletteBytes);
    return true;
}

HBITMAP CreateDibSection(int32_t width, int32_t height, uint8_t** bits) {
    if (bits) *bits = nullptr;
    // A negative height would ask for a bottom-up section, and a byte count beyond 31 bits
    // cannot be addressed with the signed offsets used everywhere.
    if (!bits || width <= 0 || height <= 0) return nullptr;
    int64_t pitch = (int64_t{width} + 3) / 4 * 4;
    if (pitch * height > INT32_MAX) return nullptr;

    PaletteBitmapInfo info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;

    uint8_t rgb[kPaletteBytes];
    const bool havePalette = CopyPalette(rgb);
    for (int i = 0; i < kPaletteEntries; ++i) {
        const CubeColour cube = CubeColourOf(i);
        info.bmiColors[i].rgbRed = havePalette ? rgb[3 * i] : cube.red;
        info.bmiColors[i].rgbGreen = havePalette ? rgb[3 * i + 1] : cube.green;
        info.bmiColors[i].rgbBlue = havePalette ? rgb[3 * i + 2] : cube.blue;
        info.bmiColors[i].rgbReserved = 0;
    }

    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &memory, nullptr, 0);
    if (bitmap && !memory) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (!bitmap) return nullptr;
    *bits = static_cast<uint8_t*>(memory);
    return bitmap;
}

Surface::Surface()
    : bitmap(nullptr), pixels(nullptr), transparentIndex(0), pitch(0), height(0), clipLeft(0), clipTop(0),
      clipRight(-1), clipBottom(-1) {}

Surface::Surface(int32_t width, int32_t rows) : Surface() { Adopt(CreateDibSection(width, rows, &pixels)); }

void Surface::Adopt(HBITMAP section) {
    bitmap = section;
    BITMAP record{};
    if (!bitmap || GetObjectA(bitmap, static_cast<int>(sizeof record), &record) == 0) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
        pixels = nullptr;
        return;
    }
    pitch = record.bmWidthBytes;
    height = record.bmHeight;
    ResetClip();
}

Surface::~Surface() {
    if (bitmap) DeleteObject(bitmap);
}

void Surface::ResetClip() {
    clipLeft = 0;
    clipTop = 0;
    clipRight = pitch - 1;
    clipBottom = height - 1;
}

uint8_t* Surface::GetPixels() { return pixels; }

bool Surface::ReleasePixels(uint8_t*) { return true; }

void Surface::GetSize(int32_t* width, int32_t* rows) const {
    if (width) *width = pitch;
    if (rows) *rows = height;
}

void Surface::SetTransparentIndex(uint8_t index) { transparentIndex = index; }

void Surface::Clear(uint8_t colour) { FillRect(this, 0, 0, pitch - 1, height - 1, colour); }

bool Surface::CopyToBuffer(uint8_t* destination) const {
    if (!destination || !pixels) return false;
    std::memcpy(destination, pixels, ByteCount(*this));
    return true;
}

bool Surface::CopyFromBuffer(const uint8_t* source) {
    if (!source || !pixels) return false;
    std::memcpy(pixels, source, ByteCount(*this));
    return true;
}

void CopySurface(Surface* target, const Surface* source) {
    if (!target || !source || target == source || !target->pixels || !source->pixels) return;
    // Surfaces of one size (the only use) are one block; otherwise the common top-left part is
    // copied row by row, so neither buffer is read or written past its end.
    int32_t rows = std::min(target->height, source->height);
    if (target->pitch == source->pitch) {
        std::memcpy(target->pixels, source->pixels, static_cast<size_t>(target->pitch) * static_cast<size_t>(rows));
        return;
    }
    size_t run = static_cast<size_t>(std::min(target->pitch, source->pitch));
    uint8_t* to = target->pixels;
    const uint8_t* from = source->pixels;
    for (int32_t y = 0; y < rows; ++y, to += target->pitch, from += source->pitch) std::memcpy(to, from, run);
}

void Surface::Present(Window* window) {
    if (!window || !bitmap || !window->handles) return;
    HWND hwnd = static_cast<HWND>(window->handles->Lookup(kWindowHandlerKey));
    if (!hwnd) return;
    BITMAP record{};
    if (GetObjectA(bitmap, static_cast<int>(sizeof record), &record) == 0) return;

    HDC windowDc = GetDC(hwnd);
    if (!windowDc) return;
    HDC memoryDc = CreateCompatibleDC(windowDc);
    if (memoryDc) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        BitBlt(windowDc, 0, 0, record.bmWidth, record.bmHeight, memoryDc, 0, 0, SRCCOPY);
        // The section goes back out of the context so that the destructor can delete it.
        if (previous) SelectObject(memoryDc, previous);
        DeleteDC(memoryDc);
    }
    ReleaseDC(hwnd, windowDc);
}
