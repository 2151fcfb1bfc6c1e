// The scaled readers (LoadBmpScaled, LoadRawImageScaled) and Surface::LoadScaled, on any file
// and any destination size. The first bytes choose the format and the destination; the rest is
// the file. Beside the sanitizers: on failure the destination is untouched; on success the
// sampling keeps what it promises (the corners land on the corners, the source columns and rows
// taken never go back, and each lies within one of its real-valued position x × (W − 1) / (w − 1))
// and every destination pixel is the source pixel (the source read with the plain reader) at the
// column and row taken; bytes past the destination are never written, the Surface keeps its
// size, and no section outlives its owner.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/surface.h"

namespace {

// The source positions a scaled read takes along one axis, from `from` cells to `to`, learnt from
// what it makes of a probe image whose cells hold their own position (modulo 256) along that axis.
// Each position is checked against the promise as it is learnt, so the probe value names it.
std::vector<int64_t> TakenPositions(int32_t from, int32_t to, bool columns) {
    const int32_t width = columns ? from : 1;
    const int32_t height = columns ? 1 : from;
    std::vector<uint8_t> probe(static_cast<size_t>(from));
    for (int32_t i = 0; i < from; ++i) probe[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    const std::string name = fuzz::PathOf(columns ? "columns.bmp" : "rows.bmp");
    FUZZ_CHECK(SaveBmp(name.c_str(), probe.data(), width, height));
    std::vector<uint8_t> scaled(static_cast<size_t>(to) * 2);
    uint8_t* target = scaled.data();
    // Two cells across the other axis: a destination needs at least two of each.
    FUZZ_CHECK(LoadBmpScaled(name.c_str(), &target, columns ? to : 2, columns ? 2 : to));
    std::vector<int64_t> taken(static_cast<size_t>(to));
    for (int32_t i = 0; i < to; ++i) {
        const uint8_t seen = scaled[columns ? static_cast<size_t>(i) : static_cast<size_t>(i) * 2];
        // The real position is i × (from − 1) / (to − 1); a source position p within one of it
        // has |p × (to − 1) − i × (from − 1)| < to − 1, which leaves at most two candidates.
        const int64_t span = to - 1;
        const int64_t scaledPosition = int64_t{i} * (from - 1);
        int64_t found = -1;
        for (int64_t p = scaledPosition / span - 1; p <= scaledPosition / span + 1; ++p) {
            if (p < 0 || p >= from || std::llabs(p * span - scaledPosition) >= span) continue;
            if (static_cast<uint8_t>(p) == seen) found = p;
        }
        FUZZ_CHECK(found >= 0);  // no source position within one of the real one holds what was read
        taken[static_cast<size_t>(i)] = found;
    }
    FUZZ_CHECK(taken.front() == 0);
    FUZZ_CHECK(taken.back() == from - 1);
    for (size_t i = 1; i < taken.size(); ++i) FUZZ_CHECK(taken[i] >= taken[i - 1]);
    return taken;
}

}  // namespace

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
        // A destination one cell wide or high takes the first source column or row.
        const std::vector<int64_t> columns =
            width > 1 ? TakenPositions(record.bmWidth, width, true) : std::vector<int64_t>{0};
        const std::vector<int64_t> rows = height > 1 ? TakenPositions(record.bmHeight, height, false) : std::vector<int64_t>{0};
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                FUZZ_CHECK(destination[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] ==
                           sourcePixels[rows[static_cast<size_t>(y)] * record.bmWidthBytes + columns[static_cast<size_t>(x)]]);
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
