#include "gfx/sprite_sheet.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr uint8_t kSheetTransparentIndex = 5;

struct FrameRecord {
    SpriteRect rect;
    bool newSprite;
};

// The row of the first corner marker below `row` in each column, remembered between queries.
// The scan asks about rows that only grow, so each column is walked down at most once over the
// whole cut, however many start markers point at it.
class CornerRows {
public:
    CornerRows(const uint8_t* pixels, int32_t pitch, int32_t height, uint8_t marker)
        : pixels_(pixels), pitch_(pitch), height_(height), marker_(marker),
          found_(static_cast<size_t>(pitch), -1) {}

    // The first row after `row` whose pixel in `column` is the marker, or the height if none.
    int32_t Below(int32_t column, int32_t row) {
        int32_t& found = found_[static_cast<size_t>(column)];
        if (found > row) return found;
        int32_t r = row + 1;
        while (r < height_ && pixels_[static_cast<ptrdiff_t>(r) * pitch_ + column] != marker_) ++r;
        found = r;
        return r;
    }

private:
    const uint8_t* pixels_;
    int32_t pitch_;
    int32_t height_;
    uint8_t marker_;
    std::vector<int32_t> found_;
};

}  // namespace

SpriteSet::SpriteSet(int32_t count) : spriteCount(0), frameCounts(nullptr), frames(nullptr) {
    if (count <= 0) return;
    frameCounts = new (std::nothrow) int32_t[static_cast<size_t>(count)]();
    frames = new (std::nothrow) SpriteRect*[static_cast<size_t>(count)]();
    if (!frameCounts || !frames) {
        delete[] frameCounts;
        delete[] frames;
        frameCounts = nullptr;
        frames = nullptr;
        return;
    }
    spriteCount = count;
}

SpriteSet::~SpriteSet() {
    if (spriteCount != 0) {
        delete[] frameCounts;
        for (int32_t i = 0; i < spriteCount; ++i) delete[] frames[i];
        delete[] frames;
    }
    spriteCount = 0;
}

void SpriteSet::SetSprite(int32_t sprite, int32_t frameCount) {
    if (sprite < 0 || sprite >= spriteCount) return;
    delete[] frames[sprite];
    frames[sprite] = frameCount > 0 ? new (std::nothrow) SpriteRect[static_cast<size_t>(frameCount)]() : nullptr;
    frameCounts[sprite] = frames[sprite] ? frameCount : 0;
}

bool SpriteSet::GetFrame(int32_t sprite, int32_t frame, SpriteRect* rect) const {
    if (!rect || sprite < 0 || sprite >= spriteCount) return false;
    if (frame < 0 || frame >= frameCounts[sprite]) return false;
    *rect = frames[sprite][frame];
    return true;
}

int32_t SpriteSet::FrameCount(int32_t sprite) const {
    if (sprite < 0 || sprite >= spriteCount) return 0;
    return frameCounts[sprite];
}

SpriteSheet::SpriteSheet(const char* fileName)
    : Surface(fileName), frameMarker(10), cornerMarker(11), spriteMarker(12), sprites(nullptr) {
    if (!pixels) return;
    SetTransparentIndex(kSheetTransparentIndex);
    CutSprites();  // a failed cut leaves the sheet without frames, which is all a caller sees
}

SpriteSheet::~SpriteSheet() {
    delete sprites;
    sprites = nullptr;
}

bool SpriteSheet::CutSprites() {
    delete sprites;
    sprites = nullptr;
    if (!pixels || pitch <= 0 || height <= 0) return false;

    const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[bytes]);
    if (!copy || !CopyToBuffer(copy.get())) return false;

    // Every read below stays inside the copy: start markers are only looked for on rows below
    // `height`, corner searches stop at the last column and the last row, and a start marker
    // whose corners are missing is passed over. A recorded frame therefore has its corners
    // inside the sheet, and its pixels lie strictly between its markers.
    std::vector<FrameRecord> records;
    CornerRows cornerBelow(copy.get(), pitch, height, cornerMarker);
    int32_t y = 0;
    while (y < height) {
        const uint8_t* row = copy.get() + static_cast<ptrdiff_t>(y) * pitch;
        int32_t band = 0;  // rows from y down to the lowest lower corner of this band so far
        int32_t corner = -1;  // the first corner marker on this row at or after some column < x
        int32_t x = 0;
        while (x < pitch) {
            const uint8_t p = row[x];
            if (p != frameMarker && p != spriteMarker) {
                ++x;
                continue;
            }
            if (corner <= x) {
                const void* found = std::memchr(row + x + 1, cornerMarker, static_cast<size_t>(pitch - x - 1));
                corner = found ? static_cast<int32_t>(static_cast<const uint8_t*>(found) - row) : pitch;
            }
            const int32_t xe = corner;
            const int32_t ye = xe < pitch ? cornerBelow.Below(xe, y) : height;
            if (xe >= pitch || ye >= height) {
                ++x;
                continue;
            }
            records.push_back({{x + 1, y + 1, xe, ye}, p == spriteMarker});
            if (ye - y > band) band = ye - y;
            x = xe + 1;
        }
        y += 1 + band;
    }
    copy.reset();

    if (!records.empty() && !records.front().newSprite) return false;
    int32_t spriteCount = 0;
    for (const FrameRecord& record : records) spriteCount += record.newSprite;

    std::unique_ptr<SpriteSet> set(new (std::nothrow) SpriteSet(spriteCount));
    if (!set || set->spriteCount != spriteCount) return false;
    size_t at = 0;
    for (int32_t sprite = 0; sprite < spriteCount; ++sprite) {
        size_t end = at + 1;
        while (end < records.size() && !records[end].newSprite) ++end;
        const int32_t frameCount = static_cast<int32_t>(end - at);
        set->SetSprite(sprite, frameCount);
        if (set->frameCounts[sprite] != frameCount) return false;
        for (int32_t frame = 0; frame < frameCount; ++frame) set->frames[sprite][frame] = records[at + static_cast<size_t>(frame)].rect;
        at = end;
    }
    sprites = set.release();
    return true;
}

bool SpriteSheet::GetFrame(int32_t sprite, int32_t frame, SpriteRect* rect) const {
    return sprites && sprites->GetFrame(sprite, frame, rect);
}

int32_t SpriteSheet::FrameCount(int32_t sprite) const { return sprites ? sprites->FrameCount(sprite) : 0; }
