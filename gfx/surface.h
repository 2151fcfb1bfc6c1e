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

// An 8-bit image whose pixels the program writes directly, with a clip rectangle, shown by Present
// in the colours the process palette had when the surface was made (so load the palette first:
// LoadPaletteFromBmp, SetPalette).
class Surface {
public:
    Surface();                                    // empty: no pixels, every operation does nothing
    Surface(int32_t width, int32_t height);       // blank, width rounded up to a multiple of 4
    explicit Surface(const char* fileName);       // from an image file, as SaveToFile picks its format
    // Releases the pixels.
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Makes the clip rectangle the whole surface.
    void ResetClip();
    // The pixels, top row first, `pitch` bytes a row (null for an empty surface);
    // ReleasePixels is their counterpart, which does nothing and says true.
    uint8_t* GetPixels();
    bool ReleasePixels(uint8_t* pixelPointer);
    // The width (the pitch) and the height; either pointer may be null.
    void GetSize(int32_t* width, int32_t* height) const;
    // Stores `index` in transparentIndex, for the program's own use (the blitters skip index 5 of a
    // sprite sheet, kSheetTransparentIndex, whatever a surface holds here).
    void SetTransparentIndex(uint8_t index);
    // Fills the whole surface with one colour index, whatever the clip rectangle.
    void Clear(uint8_t colour);
    // Copies pitch × height bytes out to, or in from, the caller's buffer; false for a null buffer
    // or an empty surface.
    bool CopyToBuffer(uint8_t* destination) const;
    bool CopyFromBuffer(const uint8_t* source);
    // Shows the surface in the window's client area, top-left corner at (0, 0), in the colours of
    // the palette the surface took when it was made. In a real window it waits, when it comes
    // early, for the display's next refresh.
    void Present(Window* window);

    // Image files by name: one whose last "." is followed by "bmp" (lower case) is an 8-bit BMP, as
    // SaveBmp writes it, and any other, "x.png" included, the framework's raw image format, which
    // only LoadRawImage reads (the framework writes no PNG). LoadScaled reads a file into the
    // surface's size, SaveToFile writes the surface.
    bool LoadScaled(const char* fileName);
    bool SaveToFile(const char* fileName);

    HBITMAP bitmap;     // owned; null for an empty surface
    uint8_t* pixels;    // top row first; belongs to the bitmap
    uint8_t transparentIndex;  // 0 when made; SetTransparentIndex stores it
    int32_t pitch;      // width rounded up to a multiple of 4; the width for every bound
    int32_t height;     // rows
    // The clip rectangle that drawing keeps to, all edges inclusive (SetClip in gfx/draw.h).
    int32_t clipLeft;
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
