// A GIF reader of the test's own: blocks as the GIF89a format lays them out, and the variable
// length LZW codes of the image data.
#include "tests/support/gif_file.h"

#include <algorithm>

namespace giftest {

namespace {

class Bytes {
public:
    explicit Bytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Has(size_t count) const { return at_ + count <= bytes_.size(); }
    int U8() { return Has(1) ? bytes_[at_++] : -1; }
    int U16() {
        const int low = U8();
        const int high = U8();
        return low < 0 || high < 0 ? -1 : low | high << 8;
    }
    bool Take(size_t count, std::vector<uint8_t>* into) {
        if (!Has(count)) return false;
        into->insert(into->end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
        at_ += count;
        return true;
    }
    // Data sub-blocks up to their empty terminator, joined.
    bool SubBlocks(std::vector<uint8_t>* into) {
        for (;;) {
            const int size = U8();
            if (size < 0) return false;
            if (size == 0) return true;
            if (!Take(static_cast<size_t>(size), into)) return false;
        }
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// The LZW data of one image: `minimum` bits a colour, codes from minimum + 1 bits up to 12,
// least significant bit first.
bool Decode(const std::vector<uint8_t>& data, int minimum, size_t pixels, std::vector<uint8_t>* out, std::string* why) {
    if (minimum < 2 || minimum > 8) return *why = "LZW minimum code size " + std::to_string(minimum), false;
    const int clear = 1 << minimum;
    const int end = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<uint8_t> suffix(4096), first(4096);
    for (int i = 0; i < clear; ++i) suffix[static_cast<size_t>(i)] = first[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    int size = minimum + 1;
    int next = clear + 2;
    int previous = -1;
    size_t bit = 0;
    std::vector<uint8_t> run;
    for (;;) {
        if (bit + static_cast<size_t>(size) > data.size() * 8) return *why = "the LZW data ends without its end code", false;
        int code = 0;
        for (int i = 0; i < size; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == clear) {
            size = minimum + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (code > next || (code == next && previous < 0)) return *why = "LZW code " + std::to_string(code) + " is not yet defined", false;
        // The string of a known code, or of the previous one and its own first character.
        const int walk = code == next ? previous : code;
        run.clear();
        for (int c = walk; c >= 0; c = prefix[static_cast<size_t>(c)]) run.push_back(suffix[static_cast<size_t>(c)]);
        std::reverse(run.begin(), run.end());
        if (code == next) run.push_back(first[static_cast<size_t>(previous)]);
        out->insert(out->end(), run.begin(), run.end());
        if (previous >= 0 && next < 4096) {
            prefix[static_cast<size_t>(next)] = previous;
            suffix[static_cast<size_t>(next)] = run.front();
            first[static_cast<size_t>(next)] = first[static_cast<size_t>(previous)];
            ++next;
            if (next == 1 << size && size < 12) ++size;
        }
        previous = code;
    }
    if (out->size() != pixels)
        return *why = "the image decodes to " + std::to_string(out->size()) + " pixels, not " + std::to_string(pixels), false;
    return true;
}

}  // namespace

bool Read(const std::vector<uint8_t>& bytes, File* file, std::string* why) {
    Bytes in(bytes);
    std::vector<uint8_t> signature;
    if (!in.Take(6, &signature) || (std::string(signature.begin(), signature.end()) != "GIF89a" &&
                                    std::string(signature.begin(), signature.end()) != "GIF87a"))
        return *why = "no GIF signature", false;
    file->width = in.U16();
    file->height = in.U16();
    const int flags = in.U8();
    if (in.U8() < 0 || in.U8() < 0 || file->width <= 0 || file->height <= 0) return *why = "a short screen descriptor", false;
    if ((flags & 0x80) && !in.Take(3u << ((flags & 7) + 1), &file->colours)) return *why = "a short colour table", false;
    int delay = -1;
    for (;;) {
        const int block = in.U8();
        if (block == 0x3B) return true;
        if (block == 0x21) {
            const int label = in.U8();
            std::vector<uint8_t> data;
            if (label < 0 || !in.SubBlocks(&data)) return *why = "a short extension", false;
            if (label == 0xF9) {
                if (data.size() != 4) return *why = "a graphic control block of " + std::to_string(data.size()) + " bytes", false;
                delay = data[1] | data[2] << 8;
            }
        } else if (block == 0x2C) {
            Image image;
            image.delay = delay;
            delay = -1;
            image.left = in.U16();
            image.top = in.U16();
            image.width = in.U16();
            image.height = in.U16();
            const int imageFlags = in.U8();
            if (imageFlags < 0 || image.height < 0) return *why = "a short image descriptor", false;
            if (image.left + image.width > file->width || image.top + image.height > file->height)
                return *why = "an image outside the screen", false;
            std::vector<uint8_t> local;
            if ((imageFlags & 0x80) && !in.Take(3u << ((imageFlags & 7) + 1), &local)) return *why = "a short local colour table", false;
            if (imageFlags & 0x40) return *why = "an interlaced image (not read here)", false;
            const int minimum = in.U8();
            std::vector<uint8_t> data;
            if (minimum < 0 || !in.SubBlocks(&data)) return *why = "short image data", false;
            if (!Decode(data, minimum, static_cast<size_t>(image.width) * static_cast<size_t>(image.height), &image.indices, why))
                return false;
            file->images.push_back(std::move(image));
        } else {
            return *why = block < 0 ? "no trailer" : "an unknown block " + std::to_string(block), false;
        }
    }
}

std::vector<std::vector<uint8_t>> File::Shown() const {
    std::vector<std::vector<uint8_t>> shown;
    std::vector<uint8_t> canvas(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (const Image& image : images) {
        for (int y = 0; y < image.height; ++y)
            std::copy_n(image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width, image.width,
                        canvas.begin() + static_cast<std::ptrdiff_t>(image.top + y) * width + image.left);
        shown.push_back(canvas);
    }
    return shown;
}

std::vector<int> File::Delays() const {
    std::vector<int> delays;
    for (const Image& image : images) delays.push_back(image.delay);
    return delays;
}

}  // namespace giftest
