// The one translation unit that includes Allegro 4.
#include "bench/allegro_peer.h"

#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

namespace allegro_peer {

struct Bitmap {
    BITMAP* bitmap;
};

bool Start() {
    static const bool started = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    return started;
}

Bitmap* Create(int width, int height) {
    BITMAP* b = create_bitmap_ex(8, width, height);
    return b ? new Bitmap{b} : nullptr;
}

void Destroy(Bitmap* bitmap) {
    if (!bitmap) return;
    destroy_bitmap(bitmap->bitmap);
    delete bitmap;
}

uint8_t* Row(Bitmap* bitmap, int y) { return bitmap->bitmap->line[y]; }

void Blit(Bitmap* from, Bitmap* to, int x, int y, int width, int height) {
    blit(from->bitmap, to->bitmap, x, y, x, y, width, height);
}

void StretchBlit(Bitmap* from, Bitmap* to, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh) {
    stretch_blit(from->bitmap, to->bitmap, sx, sy, sw, sh, dx, dy, dw, dh);
}

void DrawSprite(Bitmap* target, Bitmap* sprite, int x, int y) { draw_sprite(target->bitmap, sprite->bitmap, x, y); }
void DrawSpriteHFlip(Bitmap* target, Bitmap* sprite, int x, int y) {
    draw_sprite_h_flip(target->bitmap, sprite->bitmap, x, y);
}
void DrawSpriteVFlip(Bitmap* target, Bitmap* sprite, int x, int y) {
    draw_sprite_v_flip(target->bitmap, sprite->bitmap, x, y);
}
void DrawSpriteVHFlip(Bitmap* target, Bitmap* sprite, int x, int y) {
    draw_sprite_vh_flip(target->bitmap, sprite->bitmap, x, y);
}

void RotateScaledSprite(Bitmap* target, Bitmap* sprite, int x, int y, double degrees, double scale) {
    // Allegro places the sprite by its top-left corner and counts 256 to the full turn.
    const int w = sprite->bitmap->w, h = sprite->bitmap->h;
    rotate_scaled_sprite(target->bitmap, sprite->bitmap, x - w / 2, y - h / 2, ftofix(degrees * 256.0 / 360.0),
                         ftofix(scale));
}

void PatternFill(Bitmap* target, Bitmap* pattern, int x0, int y0, int x1, int y1) {
    drawing_mode(DRAW_MODE_COPY_PATTERN, pattern->bitmap, 0, 0);
    rectfill(target->bitmap, x0, y0, x1, y1, 0);
    solid_mode();
}

void Vline(Bitmap* bitmap, int x, int y1, int y2, int colour) { vline(bitmap->bitmap, x, y1, y2, colour); }

void CircleFill(Bitmap* bitmap, int x, int y, int r, int colour) { circlefill(bitmap->bitmap, x, y, r, colour); }
void Clear(Bitmap* bitmap, int colour) { clear_to_color(bitmap->bitmap, colour); }

}  // namespace allegro_peer
