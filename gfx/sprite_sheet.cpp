// Cutting a sprite sheet into frames by its marker pixels, and the set of frames it keeps.
#include "gfx/sprite_sheet.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

struct FrameRecord {
    SpriteRect rect;
    bool newSprite;
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
    // Start markers that meet the same corner share one search for it, and a downward search
    // runs from a corner marker to the next one in its column, so no layout makes the cut read
    // a pixel more than a few times.
    const uint8_t* sheet = copy.get();
    std::vector<FrameRecord> records;
    int32_t y = 0;
    while (y < height) {
        const uint8_t* row = sheet + static_cast<ptrdiff_t>(y) * pitch;
        int32_t band = 0;       // rows from y down to the lowest lower corner of this band so far
        int32_t xe = -1;        // the corner found for an earlier start marker of this row; pitch: none
        int32_t ye = height;    // the corner below it; height: none
        int32_t x = 0;
        while (x < pitch) {
            const uint8_t p = row[x];
            if (p != frameMarker && p != spriteMarker) {
                ++x;
                continue;
            }
            if (xe <= x) {
                const void* found = std::memchr(row + x + 1, cornerMarker, static_cast<size_t>(pitch - x - 1));
                xe = found ? static_cast<int32_t>(static_cast<const uint8_t*>(found) - row) : pitch;
                ye = y + 1;
                if (xe < pitch)
                    while (ye < height && sheet[static_cast<ptrdiff_t>(ye) * pitch + xe] != cornerMarker) ++ye;
                else
                    ye = height;
            }
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
