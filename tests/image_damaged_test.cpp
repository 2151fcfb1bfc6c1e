// Damaged and unsupported image files: each must give its failure result, never a crash, a hang
// or a read out of bounds (this test is meant to run under the sanitizers too).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx/image_files.h"
#include "gfx/surface.h"
#include "tests/support/image_bmp_builder.h"
#include "tests/support/io_temp_dir.h"

namespace {

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(std::vector<uint8_t>& f, size_t at, uint16_t v) {
    f[at] = static_cast<uint8_t>(v);
    f[at + 1] = static_cast<uint8_t>(v >> 8);
}

struct Damage {
    std::string what;
    std::vector<uint8_t> bytes;
    bool paletteReadable;  // whether the colour table can still be read
};

std::vector<Damage> DamagedBitmaps() {
    const std::vector<uint8_t> good = BmpFile{}.Build();  // 5 × 3, stride 8, rows at 1078
    std::vector<Damage> cases;
    // Cut at every field boundary of the two headers, inside the colour table, and in the rows.
    for (size_t length : {0, 1, 2, 6, 8, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 53, 54, 566, 1077}) {
        cases.push_back({"cut to " + std::to_string(length),
                         std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)), false});
    }
    for (size_t length : {1078u, 1078u + 8, 1078u + 16, 1078u + 20}) {  // last: one pixel short
        cases.push_back({"rows cut to " + std::to_string(length),
                         std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length)), true});
    }
    auto patched = [&](const std::string& what, bool paletteReadable, std::function<void(std::vector<uint8_t>&)> change) {
        std::vector<uint8_t> f = good;
        change(f);
        cases.push_back({what, f, paletteReadable});
    };
    patched("magic MB", false, [](auto& f) { f[0] = 'M', f[1] = 'B'; });
    patched("magic zero", false, [](auto& f) { f[0] = 0, f[1] = 0; });
    patched("width 0", true, [](auto& f) { Put32(f, 18, 0); });
    patched("height 0", true, [](auto& f) { Put32(f, 22, 0); });
    patched("width -5", true, [](auto& f) { Put32(f, 18, static_cast<uint32_t>(-5)); });
    patched("height most negative", true, [](auto& f) { Put32(f, 22, 0x80000000u); });
    patched("width 2^30", true, [](auto& f) { Put32(f, 18, 1u << 30); });
    patched("height 2^30", true, [](auto& f) { Put32(f, 22, 1u << 30); });
    patched("width and height 65535", true, [](auto& f) { Put32(f, 18, 65535), Put32(f, 22, 65535); });
    patched("width largest", true, [](auto& f) { Put32(f, 18, 0x7FFFFFFF); });
    patched("bfSize largest", true, [](auto& f) { Put32(f, 2, 0xFFFFFFFFu); });
    patched("bfSize 0", true, [](auto& f) { Put32(f, 2, 0); });
    patched("bfSize below bfOffBits", true, [](auto& f) { Put32(f, 2, 1000); });
    patched("stride below the width", true, [](auto& f) { Put32(f, 2, 1078 + 4 * 3); });
    patched("bfOffBits largest", true, [](auto& f) { Put32(f, 10, 0xFFFFFFFFu); });
    patched("bfOffBits inside the table", true, [](auto& f) { Put32(f, 10, 54); });
    patched("bfOffBits 0", true, [](auto& f) { Put32(f, 10, 0); });
    patched("rows past the end", true, [](auto& f) { Put32(f, 10, 1078 + 8), Put32(f, 2, 1078 + 8 + 24); });
    patched("biSize 124 in a short file", false, [](auto& f) {
        Put32(f, 14, 124);
        f.resize(14 + 124 + 100);
    });
    patched("257 colours", false, [](auto& f) { Put32(f, 46, 257); });
    patched("colours largest", false, [](auto& f) { Put32(f, 46, 0xFFFFFFFFu); });
    patched("4 bits", false, [](auto& f) { Put16(f, 28, 4); });
    patched("24 bits", false, [](auto& f) { Put16(f, 28, 24); });
    patched("1 bit", false, [](auto& f) { Put16(f, 28, 1); });
    patched("32 bits", false, [](auto& f) { Put16(f, 28, 32); });
    patched("run-length 8", true, [](auto& f) { Put32(f, 30, 1); });
    patched("run-length 4", true, [](auto& f) { Put32(f, 30, 2); });
    patched("bit fields", true, [](auto& f) { Put32(f, 30, 3); });
    patched("planes 0", true, [](auto& f) { Put16(f, 26, 0); });
    patched("planes 2", true, [](auto& f) { Put16(f, 26, 2); });
    return cases;
}

