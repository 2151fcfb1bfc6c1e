// Bitmap and raw image files: layouts written, images and palettes read back, scaled reads, the
// name rule, files made by other tools.
#include "gfx/image_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "io/file_stream.h"
#include "tests/support/gfx_image.h"
#include "tests/support/image_bmp_builder.h"
#include "tests/support/io_temp_dir.h"
#include "tests/support/scramble_reference.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace {

const std::string kData = std::string(ONDREL_TEST_DATA) + "/files/";

uint32_t U32At(const std::vector<uint8_t>& f, size_t at) {
    return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint32_t>(f[at + 3]) << 24;
}

using gfxtest::TestPalette;

// The image rows of a surface: `width` bytes of each of its rows.
std::vector<std::vector<uint8_t>> Rows(const Surface& s, int width) {
    std::vector<std::vector<uint8_t>> rows;
    for (int y = 0; y < s.height; ++y)
        rows.emplace_back(s.pixels + static_cast<size_t>(y) * static_cast<size_t>(s.pitch),
                          s.pixels + static_cast<size_t>(y) * static_cast<size_t>(s.pitch) + width);
    return rows;
}

// The picture BmpFile draws, `width` × `height`.
std::vector<std::vector<uint8_t>> BuilderRows(int width, int height) {
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[static_cast<size_t>(y)].push_back(BmpFile::Pixel(x, y));
    return rows;
}

// source.ppm of the fixtures: colour number (x + 7y) mod 20 is (12n, 37n mod 256, 255 − 11n).
uint32_t SourceColour(int x, int y) {
    uint32_t n = static_cast<uint32_t>((x + 7 * y) % 20);
    return (12 * n) << 16 | (37 * n % 256) << 8 | (255 - 11 * n);
}

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override { SetDisplayFormat(640, 480, 8); }
    void TearDown() override { SetDisplayFormat(0, 0, 0); }
    IoTempDir dir;
};

TEST_F(ImageFiles, SaveBmpOfAScreenSizedSurfaceHasTheClassicLayout) {
    std::vector<uint8_t> palette = TestPalette();
    ASSERT_TRUE(SetPalette(palette.data()));
    Surface s(640, 480);
    for (int y = 0; y < 480; ++y) std::memset(s.pixels + y * s.pitch, (y * 3 + 1) & 0xFF, 640);
    s.pixels[0] = 200;  // top-left corner
    std::string name = dir.File("screen.bmp");
    ASSERT_TRUE(s.SaveToFile(name.c_str()));

    std::vector<uint8_t> f = ReadBytes(name);
    ASSERT_EQ(f.size(), 14u + 40 + 1024 + 640 * 480);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(U32At(f, 2), f.size());  // bfSize
    EXPECT_EQ(U32At(f, 6), 0u);        // both reserved fields
    EXPECT_EQ(U32At(f, 10), 1078u);    // bfOffBits
    EXPECT_EQ(U32At(f, 14), 40u);      // biSize
    EXPECT_EQ(U32At(f, 18), 640u);
    EXPECT_EQ(U32At(f, 22), 480u);     // positive: bottom-up
    EXPECT_EQ(U32At(f, 26), 1u | 8u << 16);  // planes 1, 8 bits
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(U32At(f, at), 0u) << at;
    // The colour table is the process palette as blue, green, red, 0.
    for (int i : {0, 1, 5, 128, 255}) {
        EXPECT_EQ(f[54 + 4 * i], palette[3 * i + 2]) << i;
        EXPECT_EQ(f[54 + 4 * i + 1], palette[3 * i + 1]) << i;
        EXPECT_EQ(f[54 + 4 * i + 2], palette[3 * i]) << i;
        EXPECT_EQ(f[54 + 4 * i + 3], 0) << i;
    }
    // The file's first row is the surface's bottom row, its last row the top row.
    EXPECT_EQ(f[1078], (479 * 3 + 1) & 0xFF);
    EXPECT_EQ(f[1078 + 640 * 479], 200);
    EXPECT_EQ(f[1078 + 640 * 479 + 1], 1);
    EXPECT_EQ(f.back(), 1);
}

