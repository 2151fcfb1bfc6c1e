// The scaled readers (LoadBmpScaled, LoadRawImageScaled) and Surface::LoadScaled, on any file
// and any destination size. The first bytes choose the format and the destination; the rest is
// the file. Beside the sanitizers: on failure the destination is untouched; on success every
// destination pixel is the source pixel its corner-aligned position names (the source read with
// the plain reader), bytes past the destination are never written, the Surface keeps its size,
// and no section outlives its owner.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Bytes in(data, size);
    const bool bitmap = in.U8() & 1;
    const int32_t width = 1 + in.U8() % 48;
    const int32_t height = 1 + in.U8() % 48;
    std::string name = fuzz::WriteFile(bitmap ? "input.bmp" : "input.raw", in.Rest(), in.RestSize());
    uintptr_t mark = fuzz::SectionMark();

    // The source as the plain reader gives it.
    uint8_t* sourcePixels = nullptr;
    HBITMAP source = bitmap ? LoadBmp(name.c_str(), &sourcePixels) : LoadRawImage(name.c_str(), &sourcePixels);
    BITMAP record{};
    if (source) FUZZ_CHECK(GetObjectA(source, static_cast<int>(sizeof record), &record) != 0);

    // The destination with guard bytes after it.
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint8_t> destination(bytes + 16, 0x5A);
    uint8_t* target = destination.data();
    bool scaled = bitmap ? LoadBmpScaled(name.c_str(), &target, width, height)
                         : LoadRawImageScaled(name.c_str(), &target, width, height);
    FUZZ_CHECK(scaled == (source != nullptr));
    FUZZ_CHECK(target == destination.data());
    for (size_t i = bytes; i < destination.size(); ++i) FUZZ_CHECK(destination[i] == 0x5A);
    if (!scaled) {
        for (size_t i = 0; i < bytes; ++i) FUZZ_CHECK(destination[i] == 0x5A);
    } else {
        for (int32_t y = 0; y < height; ++y) {
            int64_t sy = height > 1 ? int64_t{y} * (record.bmHeight - 1) / (height - 1) : 0;
            for (int32_t x = 0; x < width; ++x) {
                int64_t sx = width > 1 ? int64_t{x} * (record.bmWidth - 1) / (width - 1) : 0;
                FUZZ_CHECK(destination[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] ==
                           sourcePixels[sy * record.bmWidthBytes + sx]);
            }
        }
    }
    if (source) DeleteObject(source);

    {
        Surface s(width, height);
        FUZZ_CHECK(s.pixels != nullptr);
        s.Clear(0x5A);
        const int32_t pitch = s.pitch;
        FUZZ_CHECK(s.LoadScaled(name.c_str()) == scaled);
        FUZZ_CHECK(s.pitch == pitch && s.height == height);
        if (!scaled)
            for (int32_t i = 0; i < pitch * height; ++i) FUZZ_CHECK(s.pixels[i] == 0x5A);
        Surface empty;
        FUZZ_CHECK(!empty.LoadScaled(name.c_str()));
    }
    FUZZ_CHECK(fuzz::SectionsAliveSince(mark) == 0);
    return 0;
}
