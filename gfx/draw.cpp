// Pixels, rectangles, lines, circles, triangles and panels, clipped row by row.
#include "gfx/draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gfx/blit.h"
#include "gfx/disc.h"
#include "gfx/surface.h"

namespace {

// Coordinates are widened to 64 bits inside: a corner plus or minus one, a radius squared or a
// difference of two coordinates then cannot overflow.

// n bytes of one colour. A short run, as most rows of a small disc or a thin shape are, is
// written inline as two overlapping stores: cheaper than the call into memset.
void FillBytes(uint8_t* p, uint8_t colour, int64_t n) {
    if (n >= 16) {
        std::memset(p, colour, static_cast<size_t>(n));
    } else if (n >= 8) {
        const uint64_t word = 0x0101010101010101u * colour;
        std::memcpy(p, &word, 8);
        std::memcpy(p + n - 8, &word, 8);
    } else if (n >= 4) {
        const uint32_t word = 0x01010101u * colour;
        std::memcpy(p, &word, 4);
        std::memcpy(p + n - 4, &word, 4);
    } else {
        for (int64_t i = 0; i < n; ++i) p[i] = colour;
    }
}

// One row run from x0 to x1 (either order) on row y, clipped; the shared end of every fill.
void FillRun(Surface* s, int64_t x0, int64_t x1, int64_t y, uint8_t colour) {
    if (x0 > x1) std::swap(x0, x1);
    if (y < s->clipTop || y > s->clipBottom) return;
    x0 = std::max<int64_t>(x0, s->clipLeft);
    x1 = std::min<int64_t>(x1, s->clipRight);
    if (x0 > x1) return;
    FillBytes(s->pixels + y * s->pitch + x0, colour, x1 - x0 + 1);
}

void FillBox(Surface* s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint8_t colour) {
    if (!s || !s->pixels) return;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    // The surface's bounds too, in case a clip rectangle was set by hand beyond them.
    y0 = std::max<int64_t>({y0, s->clipTop, 0});
    y1 = std::min<int64_t>({y1, s->clipBottom, s->height - 1});
    x0 = std::max<int64_t>({x0, s->clipLeft, 0});
    x1 = std::min<int64_t>({x1, s->clipRight, s->pitch - 1});
    // Also catches a clip rectangle that is empty.
    if (x0 > x1 || y0 > y1) return;
    size_t run = static_cast<size_t>(x1 - x0 + 1);
    uint8_t* row = s->pixels + y0 * s->pitch + x0;
    if (run == 1) {
        // A vertical line: a call per row would cost more than the byte it stores.
        for (int64_t y = y0; y <= y1; ++y, row += s->pitch) *row = colour;
    } else if (run == static_cast<size_t>(s->pitch)) {
        std::memset(row, colour, run * static_cast<size_t>(y1 - y0 + 1));  // whole rows lie end to end
    } else {
        for (int64_t y = y0; y <= y1; ++y, row += s->pitch) std::memset(row, colour, run);
    }
}

bool InsideClip(const Surface* s, int64_t x, int64_t y) {
    return x >= s->clipLeft && x <= s->clipRight && y >= s->clipTop && y <= s->clipBottom;
}

void PlotClipped(Surface* s, int64_t x, int64_t y, uint8_t colour) {
    if (InsideClip(s, x, y)) s->pixels[y * s->pitch + x] = colour;
}

}  // namespace

uint8_t GetPixel(const Surface* surface, int32_t x, int32_t y) {
    return surface ? GetPixelFrom(surface, x, y, surface->pixels) : 0;
}

void SetPixel(Surface* surface, int32_t x, int32_t y, uint8_t colour) {
    if (!surface || !surface->pixels) return;
    if (x < 0 || x >= surface->pitch || y < 0 || y >= surface->height) return;
    surface->pixels[static_cast<size_t>(y) * static_cast<size_t>(surface->pitch) + static_cast<size_t>(x)] = colour;
}

void FillRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour) {
    FillBox(surface, x0, y0, x1, y1, colour);
}