TEST_F(ImageFiles, WithoutAPaletteSaveBmpWritesTheColourCube) {
    const uint8_t pixels[4] = {0, 73, 224, 255};
    std::string name = dir.File("cube.bmp");
    ASSERT_TRUE(SaveBmp(name.c_str(), pixels, 4, 1));
    std::vector<uint8_t> f = ReadBytes(name);
    ASSERT_EQ(f.size(), 1078u + 4);
    EXPECT_EQ(U32At(f, 54 + 4 * 73), 0x00484855u);   // red 72, green 72, blue 85
    EXPECT_EQ(U32At(f, 54 + 4 * 224), 0x00FF0000u);  // red
    EXPECT_EQ(U32At(f, 54 + 4 * 3), 0x000000FFu);    // blue
    EXPECT_EQ(U32At(f, 54 + 4 * 255), 0x00FFFFFFu);
}

TEST_F(ImageFiles, AThreePixelWideImageIsStoredWithAStrideOfFour) {
    const uint8_t pixels[6] = {1, 2, 3,   // top row
                               4, 5, 6};
    std::string name = dir.File("narrow.bmp");
    ASSERT_TRUE(SaveBmp(name.c_str(), pixels, 3, 2));
    std::vector<uint8_t> f = ReadBytes(name);
    ASSERT_EQ(f.size(), 1078u + 8);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 1078, f.end()), (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));

    Surface s(name.c_str());
    EXPECT_EQ(s.pitch, 4);
    EXPECT_EQ(s.height, 2);
    EXPECT_EQ(s.clipRight, 3);
    EXPECT_EQ(s.clipBottom, 1);
    EXPECT_EQ(Rows(s, 3), (std::vector<std::vector<uint8_t>>{{1, 2, 3}, {4, 5, 6}}));
}

TEST_F(ImageFiles, FilesWrittenByImageMagickLoadWithTheirColours) {
    for (const char* fixture : {"im-bmp3.bmp", "im-default.bmp", "im-v4.bmp"}) {
        std::string name = kData + fixture;
        Surface s(name.c_str());
        ASSERT_NE(s.pixels, nullptr) << fixture;
        EXPECT_EQ(s.pitch, 8);
        EXPECT_EQ(s.height, 5);
        std::vector<uint8_t> rgb(768, 0xEE);
        uint8_t* block = rgb.data();
        ASSERT_TRUE(ReadBmpPalette(name.c_str(), &block)) << fixture;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                int i = s.pixels[y * s.pitch + x];
                uint32_t colour = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
                EXPECT_EQ(colour, SourceColour(x, y)) << fixture << " at " << x << ", " << y;
            }
    }
}

TEST_F(ImageFiles, FilesThatImageMagickWritesInOtherFormatsAreRefused) {
    for (const char* fixture : {"im-rle8.bmp", "im-4bit.bmp", "im-24bit.bmp", "im-bmp2.bmp"}) {
        std::string name = kData + fixture;
        uint8_t stale = 0;
        uint8_t* pixels = &stale;
        EXPECT_EQ(LoadBmp(name.c_str(), &pixels), nullptr) << fixture;
        EXPECT_EQ(pixels, nullptr);
        EXPECT_EQ(Surface(name.c_str()).pixels, nullptr) << fixture;
    }
    // The run-length file still has an 8-bit colour table to give.
    std::vector<uint8_t> rgb(768);
    uint8_t* block = rgb.data();
    EXPECT_TRUE(ReadBmpPalette((kData + "im-rle8.bmp").c_str(), &block));
    EXPECT_FALSE(ReadBmpPalette((kData + "im-4bit.bmp").c_str(), &block));
    EXPECT_FALSE(ReadBmpPalette((kData + "im-24bit.bmp").c_str(), &block));
    EXPECT_FALSE(ReadBmpPalette((kData + "im-bmp2.bmp").c_str(), &block));
}

