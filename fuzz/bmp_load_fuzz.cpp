// LoadBmp and the Surface built from a ".bmp" file, on any bytes. Beside the sanitizers: a file
// is loaded exactly when its headers fit the file (worked out here from the bytes, apart from
// the reader), a loaded image holds the file's rows in the right order, a refused one leaves the
// pixel pointer null and the Surface empty, and no section outlives its owner.
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"

namespace {

using fuzz::U16;
using fuzz::U32;

// What the file promises, read straight from the bytes.
struct Expected {
    bool loads = false;
    int32_t width = 0;
    int32_t rows = 0;
    bool topDown = false;
    int64_t start = 0;
    int64_t stride = 0;
};

Expected Expect(const uint8_t* d, size_t size) {
    Expected e;
    if (size < 54 || U16(d) != 0x4D42) return e;
    uint32_t fileSize = U32(d + 2), offset = U32(d + 10), infoSize = U32(d + 14);
    int64_t tableAt = 14 + int64_t{infoSize == 108 || infoSize == 124 ? infoSize : 40};
    int32_t width = static_cast<int32_t>(U32(d + 18)), height = static_cast<int32_t>(U32(d + 22));
    uint32_t colours = U32(d + 46);
    if (colours > 256) return e;
    int64_t tableEnd = tableAt + 4 * int64_t{colours == 0 ? 256 : colours};
    if (tableEnd > static_cast<int64_t>(size)) return e;
    if (U16(d + 26) != 1 || U16(d + 28) != 8 || U32(d + 30) != 0) return e;
    if (width <= 0 || height == 0 || height == INT32_MIN) return e;
    int64_t rows = height < 0 ? -int64_t{height} : height;
    if (offset < tableEnd || fileSize < offset) return e;
    int64_t stride = (int64_t{fileSize} - offset) / rows;
    if (stride < width || offset + stride * (rows - 1) + width > static_cast<int64_t>(size)) return e;
    if ((int64_t{width} + 3) / 4 * 4 * rows > INT32_MAX) return e;
    e = {true, width, static_cast<int32_t>(rows), height < 0, offset, stride};
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = fuzz::WriteFile("input.bmp", data, size);
    Expected e = Expect(data, size);
    uintptr_t mark = fuzz::SectionMark();

    uint8_t stale = 0;
    uint8_t* pixels = &stale;
    HBITMAP bitmap = LoadBmp(name.c_str(), &pixels);
    FUZZ_CHECK((bitmap != nullptr) == e.loads);
    FUZZ_CHECK((pixels != nullptr) == e.loads);
    if (bitmap) {
        BITMAP record{};
        FUZZ_CHECK(GetObjectA(bitmap, static_cast<int>(sizeof record), &record) != 0);
        FUZZ_CHECK(record.bmWidth == e.width && record.bmHeight == e.rows);
        FUZZ_CHECK(record.bmWidthBytes == (e.width + 3) / 4 * 4);
        for (int32_t y = 0; y < e.rows; ++y) {
            int32_t k = e.topDown ? y : e.rows - 1 - y;
            const uint8_t* fileRow = data + e.start + e.stride * k;
            FUZZ_CHECK(std::memcmp(pixels + static_cast<size_t>(y) * static_cast<size_t>(record.bmWidthBytes), fileRow,
                                   static_cast<size_t>(e.width)) == 0);
        }
        DeleteObject(bitmap);
    }

    {
        Surface s(name.c_str());
        FUZZ_CHECK((s.pixels != nullptr) == e.loads);
        if (s.pixels) {
            FUZZ_CHECK(s.pitch == (e.width + 3) / 4 * 4 && s.height == e.rows);
            FUZZ_CHECK(s.clipLeft == 0 && s.clipTop == 0 && s.clipRight == s.pitch - 1 && s.clipBottom == s.height - 1);
        } else {
            FUZZ_CHECK(s.bitmap == nullptr && s.pitch == 0 && s.height == 0 && s.clipRight == -1);
        }
    }
    FUZZ_CHECK(fuzz::SectionsAliveSince(mark) == 0);
    return 0;
}
