// Writing a picture with its palette as a Windows icon file (.ico): one 8-bit image, fully
// opaque. The Windows build compiles media/icon.txt with it into the program's icon resource.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/palette.h"
#include "tools/media_sources.h"

namespace media {

// An icon file holds: a 6-byte directory header, one 16-byte directory entry, then the image as
// a bitmap without its file header: BITMAPINFOHEADER (height counting the colour rows and the
// mask rows, so twice the picture's), 256 colour entries (blue, green, red, 0), the colour rows
// bottom-up padded to 4 bytes, and the 1-bit transparency mask rows, likewise (all 0: opaque).
inline bool WriteIcon(const std::filesystem::path& file, const Sheet& picture,
                      const std::array<uint8_t, kPaletteBytes>& rgb, std::string* error) {
    const int width = picture.width;
    const int height = picture.height;
    if (width < 1 || width > 256 || height < 1 || height > 256 ||
        picture.pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return detail::Fail(error, 0, "an icon is 1 to 256 pixels each way");
    const uint32_t colourRow = (static_cast<uint32_t>(width) + 3) / 4 * 4;
    const uint32_t maskRow = (static_cast<uint32_t>(width) + 31) / 32 * 4;
    const uint32_t imageBytes = 40 + 256 * 4 + (colourRow + maskRow) * static_cast<uint32_t>(height);

    std::vector<uint8_t> out;
    auto u8 = [&](uint32_t v) { out.push_back(static_cast<uint8_t>(v)); };
    auto u16 = [&](uint32_t v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    u16(0);  // reserved
    u16(1);  // an icon, not a cursor
    u16(1);  // images
    u8(width == 256 ? 0 : static_cast<uint32_t>(width));  // 0 stands for 256
    u8(height == 256 ? 0 : static_cast<uint32_t>(height));
    u8(0);   // colours: 0 for 256
    u8(0);   // reserved
    u16(1);  // planes
    u16(8);  // bits per pixel
    u32(imageBytes);
    u32(22);  // where the image starts: right after this entry
    u32(40);
    u32(static_cast<uint32_t>(width));
    u32(static_cast<uint32_t>(2 * height));
    u16(1);
    u16(8);
    for (int i = 0; i < 6; ++i) u32(0);  // compression, image size, resolutions, colours used and important
    for (size_t i = 0; i < 256; ++i) {
        u8(rgb[3 * i + 2]);
        u8(rgb[3 * i + 1]);
        u8(rgb[3 * i]);
        u8(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = picture.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        out.insert(out.end(), row, row + width);
        out.resize(out.size() + (colourRow - static_cast<uint32_t>(width)), 0);
    }
    out.resize(out.size() + static_cast<size_t>(maskRow) * static_cast<size_t>(height), 0);

    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    stream.close();
    return stream ? true : detail::Fail(error, 0, "cannot write " + file.string());
}

// media/icon.txt (the sprite sheet's form: "colour" lines, "sheet", the rows) with the palette
// of palette.txt, as an icon file.
inline bool CompileIcon(const std::filesystem::path& sources, const std::filesystem::path& file, std::string* error) {
    std::array<uint8_t, kPaletteBytes> palette{};
    Sheet picture;
    std::string detail;
    {
        std::ifstream in(sources / "palette.txt");
        if (!in || !ParsePalette(in, &palette, &detail)) return detail::Fail(error, 0, "palette.txt: " + detail);
    }
    {
        std::ifstream in(sources / "icon.txt");
        if (!in) return detail::Fail(error, 0, "cannot read " + (sources / "icon.txt").string());
        if (!ParseSheet(in, &picture, &detail)) return detail::Fail(error, 0, "icon.txt: " + detail);
    }
    return WriteIcon(file, picture, palette, error);
}

}  // namespace media