TEST(DamagedImages, BitmapReadersGiveTheirFailureResult) {
    IoTempDir dir;
    std::string name = dir.File("damaged.bmp");
    for (const Damage& d : DamagedBitmaps()) {
        WriteBytes(name, d.bytes);
        uint8_t stale = 0;
        uint8_t* pixels = &stale;
        HBITMAP bitmap = LoadBmp(name.c_str(), &pixels);
        EXPECT_EQ(bitmap, nullptr) << d.what;
        EXPECT_EQ(pixels, nullptr) << d.what;
        if (bitmap) DeleteObject(bitmap);

        Surface s(name.c_str());
        EXPECT_EQ(s.pixels, nullptr) << d.what;
        EXPECT_EQ(s.pitch, 0) << d.what;
        EXPECT_EQ(s.clipRight, -1) << d.what;

        std::vector<uint8_t> destination(4, 7);
        uint8_t* target = destination.data();
        EXPECT_FALSE(LoadBmpScaled(name.c_str(), &target, 2, 2)) << d.what;
        EXPECT_EQ(destination, std::vector<uint8_t>(4, 7)) << d.what;

        std::vector<uint8_t> rgb(768, 0xEE);
        uint8_t* block = rgb.data();
        EXPECT_EQ(ReadBmpPalette(name.c_str(), &block), d.paletteReadable) << d.what;
        if (!d.paletteReadable) {
            EXPECT_EQ(rgb, std::vector<uint8_t>(768, 0xEE)) << d.what;
        }
    }
}

TEST(DamagedImages, RawReaderGivesItsFailureResult) {
    IoTempDir dir;
    std::string name = dir.File("damaged.raw");
    const std::vector<Damage> cases = {
        {"empty", {}, false},
        {"one byte", {4}, false},
        {"width only", {4, 0}, false},
        {"three bytes", {4, 0, 2}, false},
        {"width 0", {0, 0, 2, 0, 1, 2}, false},
        {"height 0", {2, 0, 0, 0, 1, 2}, false},
        {"one pixel short", {2, 0, 2, 0, 1, 2, 3}, false},
        {"65535 squared", {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}, false},
        {"65535 wide, no pixels", {0xFF, 0xFF, 1, 0}, false},
    };
    for (const Damage& d : cases) {
        WriteBytes(name, d.bytes);
        uint8_t stale = 0;
        uint8_t* pixels = &stale;
        HBITMAP bitmap = LoadRawImage(name.c_str(), &pixels);
        EXPECT_EQ(bitmap, nullptr) << d.what;
        EXPECT_EQ(pixels, nullptr) << d.what;
        if (bitmap) DeleteObject(bitmap);
        EXPECT_EQ(Surface(name.c_str()).pixels, nullptr) << d.what;
        std::vector<uint8_t> destination(4, 7);
        uint8_t* target = destination.data();
        EXPECT_FALSE(LoadRawImageScaled(name.c_str(), &target, 2, 2)) << d.what;
        EXPECT_EQ(destination, std::vector<uint8_t>(4, 7)) << d.what;
    }
    // The smallest sound file loads: 1 × 1.
    WriteBytes(name, {1, 0, 1, 0, 42});
    Surface one(name.c_str());
    ASSERT_NE(one.pixels, nullptr);
    EXPECT_EQ(one.pixels[0], 42);
}

TEST(DamagedImages, MissingFilesAndNullNames) {
    IoTempDir dir;
    std::string missing = dir.File("missing");
    uint8_t* pixels = nullptr;
    EXPECT_EQ(LoadBmp(missing.c_str(), &pixels), nullptr);
    EXPECT_EQ(LoadRawImage(missing.c_str(), &pixels), nullptr);
    EXPECT_EQ(LoadBmp(nullptr, &pixels), nullptr);
    EXPECT_EQ(LoadRawImage(nullptr, &pixels), nullptr);
    EXPECT_EQ(Surface(static_cast<const char*>(nullptr)).pixels, nullptr);
    const uint8_t one = 1;
    EXPECT_FALSE(SaveBmp(nullptr, &one, 1, 1));
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