// Only 108 and 124 always announce a longer header with the table after it; with any other biSize
// whose table would not end at bfOffBits after the header, the file is read in the plain layout:
// table at 54, rows at bfOffBits.
TEST_F(ImageFiles, OtherHeaderSizesAreReadInThePlainLayout) {
    for (uint32_t infoSize : {0u, 12u, 39u, 41u, 52u, 56u, 64u, 107u, 125u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> bytes = BmpFile{}.Build();
        for (int i = 0; i < 4; ++i) bytes[14 + i] = static_cast<uint8_t>(infoSize >> (8 * i));
        std::string name = dir.File("header.bmp");
        WriteBytes(name, bytes);
        Surface s(name.c_str());
        ASSERT_NE(s.pixels, nullptr) << infoSize;
        EXPECT_EQ(Rows(s, 5), BuilderRows(5, 3)) << infoSize;
        std::vector<uint8_t> rgb(768, 0xEE);
        uint8_t* block = rgb.data();
        ASSERT_TRUE(ReadBmpPalette(name.c_str(), &block)) << infoSize;
        for (int i : {0, 1, 200, 255}) {
            EXPECT_EQ(rgb[3 * i], BmpFile::Red(i)) << infoSize << " entry " << i;
            EXPECT_EQ(rgb[3 * i + 1], BmpFile::Green(i)) << infoSize << " entry " << i;
            EXPECT_EQ(rgb[3 * i + 2], BmpFile::Blue(i)) << infoSize << " entry " << i;
        }
    }
}

// An information header longer than 40 bytes of another size (OS/2 2.x: 64; the version 2 and 3
// headers: 52 and 56) with its colour table right after it, ending exactly at bfOffBits: the
// colours come from there, the indices from bfOffBits.
TEST_F(ImageFiles, AColourTableRightAfterALongerHeaderEndingAtThePixelsIsReadThere) {
    struct Case {
        uint32_t infoSize;
        uint32_t coloursUsed;
        int entries;  // the table's entries; those past it read black
    };
    const Case cases[] = {{64, 252, 252}, {64, 0, 256}, {52, 16, 16}, {56, 256, 256}};
    // The builder's colour i is (3i, 255 − i, i xor 0x55), worked out by hand for a few entries.
    struct Colour {
        int index;
        uint8_t red, green, blue;
    };
    const Colour colours[] = {{0, 0, 255, 85},    {1, 3, 254, 84},    {15, 45, 240, 90},   {100, 44, 155, 49},
                              {251, 241, 4, 174}, {252, 244, 3, 169}, {255, 253, 0, 170}};
    for (const Case& c : cases) {
        BmpFile f;
        f.infoSize = c.infoSize;
        f.coloursUsed = c.coloursUsed;
        std::vector<uint8_t> bytes = f.Build();
        ASSERT_EQ(U32At(bytes, 10), 14 + c.infoSize + 4 * static_cast<uint32_t>(c.entries));
        std::string name = dir.File("long-header.bmp");
        WriteBytes(name, bytes);
        Surface s(name.c_str());
        ASSERT_NE(s.pixels, nullptr) << c.infoSize;
        EXPECT_EQ(Rows(s, 5), BuilderRows(5, 3)) << c.infoSize;
        std::vector<uint8_t> rgb(768, 0xEE);
        uint8_t* block = rgb.data();
        ASSERT_TRUE(ReadBmpPalette(name.c_str(), &block)) << c.infoSize;
        for (const Colour& colour : colours) {
            const bool inTable = colour.index < c.entries;
            const size_t at = 3 * static_cast<size_t>(colour.index);
            EXPECT_EQ(rgb[at], inTable ? colour.red : 0) << c.infoSize << " entry " << colour.index;
            EXPECT_EQ(rgb[at + 1], inTable ? colour.green : 0) << c.infoSize << " entry " << colour.index;
            EXPECT_EQ(rgb[at + 2], inTable ? colour.blue : 0) << c.infoSize << " entry " << colour.index;
        }
    }
}

TEST_F(ImageFiles, HeaderSizesTableLengthsRowOrderAndOffsetsOfCommonWriters) {
    struct Case {
        const char* what;
        BmpFile file;
    };
    auto make = [](auto change) {
        BmpFile f;
        change(f);
        return f;
    };
    const Case cases[] = {
        {"40-byte header", BmpFile{}},
        {"108-byte header", make([](BmpFile& f) { f.infoSize = 108; })},
        {"124-byte header", make([](BmpFile& f) { f.infoSize = 124; })},
        {"20-entry table", make([](BmpFile& f) { f.coloursUsed = 20; })},
        {"20 colours used, 256 entries written",
         make([](BmpFile& f) { f.coloursUsed = 20, f.tableEntries = 256; })},
        {"top-down rows", make([](BmpFile& f) { f.height = -3; })},
        {"top-down, 124 bytes, 2 colours",
         make([](BmpFile& f) { f.height = -3, f.infoSize = 124, f.coloursUsed = 2; })},
        {"gap before the rows", make([](BmpFile& f) { f.gap = 10; })},
        {"stride wider than needed", make([](BmpFile& f) { f.stride = 12; })},
        {"bfSize two bytes long", make([](BmpFile& f) { f.fileSize = 1078 + 8 * 3 + 2; })},
        {"one pixel", make([](BmpFile& f) { f.width = 1, f.height = 1; })},
    };
    for (const Case& c : cases) {
        std::string name = dir.File("variant.bmp");
        WriteBytes(name, c.file.Build());
        int rows = c.file.height < 0 ? -c.file.height : c.file.height;
        Surface s(name.c_str());
        ASSERT_NE(s.pixels, nullptr) << c.what;
        EXPECT_EQ(s.pitch, (c.file.width + 3) / 4 * 4) << c.what;
        EXPECT_EQ(Rows(s, c.file.width), BuilderRows(c.file.width, rows)) << c.what;

        std::vector<uint8_t> rgb(768, 0xEE);
        uint8_t* block = rgb.data();
        ASSERT_TRUE(ReadBmpPalette(name.c_str(), &block)) << c.what;
        // All 256 entries when the file has room for them before its rows, else biClrUsed.
        int entries = c.file.tableEntries >= 0 ? c.file.tableEntries
                      : c.file.coloursUsed    ? static_cast<int>(c.file.coloursUsed)
                                              : 256;
        for (int i = 0; i < 256; ++i) {
            bool inTable = i < entries;
            ASSERT_EQ(rgb[3 * i], inTable ? BmpFile::Red(i) : 0) << c.what << " entry " << i;
            ASSERT_EQ(rgb[3 * i + 1], inTable ? BmpFile::Green(i) : 0) << c.what << " entry " << i;
            ASSERT_EQ(rgb[3 * i + 2], inTable ? BmpFile::Blue(i) : 0) << c.what << " entry " << i;
        }
    }
}

TEST_F(ImageFiles, TheRowStrideComesFromTheFileSize) {
    // 5 wide, 3 rows, bfSize − bfOffBits = 18: stride 6, one padding byte skipped per row.
    BmpFile f;
    f.stride = 6;
    std::vector<uint8_t> bytes = f.Build();
    ASSERT_EQ(bytes.size(), 1078u + 18);
    std::string name = dir.File("stride6.bmp");
    WriteBytes(name, bytes);
    Surface s(name.c_str());
    ASSERT_NE(s.pixels, nullptr);
    EXPECT_EQ(Rows(s, 5), BuilderRows(5, 3));
}

TEST_F(ImageFiles, ReadBmpPaletteTakesEveryEntryAndLeavesTheBlockOnFailure) {
    std::string name = dir.File("palette.bmp");
    WriteBytes(name, BmpFile{}.Build());
    std::vector<uint8_t> rgb(768, 0xEE);
    uint8_t* block = rgb.data();
    ASSERT_TRUE(ReadBmpPalette(name.c_str(), &block));
    EXPECT_EQ(rgb[3 * 255], BmpFile::Red(255));
    EXPECT_EQ(rgb[3 * 255 + 1], BmpFile::Green(255));
    EXPECT_EQ(rgb[3 * 255 + 2], BmpFile::Blue(255));
    EXPECT_EQ(rgb[3 * 7], BmpFile::Red(7));

    std::vector<uint8_t> before = rgb;
    uint8_t* none = nullptr;
    EXPECT_FALSE(ReadBmpPalette(name.c_str(), &none));
    EXPECT_FALSE(ReadBmpPalette(name.c_str(), nullptr));
    EXPECT_FALSE(ReadBmpPalette(dir.File("missing.bmp").c_str(), &block));
    BmpFile fourBit;
    fourBit.bitCount = 4;
    WriteBytes(name, fourBit.Build());
    EXPECT_FALSE(ReadBmpPalette(name.c_str(), &block));
    EXPECT_EQ(rgb, before);
}

TEST_F(ImageFiles, LoadPaletteFromBmpSetsTheProcessPaletteOnlyOnSuccess) {
    std::string name = dir.File("palette.bmp");
    WriteBytes(name, BmpFile{}.Build());
    EXPECT_FALSE(LoadPaletteFromBmp(dir.File("missing.bmp").c_str()));
    uint8_t rgb[768];
    EXPECT_FALSE(CopyPalette(rgb));  // still none
    ASSERT_TRUE(LoadPaletteFromBmp(name.c_str()));
    ASSERT_TRUE(CopyPalette(rgb));
    EXPECT_EQ(rgb[3 * 9], BmpFile::Red(9));
    EXPECT_EQ(rgb[3 * 9 + 2], BmpFile::Blue(9));
    EXPECT_FALSE(LoadPaletteFromBmp((kData + "im-24bit.bmp").c_str()));
    ASSERT_TRUE(CopyPalette(rgb));
    EXPECT_EQ(rgb[3 * 9 + 1], BmpFile::Green(9));
}

TEST_F(ImageFiles, TheExtensionRuleIsLowerCaseBmpAfterTheLastDot) {
    struct Case {
        const char* name;
        bool bitmap;
    };
    const Case cases[] = {
        {"a.bmp", true},   {"a.bmpx", true},  {"a.raw.bmp", true}, {"a.BMP", false},
        {"a.raw", false},  {"noextension", false}, {"a.bmp.raw", false}, {"a.bm", false},
        {"a.Bmp", false},  {"a.", false},
    };
    Surface s(8, 2);
    for (int i = 0; i < 16; ++i) s.pixels[i] = static_cast<uint8_t>(i + 1);
    for (const Case& c : cases) {
        std::string name = dir.File(c.name);
        ASSERT_TRUE(s.SaveToFile(name.c_str())) << c.name;
        std::vector<uint8_t> f = ReadBytes(name);
        if (c.bitmap) {
            EXPECT_EQ(f.size(), 1078u + 16) << c.name;
            EXPECT_EQ(f[0], 'B') << c.name;
        } else {
            ASSERT_EQ(f.size(), 4u + 16) << c.name;
            EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 4), (std::vector<uint8_t>{8, 0, 2, 0})) << c.name;
        }
        // Reading goes by the same rule and gets the picture back.
        Surface back(name.c_str());
        ASSERT_NE(back.pixels, nullptr) << c.name;
        EXPECT_EQ(Rows(back, 8), Rows(s, 8)) << c.name;
        std::remove(name.c_str());
    }
    // A bitmap file under an upper-case name goes to the raw reader, which refuses it.
    std::string upper = dir.File("picture.BMP");
    ASSERT_TRUE(SaveBmp(upper.c_str(), s.pixels, 8, 2));
    EXPECT_EQ(Surface(upper.c_str()).pixels, nullptr);
    EXPECT_FALSE(s.LoadScaled(upper.c_str()));
}

