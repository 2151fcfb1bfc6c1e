// PNG through libpng and animated GIF through giflib; a build without either library answers
// that it cannot write that format.
#include "tools/replay/image_writers.h"

#include <algorithm>
#include <cstring>
#include <map>

#if ONDREL_HAVE_PNG
#include <png.h>

bool CanWritePng() { return true; }

namespace {

// libpng reports a failure by a long jump back into this function, which therefore reads nothing
// after setjmp that it changed before.
bool WriteRows(png_structp png, png_infop info, FILE* file, int width, int height, const std::vector<png_color>& table,
               const std::vector<png_byte>& bytes) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    const bool indexed = !table.empty();
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_compression_level(png, 9);
        png_set_PLTE(png, info, table.data(), static_cast<int>(table.size()));
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);  // the best for a picture of flat colours
    }
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(width) * (indexed ? 1 : 3);
    for (int y = 0; y < height; ++y) png_write_row(png, bytes.data() + static_cast<size_t>(y) * stride);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool WritePng(FILE* file, const uint32_t* pixels, int width, int height, PngColours colours) {
    if (!file) return false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    // The colour table, when asked for and the picture's colours fit one.
    std::map<uint32_t, png_byte> index;
    std::vector<png_color> table;
    for (size_t i = 0; colours == PngColours::TableWhenFew && i < count && table.size() <= 256; ++i)
        if (index.emplace(pixels[i], static_cast<png_byte>(table.size())).second)
            table.push_back(png_color{static_cast<png_byte>(pixels[i] >> 16), static_cast<png_byte>(pixels[i] >> 8),
                                      static_cast<png_byte>(pixels[i])});
    if (table.size() > 256) table.clear();
    std::vector<png_byte> bytes;
    bytes.reserve(count * (table.empty() ? 3 : 1));
    for (size_t i = 0; i < count; ++i) {
        if (!table.empty()) {
            bytes.push_back(index[pixels[i]]);
        } else {
            bytes.push_back(static_cast<png_byte>(pixels[i] >> 16));
            bytes.push_back(static_cast<png_byte>(pixels[i] >> 8));
            bytes.push_back(static_cast<png_byte>(pixels[i]));
        }
    }

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = png && info && WriteRows(png, info, file, width, height, table, bytes);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fflush(file) == 0 && std::ferror(file) == 0 && ok;
}

#else
bool CanWritePng() { return false; }
bool WritePng(FILE*, const uint32_t*, int, int, PngColours) { return false; }
#endif

#if ONDREL_HAVE_GIF
#include <gif_lib.h>

bool CanWriteGif() { return true; }

namespace {
GifFileType* G(void* p) { return static_cast<GifFileType*>(p); }

int WriteToFile(GifFileType* gif, const GifByteType* bytes, int count) {
    return static_cast<int>(std::fwrite(bytes, 1, static_cast<size_t>(count), static_cast<FILE*>(gif->UserData)));
}
}  // namespace

GifRecorder::~GifRecorder() {
    if (gif_) {
        int error = 0;
        EGifCloseFile(G(gif_), &error);
    }
}

bool GifRecorder::Open(FILE* file, int width, int height, const uint8_t* palette) {
    if (!file || gif_) return false;
    int error = 0;
    GifFileType* gif = EGifOpen(file, WriteToFile, &error);
    if (!gif) return false;
    file_ = file;
    gif_ = gif;
    width_ = width;
    height_ = height;
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifSetGifVersion(gif, true);
    ok_ = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    // Loop for ever (the NETSCAPE2.0 application extension).
    static const unsigned char loop[] = {1, 0, 0};
    ok_ = ok_ && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
          EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK &&
          EGifPutExtensionTrailer(gif) == GIF_OK;
    shown_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    pending_.assign(shown_.size(), 0);
    return ok_;
}

