// Allegro 4 on 8-bit memory bitmaps, the peer the blitter and primitive benchmarks measure ours
// beside. Only allegro_peer.cpp sees Allegro's header and its macros; this interface has plain
// types only.
#pragma once

#include <cstdint>

namespace allegro_peer {

struct Bitmap;

// Starts Allegro without a display; false when it cannot.
bool Start();
Bitmap* Create(int width, int height);
void Destroy(Bitmap* bitmap);
uint8_t* Row(Bitmap* bitmap, int y);

void Blit(Bitmap* from, Bitmap* to, int x, int y, int width, int height);
void StretchBlit(Bitmap* from, Bitmap* to, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh);
// Index 0 is transparent.
void DrawSprite(Bitmap* target, Bitmap* sprite, int x, int y);
void DrawSpriteHFlip(Bitmap* target, Bitmap* sprite, int x, int y);
void DrawSpriteVFlip(Bitmap* target, Bitmap* sprite, int x, int y);
void DrawSpriteVHFlip(Bitmap* target, Bitmap* sprite, int x, int y);
// Turned about its centre, which lands on (x, y); degrees clockwise on the screen.
void RotateScaledSprite(Bitmap* target, Bitmap* sprite, int x, int y, double degrees, double scale);
// The rectangle filled with the pattern, anchored at the target's origin.
void PatternFill(Bitmap* target, Bitmap* pattern, int x0, int y0, int x1, int y1);

// vline: column x from row y1 to row y2, both included.
void Vline(Bitmap* bitmap, int x, int y1, int y2, int colour);
// circlefill: the disc of radius r about (x, y).
void CircleFill(Bitmap* bitmap, int x, int y, int r, int colour);
// clear_to_color.
void Clear(Bitmap* bitmap, int colour);

}  // namespace allegro_peer