TEST_F(ImageFiles, RawImagesRoundTripWithTheirExactLength) {
    const int width = 6, height = 3;
    std::vector<uint8_t> pixels(width * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(200 - 9 * i);
    std::string name = dir.File("image.raw");
    ASSERT_TRUE(SaveRawImage(name.c_str(), pixels.data(), width, height));
    std::vector<uint8_t> f = ReadBytes(name);
    ASSERT_EQ(f.size(), 4u + width * height);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 4), (std::vector<uint8_t>{6, 0, 3, 0}));
    // The pixel block is the scrambled block of the file format, keyed by width and height.
    std::vector<uint8_t> block(f.begin() + 4, f.end());
    EXPECT_NE(block, pixels);
    EXPECT_EQ(ReferenceUnscramble(block, width, height), pixels);

    uint8_t* bits = nullptr;
    HBITMAP bitmap = LoadRawImage(name.c_str(), &bits);
    ASSERT_NE(bitmap, nullptr);
    BITMAP record{};
    ASSERT_NE(GetObjectA(bitmap, sizeof record, &record), 0);
    EXPECT_EQ(record.bmWidth, 6);
    EXPECT_EQ(record.bmWidthBytes, 8);
    for (int y = 0; y < height; ++y)
        EXPECT_EQ(0, std::memcmp(bits + y * 8, pixels.data() + y * width, width)) << y;
    DeleteObject(bitmap);

    EXPECT_FALSE(SaveRawImage(name.c_str(), pixels.data(), 70000, 1));  // 16 bits cannot hold it
    EXPECT_FALSE(SaveRawImage(name.c_str(), nullptr, 6, 3));
    EXPECT_EQ(ReadBytes(name), f);
}

