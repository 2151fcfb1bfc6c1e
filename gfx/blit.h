// Copies between surfaces (clipped, scaled) and the drawing of sprite-sheet frames: plain,
// flipped, transposed and tinted, turned and scaled about their centre, and repeated as tiles.
//
// In a drawn frame a cell of index 15 is the tint slot (it takes the caller's tint colour) and
// a cell of index 5 is transparent. The sprite drawers bound each target cell by the target
// surface (0 ≤ x < pitch, 0 ≤ y < height), not by its clip rectangle; only CopyRect clips.
// A frame that does not exist, or a surface without pixels, draws nothing.
#pragma once

#include <chrono>
#include <cstdint>

class Surface;
class SpriteSheet;

// Copies the rectangle (corners in either order) from `source` to the same place on `target`,
// clipped by both surfaces' clip rectangles.
void CopyRect(Surface* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Surface* source);

// Nearest-neighbour copy of the source cells sx0..sx1 by sy0..sy1 onto the target cells
// dx0..dx1 by dy0..dy1, all ends included: target cell dx0 + i takes source column
// sx0 + trunc(i × (sx1 − sx0) / (dx1 − dx0)), rows alike. A source range may run backwards
// (a mirrored copy); a reversed target range copies nothing, and a target range of one cell
// takes the first cell of the source range. Cells outside either surface are skipped; neither
// clip rectangle is used.
void StretchCopy(Surface* target, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1, int32_t dx0, int32_t dy0,
                 int32_t dx1, int32_t dy1, const Surface* source);

// Draws a frame with its top-left corner at (x, y). transpose mirrors the frame about its main
// diagonal, so that a frame w wide and h high is drawn h wide and w high; flipX and flipY then
// mirror the drawn picture left to right and top to bottom.
void DrawSprite(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame, Surface* target,
                bool flipX, bool flipY, bool transpose, uint8_t tint);
// As DrawSprite; with `centre` set, (x, y) is the centre of the drawn frame (its size halved
// rounding down).
void DrawSpriteCentred(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame,
                       Surface* target, bool centre, bool flipX, bool flipY, bool transpose, uint8_t tint);

// Draws a frame turned by `angle` degrees (counter-clockwise on the screen) and magnified by
// `scale` about its centre, which lands on (x, y). Every target cell in the square of
// half-side R = trunc(sqrt(hw² + hh²) × scale) about (x, y) is mapped back into the frame
// (hw, hh: half the frame's width and height, rounded down) with the coefficients
// cs = cos(a) / scale and sn = sin(a) / scale, a = −angle × 0.017453292, worked in double
// precision and only then rounded to single precision:
// source column left + hw + dx × cs + dy × sn and row top + hh − dx × sn + dy × cs, truncated
// toward zero. The positions are exact (computed in 64.64 fixed point), so where a frame lands
// never changes which of its cells are drawn. Only coefficients that fixed point cannot hold
// (angles within 10⁻¹⁰ degrees of 0 but not 0, scales over 10¹² or under 10⁻⁶), and frames set
// by hand on the sheet's first row or column, take positions rounded to double precision.
// No tint; cells of index 5 are not drawn. A scale that is not a positive finite number, or
// an angle that is not finite, draws nothing.
void DrawSpriteRotated(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame,
                       Surface* target, float angle, float scale);

// Fills the rectangle (corners in either order) with the frame repeated, the pattern anchored
// at the target's origin: cell (x, y) takes the frame's cell (x mod width, y mod height).
// Every index is copied, 5 and 15 included. A frame without cells draws nothing.
void TileSprite(const SpriteSheet* sheet, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int16_t sprite,
                int16_t frame, Surface* target);
// The same pattern in a disc: row cy + k (k from −r to r − 1) gets the cells
// cx − half .. cx + half − 1, half = trunc(sqrt(|r² − k²|)).
void TileSpriteCircle(const SpriteSheet* sheet, int32_t cx, int32_t cy, int32_t r, int16_t sprite, int16_t frame,
                      Surface* target);

// The frame's size; 0 when it does not exist.
int32_t FrameWidth(const SpriteSheet* sheet, int16_t sprite, int16_t frame);
int32_t FrameHeight(const SpriteSheet* sheet, int16_t sprite, int16_t frame);
// True with the frame's left and top in the sheet; false with −1, −1 when it does not exist.
bool FrameOrigin(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int16_t* left, int16_t* top);
// The index of the frame's cell (u, v); 0 when the frame does not exist, the sheet has no
// pixels, or (u, v) lies outside the frame.
uint8_t FramePixel(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int32_t u, int32_t v);
// For the framework's own use: the same, read from `pixels`, a buffer laid out as the sheet's
// (its pitch × height bytes).
uint8_t FramePixelIn(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int32_t u, int32_t v,
                     const uint8_t* pixels);
// For the framework's own use: as GetPixel, reading `pixels` with the surface's pitch and bounds;
// 0 outside them.
uint8_t GetPixelFrom(const Surface* surface, int32_t x, int32_t y, const uint8_t* pixels);

// The sprite's frame count, 0 for a sprite that does not exist; counts beyond what 16 bits
// hold answer the largest, since no frame number beyond it can be asked for.
int16_t SpriteFrameCount(const SpriteSheet* sheet, int16_t sprite);

// The frame of the sprite to show now, changing every `period` milliseconds of the wall clock;
// −1 when the sprite has no frames.
int16_t AnimationFrame(const SpriteSheet* sheet, int16_t sprite, int16_t period);
// The clock AnimationFrame reads: seconds × 1000 + milliseconds, wrapping in unsigned 32 bits.
uint32_t AnimationClock(std::chrono::system_clock::time_point now);
// The frame shown at clock reading `clock`: (clock / period) mod frameCount, in unsigned
// arithmetic (a negative period counts as its unsigned 32-bit value); −1 for no frames, and
// frame 0 for a period of 0, which stands still.
int16_t AnimationFrameAt(int16_t frameCount, int16_t period, uint32_t clock);
