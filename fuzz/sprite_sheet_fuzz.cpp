// The sprite-sheet cut on any 8-bit image (saved as a raw image or a bitmap file and loaded as
// the program loads its sheet). Beside the sanitizers: the frames found are those of the marker
// scan worked out here, literally, from the image; the cut leaves the pixels as they were; every
// frame lies inside the sheet with its markers where they belong; queries outside the set
// answer "no such frame" and touch nothing.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "gfx/image_files.h"
#include "gfx/sprite_sheet.h"

namespace {

struct Record {
    SpriteRect rect;
    bool newSprite;
};

// The scan, pixel by pixel as its description goes, on a copy of the image.
bool ReferenceCut(const std::vector<uint8_t>& image, int32_t pitch, int32_t height, std::vector<std::vector<SpriteRect>>* sprites) {
    auto at = [&](int32_t x, int32_t y) -> uint8_t {
        return x >= 0 && x < pitch && y >= 0 && y < height ? image[static_cast<size_t>(y) * static_cast<size_t>(pitch) + static_cast<size_t>(x)] : 0;
    };
    std::vector<Record> records;
    for (int32_t y = 0; y < height;) {
        int32_t band = 0;
        for (int32_t x = 0; x < pitch;) {
            uint8_t p = at(x, y);
            if (p != 10 && p != 12) {
                ++x;
                continue;
            }
            int32_t xe = x + 1;
            while (xe < pitch && at(xe, y) != 11) ++xe;
            int32_t e = 1;
            while (y + e < height && at(xe, y + e) != 11) ++e;
            if (xe >= pitch || y + e >= height) {
                ++x;
                continue;
            }
            records.push_back({{x + 1, y + 1, xe, y + e}, p == 12});
            if (e > band) band = e;
            x = xe + 1;
        }
        y += 1 + band;
    }
    sprites->clear();
    if (!records.empty() && !records.front().newSprite) return false;
    for (const Record& r : records) {
        if (r.newSprite) sprites->emplace_back();
        sprites->back().push_back(r.rect);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Bytes in(data, size);
    const bool bitmap = in.U8() & 1;
    // A width the rows need no padding for: the sheet's pixels are then exactly the image's.
    const int32_t width = 4 * (1 + in.U8() % 24);
    const int32_t height = 1 + in.U8() % 64;
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    // Values 0 to 15: the three markers are frequent, the rest are the other colours.
    for (uint8_t& p : image) p = in.U8() % 16;
    std::string name = fuzz::PathOf(bitmap ? "sheet.bmp" : "sheet.raw");
    FUZZ_CHECK(bitmap ? SaveBmp(name.c_str(), image.data(), width, height)
                      : SaveRawImage(name.c_str(), image.data(), width, height));

    std::vector<std::vector<SpriteRect>> expected;
    const bool cuts = ReferenceCut(image, width, height, &expected);
    uintptr_t mark = fuzz::SectionMark();
    {
        SpriteSheet sheet(name.c_str());
        FUZZ_CHECK(sheet.pixels && sheet.pitch == width && sheet.height == height);
        FUZZ_CHECK(std::memcmp(sheet.pixels, image.data(), image.size()) == 0);
        FUZZ_CHECK(sheet.transparentIndex == 5);
        FUZZ_CHECK((sheet.sprites != nullptr) == cuts);
        const int32_t count = cuts ? static_cast<int32_t>(expected.size()) : 0;
        if (sheet.sprites) FUZZ_CHECK(sheet.sprites->spriteCount == count);
        SpriteRect untouched{-9, -9, -9, -9};
        for (int32_t s = -1; s <= count; ++s) {
            const bool exists = s >= 0 && s < count;
            const int32_t frames = exists ? static_cast<int32_t>(expected[static_cast<size_t>(s)].size()) : 0;
            FUZZ_CHECK(sheet.FrameCount(s) == frames);
            for (int32_t f = -1; f <= frames; ++f) {
                SpriteRect r = untouched;
                const bool found = sheet.GetFrame(s, f, &r);
                FUZZ_CHECK(found == (exists && f >= 0 && f < frames));
                if (!found) {
                    FUZZ_CHECK(std::memcmp(&r, &untouched, sizeof r) == 0);
                    continue;
                }
                const SpriteRect& want = expected[static_cast<size_t>(s)][static_cast<size_t>(f)];
                FUZZ_CHECK(r.left == want.left && r.top == want.top && r.right == want.right && r.bottom == want.bottom);
                FUZZ_CHECK(r.left >= 1 && r.left <= r.right && r.right < width);
                FUZZ_CHECK(r.top >= 1 && r.top <= r.bottom && r.bottom < height);
                auto pixel = [&](int32_t x, int32_t y) { return sheet.pixels[y * sheet.pitch + x]; };
                FUZZ_CHECK(pixel(r.left - 1, r.top - 1) == (f == 0 ? 12 : 10));
                FUZZ_CHECK(pixel(r.right, r.top - 1) == 11 && pixel(r.right, r.bottom) == 11);
            }
        }
        // A second cut finds the same again.
        FUZZ_CHECK(sheet.CutSprites() == cuts);
        FUZZ_CHECK(sheet.FrameCount(0) == (count > 0 ? static_cast<int32_t>(expected[0].size()) : 0));
    }
    FUZZ_CHECK(fuzz::SectionsAliveSince(mark) == 0);
    return 0;
}