TEST_F(ImageFiles, ScalingTwoByTwoToThreeByThreeTruncatesTheFactor) {
    const uint8_t source[4] = {1, 2,
                               3, 4};
    std::string raw = dir.File("two.raw");
    std::string bmp = dir.File("two.bmp");
    ASSERT_TRUE(SaveRawImage(raw.c_str(), source, 2, 2));
    ASSERT_TRUE(SaveBmp(bmp.c_str(), source, 2, 2));
    const std::vector<uint8_t> expected = {1, 1, 2,
                                           1, 1, 2,
                                           3, 3, 4};
    for (auto scaled : {LoadRawImageScaled, LoadBmpScaled}) {
        std::vector<uint8_t> destination(9, 0);
        uint8_t* d = destination.data();
        ASSERT_TRUE(scaled(scaled == LoadBmpScaled ? bmp.c_str() : raw.c_str(), &d, 3, 3));
        EXPECT_EQ(destination, expected);
    }
}

TEST_F(ImageFiles, ScalingSixtyTwoColumnsToEightPutsTheLastColumnLast) {
    // Each source pixel holds its column, plus 100 on the second row. Columns x × 61 / 7: a
    // factor 61 / 7 taken in floating point would make 7 × (61 / 7) fall just short of 61.
    std::vector<uint8_t> source(62 * 2);
    for (int x = 0; x < 62; ++x) {
        source[x] = static_cast<uint8_t>(x);
        source[62 + x] = static_cast<uint8_t>(100 + x);
    }
    std::string raw = dir.File("wide.raw");
    std::string bmp = dir.File("wide.bmp");
    ASSERT_TRUE(SaveRawImage(raw.c_str(), source.data(), 62, 2));
    ASSERT_TRUE(SaveBmp(bmp.c_str(), source.data(), 62, 2));
    const std::vector<uint8_t> expected = {0,   8,   17,  26,  34,  43,  52,  61,
                                           100, 108, 117, 126, 134, 143, 152, 161};
    for (auto scaled : {LoadRawImageScaled, LoadBmpScaled}) {
        std::vector<uint8_t> destination(16, 0);
        uint8_t* d = destination.data();
        ASSERT_TRUE(scaled(scaled == LoadBmpScaled ? bmp.c_str() : raw.c_str(), &d, 8, 2));
        EXPECT_EQ(destination, expected);
    }
}

