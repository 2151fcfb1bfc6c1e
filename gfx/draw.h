// Drawing primitives on a Surface. GetPixel and SetPixel bound against the surface; everything
// else clips against its clip rectangle.
#pragma once

#include <cstdint>

class Surface;

// The index at (x, y).
uint8_t GetPixel(const Surface* surface, int32_t x, int32_t y);  // 0 outside the surface
// Writes one pixel; nothing outside the surface.
void SetPixel(Surface* surface, int32_t x, int32_t y, uint8_t colour);
// Fills the rectangle, both corners included, given in either order.
void FillRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
// A line from (x0, y0) towards (x1, y1): a sloped one leaves out its end point, so segments
// drawn one after another leave no gaps; a level or upright one includes both ends.
void DrawLine(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
// The rectangle's outline, corners in either order.
void DrawRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
// A disc of radius r about (cx, cy) as whole rows; radius 0 fills the one pixel.
void FillCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour);
// The circle's outline, kept closed where it runs flat.
void DrawCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour);
// Fills the triangle of the three corners.
void FillTriangle(Surface* surface, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t xc, int32_t yc, uint8_t colour);
// A bevelled button face for x0 < x1 and y0 < y1 in fixed indices: raised (light 15 at the top
// and left, dark 8 at the bottom and right, face 9), or sunken when pressed.
void DrawPanel(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool pressed);
// Sets the clip rectangle, all edges inclusive, cut to the surface (Surface::ResetClip restores
// the whole).
void SetClip(Surface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The clip rectangle's four edges.
void GetClip(const Surface* surface, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
// Orders the rectangle's corners and cuts it to the clip rectangle; false when nothing of it
// lies inside.
bool ClipToSurface(const Surface* surface, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1);
