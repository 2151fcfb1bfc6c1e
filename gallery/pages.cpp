// What the pages share.
#include "gallery/pages.h"

#include "gfx/blit.h"
#include "gfx/font.h"
#include "gfx/surface.h"

void DrawEnlarged(Surface* target, int32_t x, int32_t y, int32_t factor, const Surface* small) {
    int32_t width = 0;
    int32_t height = 0;
    small->GetSize(&width, &height);
    // StretchCopy includes both ends of both ranges. A source range one cell past the image
    // (those cells are outside it, so they are skipped) makes every cell factor × factor.
    StretchCopy(target, 0, 0, width, height, x, y, x + factor * width, y + factor * height, small);
}

void DrawCaption(const PageTools& tools, int32_t x, int32_t y, const char* text) {
    DrawText(tools.font, x, y, text, tools.image, kCaption, false, false);
}