TEST_F(ImageFiles, ScaledReadsPutCornersOnCornersAndKeepTheDestinationOnFailure) {
    // 5 × 3 to 3 × 2: columns 0, 2, 4 (factor 2) and rows 0, 2 (factor 2).
    std::string name = dir.File("five.bmp");
    WriteBytes(name, BmpFile{}.Build());
    std::vector<uint8_t> d(6, 0);
    uint8_t* p = d.data();
    ASSERT_TRUE(LoadBmpScaled(name.c_str(), &p, 3, 2));
    EXPECT_EQ(d, (std::vector<uint8_t>{BmpFile::Pixel(0, 0), BmpFile::Pixel(2, 0), BmpFile::Pixel(4, 0),
                                       BmpFile::Pixel(0, 2), BmpFile::Pixel(2, 2), BmpFile::Pixel(4, 2)}));
    // 5 × 3 to 4 × 4: factors 4/3 and 2/3, columns 0, 1, 2, 4 and rows 0, 0, 1, 2.
    std::vector<uint8_t> big(16, 0);
    p = big.data();
    ASSERT_TRUE(LoadBmpScaled(name.c_str(), &p, 4, 4));
    const int columns[4] = {0, 1, 2, 4}, rows[4] = {0, 0, 1, 2};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(big[y * 4 + x], BmpFile::Pixel(columns[x], rows[y])) << x << "," << y;
    // One column or one row: the first source column or row.
    std::vector<uint8_t> line(3, 0);
    p = line.data();
    ASSERT_TRUE(LoadBmpScaled(name.c_str(), &p, 1, 3));
    EXPECT_EQ(line, (std::vector<uint8_t>{BmpFile::Pixel(0, 0), BmpFile::Pixel(0, 1), BmpFile::Pixel(0, 2)}));

    std::vector<uint8_t> untouched(6, 9);
    p = untouched.data();
    EXPECT_FALSE(LoadBmpScaled(dir.File("missing.bmp").c_str(), &p, 3, 2));
    EXPECT_FALSE(LoadRawImageScaled(name.c_str(), &p, 3, 2));  // a bitmap is no raw image
    EXPECT_FALSE(LoadBmpScaled(name.c_str(), &p, 0, 2));
    EXPECT_EQ(untouched, std::vector<uint8_t>(6, 9));
}

