// The bitmap font read from a file, with any cell size and any file, then used to draw any
// text. Beside the sanitizers: cell sizes whose strip cannot be addressed give a font without
// glyphs; otherwise the strip is the file's first bytes and background (0) past a short file;
// drawing stays inside the surface (the address sanitizer watches its edges) and writes only the
// text colour.
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "gfx/font.h"
#include "gfx/surface.h"

namespace {

// Cell sizes: mostly small, sometimes at the edges of the range.
int32_t CellSize(uint8_t b) {
    static const int32_t kEdges[] = {0, -1, -8, INT32_MIN, INT32_MAX, 1 << 16, 23342, 23343};
    return b < 0xF0 ? 1 + b % 20 : kEdges[b % 8];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Bytes in(data, size);
    const int32_t cellWidth = CellSize(in.U8());
    const int32_t cellHeight = CellSize(in.U8());
    const uint8_t textLength = in.U8() % 24;
    std::string text;
    for (int i = 0; i < textLength; ++i) text += static_cast<char>(in.U8() | 1);  // no NUL inside
    const int32_t x = static_cast<int8_t>(in.U8());
    const int32_t y = static_cast<int8_t>(in.U8());
    const uint8_t flags = in.U8();
    std::string name = fuzz::WriteFile("font.fon", in.Rest(), in.RestSize());

    const bool addressable =
        cellWidth > 0 && cellHeight > 0 && int64_t{BitmapFont::kGlyphCount} * cellWidth <= INT32_MAX / cellHeight;
    const int64_t strip = addressable ? int64_t{BitmapFont::kGlyphCount} * cellWidth * cellHeight : 0;
    if (addressable && strip > (int64_t{1} << 20)) return 0;  // sound, but too big to fuzz quickly

    BitmapFont font(cellWidth, cellHeight, name.c_str());
    FUZZ_CHECK(font.CellWidth() == cellWidth && font.CellHeight() == cellHeight);
    FUZZ_CHECK((font.glyphs != nullptr) == addressable);
    if (!font.glyphs) return 0;
    size_t fromFile = in.RestSize() < static_cast<size_t>(strip) ? in.RestSize() : static_cast<size_t>(strip);
    FUZZ_CHECK(fromFile == 0 || std::memcmp(font.glyphs, in.Rest(), fromFile) == 0);
    for (size_t i = fromFile; i < static_cast<size_t>(strip); ++i) FUZZ_CHECK(font.glyphs[i] == 0);

    Surface surface(40, 24);
    surface.Clear(7);
    const bool drew = DrawText(&font, x, y, text.c_str(), &surface, 200, flags & 1, false);
    FUZZ_CHECK(drew == !text.empty());
    for (int32_t i = 0; i < surface.pitch * surface.height; ++i)
        FUZZ_CHECK(surface.pixels[i] == 7 || surface.pixels[i] == 200);
    return 0;
}
