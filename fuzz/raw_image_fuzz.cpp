// LoadRawImage and the Surface built from a raw image file, on any bytes. Beside the
// sanitizers: a file loads exactly when its 16-bit sizes are not 0 and its pixels are all there;
// a loaded image is the file's block unshuffled with the width and height as keys (worked out
// here from the definition of the shuffle), row by row into the padded section; a refused one
// leaves the pixel pointer null and the Surface empty; no section outlives its owner.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = fuzz::WriteFile("input.raw", data, size);
    int32_t width = size >= 2 ? data[0] | data[1] << 8 : 0;
    int32_t height = size >= 4 ? data[2] | data[3] << 8 : 0;
    int64_t count = int64_t{width} * height;
    bool loads = size >= 4 && count > 0 && count <= INT32_MAX && 4 + count <= static_cast<int64_t>(size);
    std::vector<uint8_t> image;
    if (loads) {
        image.assign(data + 4, data + 4 + count);
        fuzz::ReferenceUnscramble(image.data(), static_cast<int32_t>(count), width, height);
    }
    uintptr_t mark = fuzz::SectionMark();

    uint8_t stale = 0;
    uint8_t* pixels = &stale;
    HBITMAP bitmap = LoadRawImage(name.c_str(), &pixels);
    FUZZ_CHECK((bitmap != nullptr) == loads);
    FUZZ_CHECK((pixels != nullptr) == loads);
    if (bitmap) {
        BITMAP record{};
        FUZZ_CHECK(GetObjectA(bitmap, static_cast<int>(sizeof record), &record) != 0);
        FUZZ_CHECK(record.bmWidth == width && record.bmHeight == height);
        for (int32_t y = 0; y < height; ++y)
            FUZZ_CHECK(std::memcmp(pixels + static_cast<size_t>(y) * static_cast<size_t>(record.bmWidthBytes),
                                   image.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                                   static_cast<size_t>(width)) == 0);
        DeleteObject(bitmap);
    }
    {
        Surface s(name.c_str());
        FUZZ_CHECK((s.pixels != nullptr) == loads);
        if (!s.pixels) FUZZ_CHECK(s.bitmap == nullptr && s.pitch == 0 && s.height == 0 && s.clipRight == -1);
        else FUZZ_CHECK(s.pitch == (width + 3) / 4 * 4 && s.height == height);
    }
    FUZZ_CHECK(fuzz::SectionsAliveSince(mark) == 0);
    return 0;
}
