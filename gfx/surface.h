// An 8-bit palettized image with top-down rows, backed by a DIB section, and the process-wide
// palette that every new surface takes its colours from.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class Window;

// Stores the screen size and depth in appGlobals and drops the process palette.
bool SetDisplayFormat(int32_t width, int32_t height, int32_t depth);
// 768 bytes of red, green, blue become the process palette; false for a null pointer.
bool SetPalette(const uint8_t* rgb);
// Copies the process palette out; false when there is none or the buffer is null.
bool CopyPalette(uint8_t* rgb);
// A new top-down 8-bit section coloured from the process palette (or the 3-3-2 cube); null on
// failure. `bits` receives the pixel pointer.
HBITMAP CreateDibSection(int32_t width, int32_t height, uint8_t** bits);

// An 8-bit image whose pixels the program writes directly, with a clip rectangle; Present shows
// it in a window.
class Surface {
public:
    Surface();                                    // empty
    Surface(int32_t width, int32_t height);       // blank
    explicit Surface(const char* fileName);       // from an image file
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    void ResetClip();
    uint8_t* GetPixels();
    bool ReleasePixels(uint8_t* pixelPointer);
    void GetSize(int32_t* width, int32_t* height) const;
    void SetTransparentIndex(uint8_t index);
    void Clear(uint8_t colour);
    bool CopyToBuffer(uint8_t* destination) const;
    bool CopyFromBuffer(const uint8_t* source);
    void Present(Window* window);

    // Image files; the name's extension picks the format.
    bool LoadScaled(const char* fileName);
    bool SaveToFile(const char* fileName);

    HBITMAP bitmap;     // owned; null for an empty surface
    uint8_t* pixels;    // top row first; belongs to the bitmap
    uint8_t transparentIndex;
    int32_t pitch;      // width rounded up to a multiple of 4; the width for every bound
    int32_t height;
    int32_t clipLeft;   // clip rectangle, all edges inclusive
    int32_t clipTop;
    int32_t clipRight;
    int32_t clipBottom;

private:
    // Takes ownership of a new section and reads the size back from it; on failure the section
    // is released and the surface stays empty.
    void Adopt(HBITMAP section);
};

// Copies the target's pitch × height bytes from the source.
void CopySurface(Surface* target, const Surface* source);