void GifRecorder::AddFrame(const uint8_t* pixels, int pitch, uint32_t milliseconds) {
    if (!gif_ || !ok_) return;
    // Too soon after the waiting frame (or before it): this one is shown in its place, from its
    // time. Otherwise the waiting frame is written, shown until now.
    const bool replaces = hasPending_ && static_cast<int32_t>(milliseconds - pendingAt_) < static_cast<int32_t>(kMinFrameMs);
    if (hasPending_ && !replaces) {
        lastIntervalMs_ = milliseconds - pendingAt_;
        ok_ = WritePending(milliseconds);
    } else if (!hasPending_ && frames_ == 0) {
        writtenCentiseconds_ = (milliseconds + 5) / 10;  // the animation starts with its first frame
    }
    for (int y = 0; y < height_; ++y)
        std::memcpy(&pending_[static_cast<size_t>(y) * width_], pixels + static_cast<size_t>(y) * pitch, static_cast<size_t>(width_));
    if (!replaces) pendingAt_ = milliseconds;
    hasPending_ = true;
}

bool GifRecorder::WritePending(uint32_t untilMs) {
    // Delays are whole centiseconds; rounding the running total keeps the sum exact. The frame
    // started at the rounded time of pendingAt_, so kMinFrameMs or more rounds to 2 or more.
    uint32_t endCs = (untilMs + 5) / 10;
    uint32_t startCs = writtenCentiseconds_;
    uint32_t delay = endCs > startCs ? endCs - startCs : 0;
    // The rectangle that differs from what the viewer shows; the first frame is written whole.
    int left = width_, right = -1, top = height_, bottom = -1;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* a = &pending_[static_cast<size_t>(y) * width_];
        const uint8_t* b = &shown_[static_cast<size_t>(y) * width_];
        if (frames_ > 0 && std::memcmp(a, b, static_cast<size_t>(width_)) == 0) continue;
        int x0 = 0;
        while (frames_ > 0 && a[x0] == b[x0]) ++x0;
        int x1 = width_ - 1;
        while (frames_ > 0 && a[x1] == b[x1]) --x1;
        left = std::min(left, x0);
        right = std::max(right, x1);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    if (right < 0) {  // nothing changed: show one pixel again, for the delay
        left = right = top = bottom = 0;
    }
    writtenCentiseconds_ = startCs + delay;
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = static_cast<int>(delay);
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    size_t extLength = EGifGCBToExtension(&gcb, ext);
    int w = right - left + 1;
    int h = bottom - top + 1;
    bool ok = EGifPutExtension(G(gif_), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extLength), ext) == GIF_OK &&
              EGifPutImageDesc(G(gif_), left, top, w, h, false, nullptr) == GIF_OK;
    for (int y = top; ok && y <= bottom; ++y) {
        uint8_t* row = &pending_[static_cast<size_t>(y) * width_ + left];
        ok = EGifPutLine(G(gif_), row, w) == GIF_OK;
        std::memcpy(&shown_[static_cast<size_t>(y) * width_ + left], row, static_cast<size_t>(w));
    }
    ++frames_;
    hasPending_ = false;
    return ok;
}

bool GifRecorder::Close() {
    if (!gif_) return false;
    if (hasPending_ && ok_) ok_ = WritePending(pendingAt_ + (lastIntervalMs_ > 0 ? lastIntervalMs_ : 100));
    int error = 0;
    bool closed = EGifCloseFile(G(gif_), &error) == GIF_OK;
    gif_ = nullptr;
    return ok_ && closed && std::fflush(file_) == 0 && std::ferror(file_) == 0;
}

#else
bool CanWriteGif() { return false; }
GifRecorder::~GifRecorder() = default;
bool GifRecorder::Open(FILE*, int, int, const uint8_t*) { return false; }
void GifRecorder::AddFrame(const uint8_t*, int, uint32_t) {}
bool GifRecorder::WritePending(uint32_t) { return false; }
bool GifRecorder::Close() { return false; }
#endif
