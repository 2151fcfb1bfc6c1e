// Bitmap files and raw images, read and written field by field with every size checked against
// the file, and the scaled readers.
#include "gfx/image_files.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "gfx/palette.h"
#include "gfx/surface.h"
#include "io/file_stream.h"

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kColourTableBytes = 1024;
constexpr uint16_t kBitmapMagic = 0x4D42;  // "BM"

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// What the headers of a bitmap file say, checked against the file.
struct BmpHeaders {
    uint32_t fileSize;     // bfSize
    uint32_t pixelOffset;  // bfOffBits
    int32_t width;
    int32_t height;        // negative: rows stored top-down
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    int64_t tableOffset;   // the colour table follows the information header
    int32_t tableEntries;  // biClrUsed, 0 meaning 256
};

// Reads the file header and the first 40 bytes of the information header. A biSize of 108 or
// 124 announces the longer headers that image tools write (ImageMagick, GIMP), whose fields past
// the first 40 describe colour spaces and are skipped, with the colour table after them. Another
// biSize above 40 (the 64 bytes of an OS/2 2.x file, the 52 or 56 of the version 2 and 3 headers)
// puts the table after the header too when a table of biClrUsed entries (0 meaning 256) placed
// there ends exactly where the pixel rows start (bfOffBits), inside the file. Any other biSize
// counts for nothing, as in the classic reader: the table is taken at 54. True when the magic is
// right and the colour table lies inside the file.
bool ReadBmpHeaders(FileStream& in, int64_t fileLength, BmpHeaders* h) {
    uint8_t header[kFileHeaderBytes + kInfoHeaderBytes];
    if (!in.Read(header, sizeof header) || U16(header) != kBitmapMagic) return false;
    h->fileSize = U32(header + 2);
    // bfReserved1 and bfReserved2 (offsets 6 and 8) are not used.
    h->pixelOffset = U32(header + 10);
    const uint8_t* info = header + kFileHeaderBytes;
    const uint32_t infoSize = U32(info);
    h->width = I32(info + 4);
    h->height = I32(info + 8);
    h->planes = U16(info + 12);
    h->bitCount = U16(info + 14);
    h->compression = U32(info + 16);
    // biSizeImage, the two resolutions (20 to 31) and biClrImportant (36) are not used.
    uint32_t coloursUsed = U32(info + 32);
    if (coloursUsed > 256) return false;
    h->tableEntries = coloursUsed == 0 ? 256 : static_cast<int32_t>(coloursUsed);
    const int64_t afterHeader = kFileHeaderBytes + int64_t{infoSize};
    const int64_t tableBytes = 4 * int64_t{h->tableEntries};
    const bool tableAfterHeader =
        infoSize == 108 || infoSize == 124 ||
        (infoSize > kInfoHeaderBytes && afterHeader + tableBytes == h->pixelOffset && h->pixelOffset <= fileLength);
    h->tableOffset = tableAfterHeader ? afterHeader : kFileHeaderBytes + kInfoHeaderBytes;
    return h->tableOffset + tableBytes <= fileLength;
}

// Rows of `width` bytes from `source` (stride `sourceStride`) resampled into `destination`:
// destination column x takes source column x·(sourceWidth − 1)/(width − 1), rounded down, and
// rows alike, so the corners meet. The division is exact, so the last column lands on the last.
void Resample(const uint8_t* source, int32_t sourceWidth, int32_t sourceHeight, int32_t sourceStride,
              uint8_t* destination, int32_t width, int32_t height) {
    std::vector<int32_t> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x)
        columns[static_cast<size_t>(x)] =
            width > 1 ? static_cast<int32_t>(int64_t{x} * (sourceWidth - 1) / (width - 1)) : 0;
    for (int32_t y = 0; y < height; ++y) {
        int32_t sourceRow = height > 1 ? static_cast<int32_t>(int64_t{y} * (sourceHeight - 1) / (height - 1)) : 0;
        const uint8_t* from = source + static_cast<size_t>(sourceRow) * static_cast<size_t>(sourceStride);
        uint8_t* to = destination + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int32_t x = 0; x < width; ++x) to[x] = from[columns[static_cast<size_t>(x)]];
    }
}

