// Sprites from the shipped sheet (gfx/blit.h): flipped and transposed, tinted, turning and
// scaling, tiled in a rectangle and in a disc, and animated in a small tank. The small pictures
// are drawn at their own size on small surfaces and shown enlarged.
#include <cmath>
#include <cstdio>

#include "gallery/pages.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"

namespace {

constexpr int32_t kZoom = 4;

// The flag in the eight ways flipX, flipY and transpose can lay it out.
struct Orientation {
    bool flipX;
    bool flipY;
    bool transpose;
    const char* label;
};
constexpr Orientation kOrientations[] = {
    {false, false, false, "-"}, {true, false, false, "x"}, {false, true, false, "y"}, {true, true, false, "xy"},
    {false, false, true, "t"},  {true, false, true, "tx"}, {false, true, true, "ty"}, {true, true, true, "txy"},
};
constexpr int32_t kOrientationCell = 9;

// The fish's stripe is the tint slot: 15 keeps it white, 5 makes it transparent.
constexpr uint8_t kTints[] = {15, 14, 40, 58, 120, 5};
constexpr int32_t kTintCell = 13;

class SpritesPage : public Page {
public:
    const char* Title() const override { return "Sprites"; }

    void Draw(const PageTools& t) override {
        Orientations(t, 44);
        Tints(t, 44);
        Turning(t, 120);
        Tiles(t, 120);
        Tank(t, 280);
    }

private:
    void Orientations(const PageTools& t, int32_t y) {
        DrawCaption(t, 16, y, "flipped and transposed");
        orientations.Clear(kBackground);
        for (int i = 0; i < 8; ++i) {
            const Orientation& o = kOrientations[i];
            DrawSprite(t.sheet, i * kOrientationCell, 0, kFlag, 0, &orientations, o.flipX, o.flipY, o.transpose, 15);
            DrawText(t.font, 16 + i * kOrientationCell * kZoom, y + 56, o.label, t.image, kCaption, false, false);
        }
        DrawEnlarged(t.image, 16, y + 20, kZoom, &orientations);
    }

    void Tints(const PageTools& t, int32_t y) {
        DrawCaption(t, 320, y, "tinted");
        tints.Clear(kBackground);
        for (int i = 0; i < 6; ++i) {
            DrawSprite(t.sheet, i * kTintCell, 0, kFish, 0, &tints, false, false, false, kTints[i]);
            DrawNumber(t.font, 320 + i * kTintCell * kZoom, y + 56, kTints[i], t.image, kCaption, false, false);
        }
        DrawEnlarged(t.image, 320, y + 20, kZoom, &tints);
    }

    static void Turning(const PageTools& t, int32_t y) {
        DrawCaption(t, 16, y, "turning, scaling");
        float degrees = static_cast<float>(t.clock % 6000) * 0.06f;
        float pulse = 3.5f + 1.5f * std::sin(static_cast<float>(t.clock) / 700.0f);
        DrawSpriteRotated(t.sheet, 60, y + 80, kFlag, 0, t.image, degrees, 4.0f);
        DrawSpriteRotated(t.sheet, 160, y + 80, kFish, 0, t.image, -degrees, pulse);
    }

    static void Tiles(const PageTools& t, int32_t y) {
        DrawCaption(t, 232, y, "TileSprite");
        TileSprite(t.sheet, 232, y + 20, 411, y + 139, kBrick, 0, t.image);
        // The pattern is anchored at the image's origin, so the bricks stay put as the disc grows.
        DrawCaption(t, 440, y, "TileSpriteCircle");
        int32_t r = 40 + static_cast<int32_t>(18 * std::sin(static_cast<float>(t.clock) / 500.0f));
        TileSpriteCircle(t.sheet, 530, y + 80, r, kBrick, 0, t.image);
    }

    void Tank(const PageTools& t, int32_t y) {
        DrawCaption(t, 16, y, "animated: frames picked by the clock");
        int32_t width = 0;
        tank.GetSize(&width, nullptr);
        FillRect(&tank, 0, 0, width - 1, 7, 177);
        FillRect(&tank, 0, 8, width - 1, 27, 67);
        TileSprite(t.sheet, 0, 28, width - 1, 31, kBrick, 0, &tank);

        // Stars twinkle and a drop lands on the water, each at its own pace.
        DrawSprite(t.sheet, 14, 0, kStar, AnimationFrameAt(SpriteFrameCount(t.sheet, kStar), 400, t.clock), &tank, false,
                   false, false, 15);
        DrawSprite(t.sheet, 120, 0, kStar, AnimationFrameAt(SpriteFrameCount(t.sheet, kStar), 550, t.clock), &tank, false,
                   false, false, 15);
        DrawSprite(t.sheet, 64, 1, kDrop, AnimationFrameAt(SpriteFrameCount(t.sheet, kDrop), 300, t.clock), &tank, false,
                   false, false, 15);

        // Bubbles rise and grow, and burst at the top.
        const int16_t bubbleFrames = SpriteFrameCount(t.sheet, kBubble);
        for (int k = 0; k < 3; ++k) {
            int32_t risen = static_cast<int32_t>((t.clock / 70 + 7u * static_cast<uint32_t>(k)) % 20);
            auto frame = static_cast<int16_t>(risen * bubbleFrames / 20);
            DrawSprite(t.sheet, 30 + 45 * k, 20 - risen, kBubble, frame, &tank, false, false, false, 15);
        }

        // The fish swims to the right end and back, mirrored on its way left.
        const int32_t lane = width - FrameWidth(t.sheet, kFish, 0);
        int32_t along = static_cast<int32_t>((t.clock / 40) % static_cast<uint32_t>(2 * lane));
        bool back = along >= lane;
        DrawSprite(t.sheet, back ? 2 * lane - along : along, 14, kFish,
                   AnimationFrameAt(SpriteFrameCount(t.sheet, kFish), 200, t.clock), &tank, back, false, false, 15);

        DrawEnlarged(t.image, 16, y + 20, kZoom, &tank);
    }

    Surface orientations{8 * kOrientationCell, 8};
    Surface tints{6 * kTintCell + 2, 8};
    Surface tank{152, 32};
};

}  // namespace

std::unique_ptr<Page> MakeSpritesPage() { return std::make_unique<SpritesPage>(); }