TEST_F(ImageFiles, LoadScaledResamplesIntoTheSurfaceKeepingItsSize) {
    const uint8_t source[4] = {1, 2, 3, 4};
    std::string name = dir.File("two.raw");
    ASSERT_TRUE(SaveRawImage(name.c_str(), source, 2, 2));
    Surface s(5, 2);  // pitch 8
    ASSERT_TRUE(s.LoadScaled(name.c_str()));
    EXPECT_EQ(s.pitch, 8);
    // 8 columns from 2: x / 7 rounded down picks column 1 only for x = 7.
    EXPECT_EQ(Rows(s, 8), (std::vector<std::vector<uint8_t>>{{1, 1, 1, 1, 1, 1, 1, 2}, {3, 3, 3, 3, 3, 3, 3, 4}}));
    Surface empty;
    EXPECT_FALSE(empty.LoadScaled(name.c_str()));
}

// An image without pixels is still a bitmap file: the headers and the colour table, rows of
// stride 0 (width 0) or no rows (height 0).
TEST_F(ImageFiles, ImagesWithoutPixelsSaveAsHeadersAndTable) {
    struct Case {
        const char* what;
        int32_t width, height;
        bool withPixels;
    };
    const uint8_t some[4] = {1, 2, 3, 4};
    const Case cases[] = {{"0 wide", 0, 5, false}, {"0 high", 7, 0, true}, {"0 by 0", 0, 0, false}};
    for (const Case& c : cases) {
        std::string name = dir.File("none.bmp");
        ASSERT_TRUE(SaveBmp(name.c_str(), c.withPixels ? some : nullptr, c.width, c.height)) << c.what;
        std::vector<uint8_t> f = ReadBytes(name);
        ASSERT_EQ(f.size(), 1078u) << c.what;
        EXPECT_EQ(U32At(f, 2), 1078u) << c.what;   // bfSize
        EXPECT_EQ(U32At(f, 10), 1078u) << c.what;  // bfOffBits
        EXPECT_EQ(U32At(f, 14), 40u) << c.what;
        EXPECT_EQ(static_cast<int32_t>(U32At(f, 18)), c.width) << c.what;
        EXPECT_EQ(static_cast<int32_t>(U32At(f, 22)), c.height) << c.what;
        EXPECT_EQ(U32At(f, 26), 1u | 8u << 16) << c.what;
        EXPECT_EQ(U32At(f, 54 + 4 * 224), 0x00FF0000u) << c.what;  // the 3-3-2 cube's red
        std::remove(name.c_str());
    }
    Surface empty;
    ASSERT_TRUE(empty.SaveToFile(dir.File("empty.bmp").c_str()));
    EXPECT_EQ(ReadBytes(dir.File("empty.bmp")).size(), 1078u);
    // Sizes below 0 are no image, and pixels are needed when there are any.
    EXPECT_FALSE(SaveBmp(dir.File("bad.bmp").c_str(), some, -1, 1));
    EXPECT_FALSE(SaveBmp(dir.File("bad.bmp").c_str(), some, 1, -1));
    EXPECT_FALSE(SaveBmp(dir.File("bad.bmp").c_str(), nullptr, 1, 1));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"empty.bmp"});
}

