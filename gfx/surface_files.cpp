// The Surface operations on image files.

#include <cstring>

#include "gfx/image_files.h"
#include "gfx/surface.h"

namespace {

// The three characters after the name's last "." pick the format: exactly "bmp" (lower case)
// means a bitmap file; anything else, or no ".", the raw image format.
bool IsBitmapName(const char* fileName) {
    const char* dot = std::strrchr(fileName, '.');
    return dot && std::strncmp(dot + 1, "bmp", 3) == 0;
}

}  // namespace

Surface::Surface(const char* fileName) : Surface() {
    if (!fileName) return;
    Adopt(IsBitmapName(fileName) ? LoadBmp(fileName, &pixels) : LoadRawImage(fileName, &pixels));
}

bool Surface::LoadScaled(const char* fileName) {
    if (!fileName) return false;
    return IsBitmapName(fileName) ? LoadBmpScaled(fileName, &pixels, pitch, height)
                                  : LoadRawImageScaled(fileName, &pixels, pitch, height);
}

bool Surface::SaveToFile(const char* fileName) {
    if (!fileName) return false;
    return IsBitmapName(fileName) ? SaveBmp(fileName, pixels, pitch, height)
                                  : SaveRawImage(fileName, pixels, pitch, height);
}
