// Drawing primitives on a Surface. GetPixel and SetPixel bound against the surface; everything
// else clips against its clip rectangle.
#pragma once

#include <cstdint>

class Surface;

uint8_t GetPixel(const Surface* surface, int32_t x, int32_t y);  // 0 outside the surface
void SetPixel(Surface* surface, int32_t x, int32_t y, uint8_t colour);
void FillRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
void DrawLine(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
void DrawRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour);
void FillCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour);
void DrawCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour);
void FillTriangle(Surface* surface, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t xc, int32_t yc, uint8_t colour);
void DrawPanel(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool pressed);
void SetClip(Surface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom);
void GetClip(const Surface* surface, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);
bool ClipToSurface(const Surface* surface, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1);
