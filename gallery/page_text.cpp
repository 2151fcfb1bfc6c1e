// Text in the 8 × 12 bitmap font (gfx/font.h): plain, centred, boxed, numbers, the etched panel,
// clipped, and every glyph the font has.
#include <cstring>

#include "gallery/pages.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"

namespace {

constexpr int32_t kLeft = 16;
constexpr int32_t kRight = 330;

void Plain(const PageTools& t, int32_t y) {
    DrawCaption(t, kLeft, y, "DrawText: ink only");
    for (int32_t x = kLeft; x < 310; x += 16) FillRect(t.image, x, y + 18, x + 7, y + 42, 176);
    DrawText(t.font, kLeft + 4, y + 24, "the stripes show through", t.image, kInk, false, false);
}

void Centred(const PageTools& t, int32_t y) {
    DrawCaption(t, kRight, y, "centred on a point");
    const int32_t cx = 480;
    const int32_t cy = y + 30;
    DrawText(t.font, cx, cy, "centred", t.image, kAccent, true, false);
    DrawLine(t.image, cx - 40, cy, cx + 40, cy, 40);
    DrawLine(t.image, cx, cy - 12, cx, cy + 12, 40);
}

void Boxed(const PageTools& t, int32_t y) {
    DrawCaption(t, kLeft, y, "boxed");
    DrawText(t.font, kLeft + 3, y + 24, "silver, in an etched frame", t.image, 0, false, true);
}

void Numbers(const PageTools& t, int32_t y) {
    DrawCaption(t, kRight, y, "DrawNumber");
    DrawNumber(t.font, kRight, y + 24, static_cast<int32_t>(t.clock / 100), t.image, kAccent, false, false);
    DrawNumber(t.font, kRight + 110, y + 24, -273, t.image, kInk, false, false);
    DrawNumber(t.font, kRight + 200, y + 24, 1024, t.image, 0, false, true);
}

void EtchedPanel(const PageTools& t, int32_t y) {
    DrawCaption(t, kLeft, y, "DrawEtchedFrame: a panel");
    const int32_t top = y + 20;
    FillRect(t.image, kLeft, top, 310, top + 100, 195);
    DrawEtchedFrame(t.image, kLeft, top, 310, top + 100);
    const char* const lines[] = {"Ondrel gallery", "", "an 8 x 12 font of 92 glyphs,", "drawn in one palette index"};
    for (int i = 0; i < 4; ++i) DrawText(t.font, kLeft + 12, top + 14 + 18 * i, lines[i], t.image, 0, false, false);
}

void Clipped(const PageTools& t, int32_t y) {
    DrawCaption(t, kRight, y, "clipped by SetClip");
    const int32_t top = y + 20;
    DrawRect(t.image, kRight, top, 629, top + 24, kCaption);
    FillRect(t.image, kRight + 1, top + 1, 628, top + 23, 0);
    const char* news = "Text runs past the clip rectangle and is cut at its edges.";
    const int32_t length = static_cast<int32_t>(std::strlen(news)) * t.font->CellWidth();
    const int32_t x = 629 - static_cast<int32_t>((t.clock / 12) % static_cast<uint32_t>(length + 300));
    SetClip(t.image, kRight + 1, top + 1, 628, top + 23);
    DrawText(t.font, x, top + 6, news, t.image, 254, false, false);
    t.image->ResetClip();
}

void Glyphs(const PageTools& t, int32_t y) {
    DrawCaption(t, kLeft, y, "the 92 glyphs");
    char row[47] = {};
    for (int half = 0; half < 2; ++half) {
        std::memcpy(row, BitmapFont::kGlyphCharacters + 46 * half, 46);
        DrawText(t.font, kLeft, y + 20 + 16 * half, row, t.image, kAccent, false, false);
    }
    DrawCaption(t, kLeft, y + 64, "a space draws nothing; a character without a glyph, a solid cell: {~}");
}

class TextPage : public Page {
public:
    const char* Title() const override { return "Text"; }
    void Draw(const PageTools& t) override {
        Plain(t, 48);
        Centred(t, 48);
        Boxed(t, 112);
        Numbers(t, 112);
        EtchedPanel(t, 176);
        Clipped(t, 176);
        Glyphs(t, 312);
    }
};

}  // namespace

std::unique_ptr<Page> MakeTextPage() { return std::make_unique<TextPage>(); }