// The pixel rows of a bitmap file, from the stream's position on, into `rows` rows of `pitch`
// bytes at `bits`, top row first. The file's rows follow one another `stride` bytes apart, and
// the last need not have its padding. Read in file order without seeking: rows laid out as the
// section holds them come in one read and are turned over in memory when the file stores them
// bottom-up; others come one read a row, with the padding read past.
bool ReadRows(FileStream& in, uint8_t* bits, int32_t pitch, int32_t width, int32_t rows, int64_t stride, bool topDown) {
    const size_t rowBytes = static_cast<size_t>(pitch);
    if (stride == pitch) {
        // At most pitch × rows bytes, which the section keeps within 31 bits.
        int64_t bytes = stride * (rows - 1) + width;
        if (!in.Read(bits, static_cast<int>(bytes))) return false;
        if (topDown) return true;
        std::vector<uint8_t> swap(rowBytes);
        for (int32_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
            uint8_t* a = bits + static_cast<size_t>(top) * rowBytes;
            uint8_t* b = bits + static_cast<size_t>(bottom) * rowBytes;
            std::memcpy(swap.data(), a, rowBytes);
            std::memcpy(a, b, rowBytes);
            std::memcpy(b, swap.data(), rowBytes);
        }
        return true;
    }
    uint8_t skipped[4096];
    for (int32_t k = 0; k < rows; ++k) {
        int32_t row = topDown ? k : rows - 1 - k;
        if (!in.Read(bits + static_cast<size_t>(row) * rowBytes, width)) return false;
        for (int64_t padding = k + 1 < rows ? stride - width : 0; padding > 0;) {
            int piece = static_cast<int>(padding < int64_t{sizeof skipped} ? padding : int64_t{sizeof skipped});
            if (!in.Read(skipped, piece)) return false;
            padding -= piece;
        }
    }
    return true;
}

using Loader = HBITMAP (*)(const char*, uint8_t**);

bool LoadScaledWith(Loader load, const char* fileName, uint8_t** destination, int32_t width, int32_t height) {
    if (!destination || !*destination || width <= 0 || height <= 0) return false;
    uint8_t* sourcePixels = nullptr;
    HBITMAP source = load(fileName, &sourcePixels);
    if (!source) return false;
    BITMAP record{};
    bool ok = GetObjectA(source, static_cast<int>(sizeof record), &record) != 0 && sourcePixels;
    if (ok) Resample(sourcePixels, record.bmWidth, record.bmHeight, record.bmWidthBytes, *destination, width, height);
    DeleteObject(source);
    return ok;
}

}  // namespace

HBITMAP LoadBmp(const char* fileName, uint8_t** pixels) {
    if (pixels) *pixels = nullptr;
    if (!fileName || !pixels) return nullptr;
    FileStream in(fileName, ReadBinary);
    if (!in.IsOk()) return nullptr;
    int64_t fileLength = in.Length();
    BmpHeaders h;
    if (!ReadBmpHeaders(in, fileLength, &h)) return nullptr;
    if (h.planes != 1 || h.bitCount != 8 || h.compression != 0) return nullptr;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return nullptr;
    bool topDown = h.height < 0;
    int32_t rows = topDown ? -h.height : h.height;
    // Pixel rows start after the colour table; each is (bfSize − bfOffBits) / rows bytes long,
    // of which the first `width` are pixels, and every pixel must lie inside the file.
    int64_t start = h.pixelOffset;
    if (start < h.tableOffset + 4 * int64_t{h.tableEntries} || h.fileSize < h.pixelOffset) return nullptr;
    int64_t stride = (int64_t{h.fileSize} - start) / rows;
    if (stride < h.width || start + stride * (rows - 1) + h.width > fileLength) return nullptr;

    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDibSection(h.width, rows, &bits);
    if (!bitmap) return nullptr;
    BITMAP record{};
    if (GetObjectA(bitmap, static_cast<int>(sizeof record), &record) == 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    if (!in.Seek(start) || !ReadRows(in, bits, record.bmWidthBytes, h.width, rows, stride, topDown)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *pixels = bits;
    return bitmap;
}

bool ReadBmpPalette(const char* fileName, uint8_t** palette) {
    if (!fileName || !palette || !*palette) return false;
    FileStream in(fileName, ReadBinary);
    if (!in.IsOk()) return false;
    BmpHeaders h;
    if (!ReadBmpHeaders(in, in.Length(), &h) || h.bitCount != 8) return false;
    uint8_t table[kColourTableBytes];
    // A file with room for all 256 entries before its pixels gives all 256, as the classic
    // layout (table at 54, pixels at 1078) always does; a shorter table gives what it holds.
    int entries = h.tableEntries;
    if (int64_t{h.pixelOffset} - h.tableOffset >= kColourTableBytes && h.tableOffset + kColourTableBytes <= in.Length())
        entries = 256;
    int tableBytes = 4 * entries;
    if (!in.Seek(h.tableOffset) || !in.Read(table, tableBytes)) return false;
    std::memset(table + tableBytes, 0, sizeof table - static_cast<size_t>(tableBytes));
    uint8_t* rgb = *palette;
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = table[4 * i + 2];
        rgb[3 * i + 1] = table[4 * i + 1];
        rgb[3 * i + 2] = table[4 * i];
    }
    return true;
}

bool SaveBmp(const char* fileName, const uint8_t* pixels, int32_t width, int32_t height) {
    // An image 0 wide or 0 high has no pixels to read: a file of headers and table only.
    if (!fileName || width < 0 || height < 0 || (!pixels && width > 0 && height > 0)) return false;
    int64_t stride = (int64_t{width} + 3) / 4 * 4;
    int64_t blockSize = kInfoHeaderBytes + kColourTableBytes + stride * height;
    // bfSize holds the whole file in 32 bits; one Write takes an int.
    if (blockSize + kFileHeaderBytes > INT32_MAX) return false;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[static_cast<size_t>(blockSize)]());
    if (!block) return false;

    uint8_t* info = block.get();
    Put32(info, kInfoHeaderBytes);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, 8);
    // Compression, image size, resolutions and colour counts stay 0.

    uint8_t* table = info + kInfoHeaderBytes;
    uint8_t rgb[kPaletteBytes];
    bool havePalette = CopyPalette(rgb);
    for (int i = 0; i < kPaletteEntries; ++i) {
        const CubeColour cube = CubeColourOf(i);
        const uint8_t red = havePalette ? rgb[3 * i] : cube.red;
        const uint8_t green = havePalette ? rgb[3 * i + 1] : cube.green;
        const uint8_t blue = havePalette ? rgb[3 * i + 2] : cube.blue;
        table[4 * i] = blue;
        table[4 * i + 1] = green;
        table[4 * i + 2] = red;
    }

    uint8_t* rows = table + kColourTableBytes;
    for (int32_t k = 0; k < height && width > 0; ++k)
        std::memcpy(rows + stride * k, pixels + static_cast<size_t>(height - 1 - k) * static_cast<size_t>(width),
                    static_cast<size_t>(width));

    uint8_t fileHeader[kFileHeaderBytes] = {};
    Put16(fileHeader, kBitmapMagic);
    Put32(fileHeader + 2, static_cast<uint32_t>(blockSize + kFileHeaderBytes));
    Put32(fileHeader + 10, kFileHeaderBytes + kInfoHeaderBytes + kColourTableBytes);

    FileStream out(fileName, WriteBinary);
    bool ok = out.Write(fileHeader, kFileHeaderBytes) && out.Write(block.get(), static_cast<int>(blockSize));
    return out.Close() && ok;
}

