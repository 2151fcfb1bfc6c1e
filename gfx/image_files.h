// Reading and writing images: 8-bit uncompressed Windows bitmap files and the raw image format
// (a 16-bit width and height, then the pixel bytes as a scrambled block keyed by the two).
// Images are colour indices only: a loaded image takes the process palette's colours, never its
// file's; a bitmap file's colour table is read separately, by ReadBmpPalette.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// A new section holding the image (`pixels` receives its pixel pointer), or null when the file
// is missing, not an 8-bit uncompressed bitmap, or damaged (sizes that do not fit the file).
// Information headers of 108 and 124 bytes put the colour table after them, and so does any
// other header longer than 40 bytes (an OS/2 2.x file's 64) when a table of biClrUsed entries
// there ends exactly at bfOffBits; otherwise the header is read as the 40-byte one, with the
// table at 54. Colour tables of any length up to 256 entries and rows stored either way up are
// read.
HBITMAP LoadBmp(const char* fileName, uint8_t** pixels);
// The file's colour table as 256 entries of red, green, blue into the 768-byte block *palette;
// entries beyond a shorter table become black. False, with the block untouched, when there is
// no block, the file is not an 8-bit bitmap or its table does not fit the file.
bool ReadBmpPalette(const char* fileName, uint8_t** palette);
// Writes `height` rows of `width` bytes (also their stride in `pixels`) bottom-up with the
// process palette (or the 3-3-2 cube) as colour table; an image 0 wide or 0 high gives the
// headers and the table alone (`pixels` may then be null). False when nothing could be written, or
// the write failed; an older file of that name is replaced only by a complete new one.
bool SaveBmp(const char* fileName, const uint8_t* pixels, int32_t width, int32_t height);

// A new section holding the raw image (`pixels` receives its pixel pointer), or null when the
// file is missing, its width or height is 0, or it is shorter than they say.
HBITMAP LoadRawImage(const char* fileName, uint8_t** pixels);
// False also for sizes outside 1 to 65535, which the format cannot hold.
bool SaveRawImage(const char* fileName, const uint8_t* pixels, int32_t width, int32_t height);

// Nearest-neighbour resampling of the file's image into `*destination`, `width` bytes per row
// and `height` rows, with the corner pixels on the corners. False, with the destination
// untouched, when the file cannot be read.
bool LoadBmpScaled(const char* fileName, uint8_t** destination, int32_t width, int32_t height);
bool LoadRawImageScaled(const char* fileName, uint8_t** destination, int32_t width, int32_t height);

// The bitmap file's colour table becomes the process palette; on failure the process palette
// stays as it was.
bool LoadPaletteFromBmp(const char* fileName);
