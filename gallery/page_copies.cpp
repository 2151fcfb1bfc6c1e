// Copies between surfaces (gfx/blit.h): CopyRect takes a rectangle to the same place on another
// surface; StretchCopy takes any rectangle to any other, enlarged, shrunk or mirrored. The source
// is a backdrop drawn once, as large as the window's image.
#include <cmath>

#include "gallery/pages.h"
#include "gfx/blit.h"
#include "gfx/draw.h"
#include "gfx/surface.h"

namespace {

// Where the spotlight wanders: the backdrop shows through it there.
constexpr int32_t kFieldLeft = 16;
constexpr int32_t kFieldTop = 64;
constexpr int32_t kFieldRight = 311;
constexpr int32_t kFieldBottom = 263;
constexpr int32_t kSpotWidth = 96;
constexpr int32_t kSpotHeight = 72;

class CopiesPage : public Page {
public:
    explicit CopiesPage(const SpriteSheet* sheet) : backdrop(kGalleryWidth, kGalleryHeight) { DrawBackdrop(sheet); }

    const char* Title() const override { return "Copies"; }

    void Draw(const PageTools& t) override {
        float a = static_cast<float>(t.clock) / 1500.0f;
        int32_t x = kFieldLeft + static_cast<int32_t>((1 + std::sin(a)) / 2 * (kFieldRight - kFieldLeft - kSpotWidth));
        int32_t y = kFieldTop + static_cast<int32_t>((1 + std::sin(1.7f * a)) / 2 * (kFieldBottom - kFieldTop - kSpotHeight));
        const int32_t right = x + kSpotWidth - 1;
        const int32_t bottom = y + kSpotHeight - 1;

        DrawCaption(t, kFieldLeft, 44, "CopyRect, to the same place");
        FillRect(t.image, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom, 0);
        CopyRect(t.image, x, y, right, bottom, &backdrop);

        // The middle of the spotlight, four times larger; the spotlight mirrored left to right.
        DrawCaption(t, 336, 44, "StretchCopy: enlarged");
        StretchCopy(t.image, x + 36, y + 27, x + 60, y + 45, 336, 64, 435, 139, &backdrop);
        DrawRect(t.image, 335, 63, 436, 140, kCaption);
        DrawCaption(t, 456, 150, "mirrored");
        StretchCopy(t.image, right, y, x, bottom, 456, 64, 456 + kSpotWidth - 1, 64 + kSpotHeight - 1, &backdrop);

        // The whole picture, shrunk; and squeezed into a band, right way up and upside down.
        DrawCaption(t, kFieldLeft, 280, "StretchCopy: shrunk, squeezed, upside down");
        StretchCopy(t.image, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom, 16, 300, 163, 399, &backdrop);
        StretchCopy(t.image, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom, 180, 300, 623, 357, &backdrop);
        StretchCopy(t.image, kFieldLeft, kFieldBottom, kFieldRight, kFieldTop, 180, 362, 623, 419, &backdrop);
    }

private:
    // A picture where the spotlight wanders: a sky, a sun, hills and a brick wall with flags on
    // it, drawn once with the primitives and the sprites.
    void DrawBackdrop(const SpriteSheet* sheet) {
        backdrop.Clear(0);
        SetClip(&backdrop, kFieldLeft, kFieldTop, kFieldRight, kFieldBottom);
        for (int band = 0; band < 16; ++band)
            FillRect(&backdrop, kFieldLeft, kFieldTop + band * 13, kFieldRight, kFieldTop + band * 13 + 12,
                     static_cast<uint8_t>(223 - band));
        FillCircle(&backdrop, 240, 110, 30, 250);
        FillCircle(&backdrop, 240, 110, 22, 254);
        FillTriangle(&backdrop, 0, 264, 110, 150, 220, 264, 52);
        FillTriangle(&backdrop, 130, 264, 230, 175, 340, 264, 56);
        TileSprite(sheet, kFieldLeft, 232, kFieldRight, kFieldBottom, kBrick, 0, &backdrop);
        // The sprite drawers keep to the surface's bounds, not to its clip rectangle.
        for (int i = 0; i < 7; ++i) DrawSpriteRotated(sheet, 40 + 40 * i, 218, kFlag, 0, &backdrop, 0.0f, 2.0f);
        for (int i = 0; i < 4; ++i)
            DrawSpriteRotated(sheet, 50 + 40 * i, 90 + 12 * (i % 2), kStar, 0, &backdrop, 0.0f, 2.0f);
        backdrop.ResetClip();
    }

    Surface backdrop;
};

}  // namespace

std::unique_ptr<Page> MakeCopiesPage(const SpriteSheet* sheet) { return std::make_unique<CopiesPage>(sheet); }