void DrawLine(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour) {
    if (!surface || !surface->pixels) return;
    if (x0 == x1 || y0 == y1) {
        FillBox(surface, x0, y0, x1, y1, colour);
        return;
    }
    int64_t dx = std::abs(int64_t{x1} - x0);
    int64_t dy = std::abs(int64_t{y1} - y0);
    int64_t sx = x1 >= x0 ? 1 : -1;
    int64_t sy = y1 >= y0 ? 1 : -1;
    // The walk along the major axis; the minor axis steps when the error is not negative.
    bool xMajor = dx >= dy;
    int64_t major = xMajor ? dx : dy;
    int64_t minor = xMajor ? dy : dx;
    int64_t error = 2 * minor - major;
    int64_t x = x0;
    int64_t y = y0;
    for (int64_t i = 0; i < major; ++i) {
        PlotClipped(surface, x, y, colour);
        if (error < 0) {
            error += 2 * minor;
            if (xMajor) x += sx; else y += sy;
        } else {
            error += 2 * (minor - major);
            x += sx;
            y += sy;
        }
    }
}

void DrawRect(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour) {
    FillBox(surface, x0, y0, x1, y0, colour);
    FillBox(surface, x0, y1, x1, y1, colour);
    FillBox(surface, x0, y0, x0, y1, colour);
    FillBox(surface, x1, y0, x1, y1, colour);
}

void FillCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour) {
    if (!surface || !surface->pixels || r < 0) return;
    // Rows outside the clip rectangle draw nothing, so only the rows inside it are walked.
    const int64_t first = std::max<int64_t>(-int64_t{r}, int64_t{surface->clipTop} - cy);
    const int64_t last = std::min<int64_t>(r, int64_t{surface->clipBottom} - cy);
    if (first > last) return;
    // Rows dy and −dy are as wide: the walk goes from the outermost |dy| in to the innermost,
    // each row's half-width found from the one before, and fills the one or two rows of each.
    const int64_t outer = std::max(-first, last);
    const int64_t inner = first <= 0 && last >= 0 ? 0 : std::min(std::abs(first), std::abs(last));
    int64_t half = DiscHalfWidth(r, outer);
    for (int64_t a = outer; a >= inner; --a) {
        half = DiscHalfWidthFrom(r, a, half);
        if (-a >= first) FillRun(surface, cx - half, cx + half, cy - a, colour);
        if (a != 0 && a <= last) FillRun(surface, cx - half, cx + half, cy + a, colour);
    }
}

void DrawCircle(Surface* surface, int32_t cx, int32_t cy, int32_t r, uint8_t colour) {
    if (!surface || !surface->pixels || r < 0) return;
    // Only the rows inside the clip rectangle are walked; the row above the first one walked
    // gives its previous half-width (0 above the top row).
    int64_t first = std::max<int64_t>(-int64_t{r}, int64_t{surface->clipTop} - cy);
    int64_t last = std::min<int64_t>(r, int64_t{surface->clipBottom} - cy);
    int64_t prev = first > -int64_t{r} ? DiscHalfWidth(r, first - 1) : 0;
    for (int64_t dy = first; dy <= last; ++dy) {
        int64_t half = DiscHalfWidth(r, dy);
        int64_t row = cy + dy;
        if (std::abs(prev - half) <= 1) {
            PlotClipped(surface, cx - half, row, colour);
            PlotClipped(surface, cx + half, row, colour);
        } else {
            // Where the outline runs flat, the row's cells are joined to the previous row's.
            int64_t s = prev < half ? 1 : -1;
            FillRun(surface, cx - prev - s, cx - half, row, colour);
            FillRun(surface, cx + prev + s, cx + half, row, colour);
        }
        prev = half;
    }
}

