// ReadBmpPalette and LoadPaletteFromBmp on any bytes. Beside the sanitizers: a refused file
// leaves the caller's block and the process palette as they were; an accepted one gives every
// entry from the file's table (worked out here from the bytes) or black past a short table.
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"

namespace {

using fuzz::U16;
using fuzz::U32;

// The palette the file gives as red, green, blue, or false when it gives none.
bool ExpectedPalette(const uint8_t* d, size_t size, uint8_t* rgb) {
    if (size < 54 || U16(d) != 0x4D42 || U16(d + 28) != 8) return false;
    uint32_t infoSize = U32(d + 14), offset = U32(d + 10), colours = U32(d + 46);
    if (colours > 256) return false;
    int64_t entries = colours == 0 ? 256 : colours;
    // After a header of 108 or 124 bytes; after a longer header of another size when the table
    // ends there exactly at bfOffBits, inside the file; else at 54.
    bool afterHeader = infoSize == 108 || infoSize == 124 ||
                       (infoSize > 40 && 14 + int64_t{infoSize} + 4 * entries == int64_t{offset} &&
                        offset <= static_cast<int64_t>(size));
    int64_t tableAt = afterHeader ? 14 + int64_t{infoSize} : 54;
    if (tableAt + 4 * entries > static_cast<int64_t>(size)) return false;
    // Room for all 256 before the rows gives all 256, as the classic layout always has.
    if (int64_t{offset} - tableAt >= 1024 && tableAt + 1024 <= static_cast<int64_t>(size)) entries = 256;
    std::memset(rgb, 0, 768);
    for (int64_t i = 0; i < entries; ++i) {
        const uint8_t* q = d + tableAt + 4 * i;
        rgb[3 * i] = q[2];
        rgb[3 * i + 1] = q[1];
        rgb[3 * i + 2] = q[0];
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = fuzz::WriteFile("input.bmp", data, size);
    uint8_t expected[768];
    bool gives = ExpectedPalette(data, size, expected);

    uint8_t block[768];
    std::memset(block, 0xA5, sizeof block);
    uint8_t* pointer = block;
    FUZZ_CHECK(ReadBmpPalette(name.c_str(), &pointer) == gives);
    FUZZ_CHECK(pointer == block);
    if (gives) {
        FUZZ_CHECK(std::memcmp(block, expected, 768) == 0);
    } else {
        for (uint8_t b : block) FUZZ_CHECK(b == 0xA5);
    }

    // The process palette changes only on success, and then to the same colours.
    uint8_t before[768];
    for (int i = 0; i < 768; ++i) before[i] = static_cast<uint8_t>(i * 7 + 1);
    FUZZ_CHECK(SetPalette(before));
    FUZZ_CHECK(LoadPaletteFromBmp(name.c_str()) == gives);
    uint8_t after[768];
    FUZZ_CHECK(CopyPalette(after));
    FUZZ_CHECK(std::memcmp(after, gives ? expected : before, 768) == 0);
    return 0;
}