TEST_F(ImageFiles, SavedBitmapsReadBackInImageMagickWithTheSameColours) {
#if defined(_WIN32)
    GTEST_SKIP() << "needs ImageMagick's convert through popen";
#else
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "convert is not installed";
    std::vector<uint8_t> palette = TestPalette();
    ASSERT_TRUE(SetPalette(palette.data()));
    const int width = 5, height = 3;
    uint8_t pixels[width * height];
    for (int i = 0; i < width * height; ++i) pixels[i] = static_cast<uint8_t>(i * 17 + 3);
    std::string name = dir.File("for-convert.bmp");
    ASSERT_TRUE(SaveBmp(name.c_str(), pixels, width, height));

    std::string command = "convert '" + name + "' txt:- 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char chunk[256];
    while (size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) output.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0) << output;

    // Lines look like "3,1: (12,37,244)  #0C25F4  srgb(12,37,244)".
    std::map<std::pair<int, int>, std::string> seen;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        int x, y;
        size_t hash = line.find('#');
        if (line[0] == '#' || hash == std::string::npos || std::sscanf(line.c_str(), "%d,%d:", &x, &y) != 2) continue;
        seen[{x, y}] = line.substr(hash + 1, 6);
    }
    ASSERT_EQ(seen.size(), static_cast<size_t>(width * height)) << output;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int i = pixels[y * width + x];
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02X%02X%02X", palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
            EXPECT_EQ(seen[std::make_pair(x, y)], hex) << x << ", " << y;
        }
#endif
}

TEST_F(ImageFiles, AFailedSaveIsReportedAndKeepsTheOlderFile) {
    Surface s(64, 64);
    s.Clear(9);
    EXPECT_FALSE(s.SaveToFile(dir.File("no-folder/x.bmp").c_str()));
    EXPECT_FALSE(s.SaveToFile(dir.File("no-folder/x.raw").c_str()));
#if !defined(_WIN32)
    std::string bmp = dir.File("old.bmp");
    std::string raw = dir.File("old.raw");
    WriteBytes(bmp, Bytes("old bitmap"));
    WriteBytes(raw, Bytes("old raw"));
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1500;  // room for a header, not for 64 × 64 pixels
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool savedBmp = s.SaveToFile(bmp.c_str());
    bool savedRaw = s.SaveToFile(raw.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(savedBmp);
    EXPECT_FALSE(savedRaw);
    EXPECT_EQ(ReadBytes(bmp), Bytes("old bitmap"));
    EXPECT_EQ(ReadBytes(raw), Bytes("old raw"));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.bmp", "old.raw"}));
#endif
}

}  // namespace