void FillTriangle(Surface* surface, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t xc, int32_t yc,
                  uint8_t colour) {
    if (!surface || !surface->pixels) return;
    struct Vertex {
        int64_t x, y;
    };
    Vertex v[3] = {{xa, ya}, {xb, yb}, {xc, yc}};
    // Sorted by row; vertices on one row keep their order.
    if (v[1].y < v[0].y) std::swap(v[0], v[1]);
    if (v[2].y < v[1].y) std::swap(v[1], v[2]);
    if (v[1].y < v[0].y) std::swap(v[0], v[1]);
    const Vertex& top = v[0];
    const Vertex& mid = v[1];
    const Vertex& bottom = v[2];
    if (top.y == bottom.y) return;

    auto slope = [](const Vertex& from, const Vertex& to) {
        return static_cast<float>(to.x - from.x) / static_cast<float>(to.y - from.y);
    };
    auto truncate = [](float x) { return static_cast<int64_t>(x); };
    float longX = static_cast<float>(top.x);
    const float longStep = slope(top, bottom);
    int64_t y = top.y;
    // Fills the rows from y up to, not including, `end` between the long edge and a short edge
    // that starts at `from` and runs toward `to`. Rows below the clip rectangle are not walked.
    auto fillHalf = [&](const Vertex& from, const Vertex& to, int64_t end) {
        float shortX = static_cast<float>(from.x);
        const float shortStep = slope(from, to);
        for (; y < end && y <= surface->clipBottom; ++y) {
            FillRun(surface, truncate(longX), truncate(shortX), y, colour);
            longX += longStep;
            shortX += shortStep;
        }
    };
    if (top.y != mid.y) {
        fillHalf(top, mid, mid.y);
        // The long edge must still reach the middle row to go on, and nothing below the clip
        // rectangle can be drawn anyway.
        if (y < mid.y) return;
    }
    if (mid.y != bottom.y) fillHalf(mid, bottom, bottom.y);
}

void DrawPanel(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool pressed) {
    if (!surface || !surface->pixels) return;
    int64_t left = std::min(x0, x1), right = std::max(x0, x1);
    int64_t top = std::min(y0, y1), bottom = std::max(y0, y1);
    uint8_t light = pressed ? 8 : 15;
    uint8_t dark = pressed ? 15 : 8;
    FillBox(surface, left, top, right, top, light);
    FillBox(surface, left, bottom, right, bottom, dark);
    FillBox(surface, left, top, left, std::max(top, bottom - 1), light);
    FillBox(surface, right, std::min(top + 1, bottom), right, bottom, dark);
    // A panel too narrow or too low for an interior is all edge.
    if (right - left >= 2 && bottom - top >= 2) FillBox(surface, left + 1, top + 1, right - 1, bottom - 1, 9);
}

void SetClip(Surface* surface, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!surface) return;
    // Corners in either order, as every rectangle operation takes them. A rectangle wholly off
    // the surface leaves left > right or top > bottom: an empty clip that every fill respects.
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    surface->clipLeft = std::max(left, 0);
    surface->clipTop = std::max(top, 0);
    surface->clipRight = std::min(right, surface->pitch - 1);
    surface->clipBottom = std::min(bottom, surface->height - 1);
}

void GetClip(const Surface* surface, int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
    if (!surface) return;
    if (left) *left = surface->clipLeft;
    if (top) *top = surface->clipTop;
    if (right) *right = surface->clipRight;
    if (bottom) *bottom = surface->clipBottom;
}

bool ClipToSurface(const Surface* surface, int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
    if (!surface || !x0 || !y0 || !x1 || !y1) return false;
    if (*x0 > *x1) std::swap(*x0, *x1);
    if (*y0 > *y1) std::swap(*y0, *y1);
    if (*x0 > surface->clipRight || *y0 > surface->clipBottom || *x1 < surface->clipLeft || *y1 < surface->clipTop)
        return false;
    // With an empty clip rectangle nothing can be inside, even when no edge test above fails.
    if (surface->clipLeft > surface->clipRight || surface->clipTop > surface->clipBottom) return false;
    *x0 = std::max(*x0, surface->clipLeft);
    *y0 = std::max(*y0, surface->clipTop);
    *x1 = std::min(*x1, surface->clipRight);
    *y1 = std::min(*y1, surface->clipBottom);
    return true;
}