HBITMAP LoadRawImage(const char* fileName, uint8_t** pixels) {
    if (pixels) *pixels = nullptr;
    if (!fileName || !pixels) return nullptr;
    FileStream in(fileName, ReadBinary);
    if (!in.IsOk()) return nullptr;
    int width = 0, height = 0;
    if (!in.ReadUInt(&width, 2) || !in.ReadUInt(&height, 2) || width == 0 || height == 0) return nullptr;
    int64_t count = int64_t{width} * height;  // at most 65535², which an int cannot hold
    if (count > INT32_MAX || 4 + count > in.Length()) return nullptr;

    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDibSection(width, height, &bits);
    if (!bitmap) return nullptr;
    BITMAP record{};
    if (GetObjectA(bitmap, static_cast<int>(sizeof record), &record) == 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    if (record.bmWidthBytes == width) {
        in.ReadScrambled(bits, static_cast<int>(count), width, height);
    } else {
        // The file's rows are `width` bytes; the section's are padded to a multiple of 4.
        std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[static_cast<size_t>(count)]);
        if (!scratch) {
            DeleteObject(bitmap);
            return nullptr;
        }
        in.ReadScrambled(scratch.get(), static_cast<int>(count), width, height);
        for (int y = 0; y < height; ++y)
            std::memcpy(bits + static_cast<size_t>(y) * static_cast<size_t>(record.bmWidthBytes),
                        scratch.get() + static_cast<size_t>(y) * static_cast<size_t>(width),
                        static_cast<size_t>(width));
    }
    *pixels = bits;
    return bitmap;
}

bool SaveRawImage(const char* fileName, const uint8_t* pixels, int32_t width, int32_t height) {
    if (!fileName || !pixels || width <= 0 || width > 0xFFFF || height <= 0 || height > 0xFFFF) return false;
    int64_t count = int64_t{width} * height;
    if (count > INT32_MAX) return false;
    FileStream out(fileName, WriteBinary);
    bool ok = out.WriteUInt(width, 2) && out.WriteUInt(height, 2) &&
              out.WriteScrambled(pixels, static_cast<int>(count), width, height);
    return out.Close() && ok;
}

bool LoadBmpScaled(const char* fileName, uint8_t** destination, int32_t width, int32_t height) {
    return LoadScaledWith(LoadBmp, fileName, destination, width, height);
}

bool LoadRawImageScaled(const char* fileName, uint8_t** destination, int32_t width, int32_t height) {
    return LoadScaledWith(LoadRawImage, fileName, destination, width, height);
}

bool LoadPaletteFromBmp(const char* fileName) {
    uint8_t rgb[kPaletteBytes];
    uint8_t* block = rgb;
    return ReadBmpPalette(fileName, &block) && SetPalette(rgb);
}
