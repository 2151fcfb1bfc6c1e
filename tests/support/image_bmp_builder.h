// Bitmap files built field by field for the image-file tests, with every header field open to
// change, so that each kind of file a real tool writes, and each kind of damage, can be made.
#pragma once

#include <cstdint>
#include <vector>

struct BmpFile {
    int32_t width = 5;
    int32_t height = 3;  // negative: rows stored top-down
    uint32_t infoSize = 40;
    uint16_t planes = 1;
    uint16_t bitCount = 8;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;  // biClrUsed, 0 meaning 256
    int32_t tableEntries = -1; // entries written; -1: as biClrUsed says
    int32_t stride = 0;        // 0: the width rounded up to a multiple of 4
    uint32_t gap = 0;          // bytes between the colour table and the rows
    int64_t fileSize = -1;     // bfSize; -1: the file's true length
    int64_t pixelOffset = -1;  // bfOffBits; -1: where the rows really start
    uint16_t magic = 0x4D42;

    // The pixel at (x, y) of the image, y counted from the top: distinct everywhere.
    static uint8_t Pixel(int x, int y) { return static_cast<uint8_t>(1 + x + 10 * y); }
    // Colour-table entry i as red, green, blue.
    static uint8_t Red(int i) { return static_cast<uint8_t>(3 * i); }
    static uint8_t Green(int i) { return static_cast<uint8_t>(255 - i); }
    static uint8_t Blue(int i) { return static_cast<uint8_t>(i ^ 0x55); }

    std::vector<uint8_t> Build() const {
        int32_t rows = height < 0 ? -height : height;
        int32_t rowBytes = stride ? stride : (width + 3) / 4 * 4;
        uint32_t entries = tableEntries >= 0 ? static_cast<uint32_t>(tableEntries) : coloursUsed ? coloursUsed : 256;
        size_t tableEnd = 14 + infoSize + 4 * static_cast<size_t>(entries);
        size_t start = tableEnd + gap;
        std::vector<uint8_t> f(start + static_cast<size_t>(rowBytes) * static_cast<size_t>(rows), 0);
        uint8_t* bytes = f.data();
        if (!bytes) return f;
        auto put16 = [bytes](size_t at, uint32_t v) {
            bytes[at] = static_cast<uint8_t>(v);
            bytes[at + 1] = static_cast<uint8_t>(v >> 8);
        };
        auto put32 = [&](size_t at, uint32_t v) {
            put16(at, v);
            put16(at + 2, v >> 16);
        };
        put16(0, magic);
        put32(2, static_cast<uint32_t>(fileSize >= 0 ? fileSize : static_cast<int64_t>(f.size())));
        put32(10, static_cast<uint32_t>(pixelOffset >= 0 ? pixelOffset : static_cast<int64_t>(start)));
        put32(14, infoSize);
        put32(18, static_cast<uint32_t>(width));
        put32(22, static_cast<uint32_t>(height));
        put16(26, planes);
        put16(28, bitCount);
        put32(30, compression);
        put32(34, static_cast<uint32_t>(rowBytes * rows));
        put32(38, 2835);
        put32(42, 2835);
        put32(46, coloursUsed);
        put32(50, coloursUsed);
        if (infoSize >= 108) put32(54, 0x73524742);  // "sRGB" colour space
        for (uint32_t i = 0; i < entries; ++i) {
            size_t at = 14 + infoSize + 4 * static_cast<size_t>(i);
            f[at] = Blue(static_cast<int>(i));
            f[at + 1] = Green(static_cast<int>(i));
            f[at + 2] = Red(static_cast<int>(i));
        }
        for (int32_t k = 0; k < rows; ++k) {
            int32_t y = height < 0 ? k : rows - 1 - k;
            for (int32_t x = 0; x < width && x < rowBytes; ++x)
                f[start + static_cast<size_t>(k) * static_cast<size_t>(rowBytes) + static_cast<size_t>(x)] = Pixel(x, y);
        }
        return f;
    }
};
