// A sprite sheet: an image whose sprite frames are marked out by single marker pixels, and the
// frame rectangles cut from it once, when it is loaded.
//
// Marker layout for a frame whose pixels are columns L to R - 1 and rows T to B - 1: a start
// marker at (L - 1, T - 1), 12 for the first frame of a new sprite or 10 for the next frame of
// the sprite before it; a corner marker 11 at (R, T - 1) and another at (R, B). Frames whose
// start markers share a row form a band; the next band is looked for below its lowest corner.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// One frame inside the sheet. `right` and `bottom` are the corner markers' column and row: one
// past the frame's last column and row.
struct SpriteRect {
    // The first column and row of the frame's pixels, and one past its last.
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The frames of every sprite, numbered from 0 in the order the scan met them.
class SpriteSet {
public:
    // An allocation that fails leaves a set of zero sprites.
    explicit SpriteSet(int32_t spriteCount);
    ~SpriteSet();
    SpriteSet(const SpriteSet&) = delete;
    SpriteSet& operator=(const SpriteSet&) = delete;

    // Gives sprite `sprite` room for `frameCount` rectangles, replacing any it had; an index
    // outside the set is ignored, and a failed allocation leaves the sprite without frames.
    void SetSprite(int32_t sprite, int32_t frameCount);
    // False, with *rect untouched, when the sprite or frame does not exist.
    bool GetFrame(int32_t sprite, int32_t frame, SpriteRect* rect) const;
    // 0 for a sprite number outside the set.
    int32_t FrameCount(int32_t sprite) const;

    int32_t spriteCount;    // sprites in the set
    int32_t* frameCounts;   // owned, spriteCount entries
    SpriteRect** frames;    // owned, spriteCount owned arrays of frameCounts[i] rectangles
};

// The colour index a sheet's sprites leave transparent, which the blitters skip.
constexpr uint8_t kSheetTransparentIndex = 5;

// A surface loaded from an image file and cut into sprites by its marker pixels.
class SpriteSheet : public Surface {
public:
    // Loads the image (the extension picks the format) and cuts it. A missing or unreadable
    // file gives an empty sheet; a failed cut leaves `sprites` null. Either way the sheet has
    // no frames.
    explicit SpriteSheet(const char* fileName);
    ~SpriteSheet();

    // Scans the sheet's pixels for marked frames and makes `sprites` from them. False, with
    // `sprites` null, when the sheet has no pixels or the first frame found is not the first
    // frame of a sprite. Start markers without their two corner markers are passed over.
    bool CutSprites();

    // The same queries as SpriteSet's, answering "no such frame" while `sprites` is null.
    bool GetFrame(int32_t sprite, int32_t frame, SpriteRect* rect) const;
    int32_t FrameCount(int32_t sprite) const;

    // The marker indices CutSprites looks for: 10 starts the next frame of a sprite, 11 marks a
    // frame's corners, 12 starts a new sprite.
    uint8_t frameMarker;
    uint8_t cornerMarker;
    uint8_t spriteMarker;
    SpriteSet* sprites;  // owned; null until a cut succeeds
};
