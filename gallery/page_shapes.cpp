// The drawing primitives (gfx/draw.h): rectangles, lines, circles, triangles, panels, pixels and
// the clip rectangle, each in a cell of its own.
#include <cmath>
#include <cstdio>

#include "gallery/pages.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/surface.h"

namespace {

constexpr float kPi = 3.14159265f;

// Eight cells, four a row; a drawing keeps to x 0..139 and y 0..159 from its cell's corner.
struct Cell {
    int32_t x;
    int32_t y;
};
Cell CellAt(const PageTools& tools, int index, const char* caption) {
    Cell c{10 + (index % 4) * 160, kPageTop + 12 + (index / 4) * 196};
    DrawCaption(tools, c.x, c.y, caption);
    return Cell{c.x, c.y + 24};
}

void Rectangles(const PageTools& t, Cell c) {
    // Corners may come in either order.
    for (int i = 0; i < 5; ++i) FillRect(t.image, c.x + 10 * i, c.y + 8 * i, c.x + 139 - 10 * i, c.y + 80 - 8 * i, static_cast<uint8_t>(96 + 3 * i));
    for (int i = 0; i < 4; ++i) DrawRect(t.image, c.x + 139 - 14 * i, c.y + 159 - 14 * i, c.x + 14 * i, c.y + 96, static_cast<uint8_t>(48 + 5 * i));
}

void Lines(const PageTools& t, Cell c) {
    int32_t cx = c.x + 70;
    int32_t cy = c.y + 80;
    float turn = static_cast<float>(t.clock % 12000) / 12000.0f * 2 * kPi;
    for (int i = 0; i < 24; ++i) {
        float a = turn + static_cast<float>(i) * kPi / 12;
        DrawLine(t.image, cx, cy, cx + static_cast<int32_t>(70 * std::cos(a)), cy + static_cast<int32_t>(70 * std::sin(a)),
                 static_cast<uint8_t>(244 + i % 12));
    }
}

void Circles(const PageTools& t, Cell c) {
    for (int r = 60; r > 0; r -= 12) FillCircle(t.image, c.x + 62, c.y + 62, r, static_cast<uint8_t>(64 + r / 4));
    for (int r = 4; r <= 40; r += 6) DrawCircle(t.image, c.x + 100, c.y + 116, r, static_cast<uint8_t>(80 + r / 3));
}

void Triangles(const PageTools& t, Cell c) {
    FillTriangle(t.image, c.x, c.y + 150, c.x + 70, c.y + 10, c.x + 139, c.y + 150, 130);
    // One turning about its centre; the row of its lowest corner is never filled.
    float a = static_cast<float>(t.clock % 6000) / 6000.0f * 2 * kPi;
    int32_t x[3];
    int32_t y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = c.x + 70 + static_cast<int32_t>(45 * std::cos(a + static_cast<float>(i) * 2 * kPi / 3));
        y[i] = c.y + 100 + static_cast<int32_t>(45 * std::sin(a + static_cast<float>(i) * 2 * kPi / 3));
    }
    FillTriangle(t.image, x[0], y[0], x[1], y[1], x[2], y[2], 254);
}

void Panels(const PageTools& t, Cell c) {
    DrawPanel(t.image, c.x, c.y, c.x + 139, c.y + 40, false);
    DrawText(t.font, c.x + 70, c.y + 20, "raised", t.image, 0, true, false);
    DrawPanel(t.image, c.x, c.y + 56, c.x + 139, c.y + 96, true);
    DrawText(t.font, c.x + 71, c.y + 77, "pressed", t.image, 0, true, false);
    // Pressed every other second.
    bool down = (t.clock / 1000) % 2 == 1;
    DrawPanel(t.image, c.x + 30, c.y + 112, c.x + 109, c.y + 152, down);
    DrawText(t.font, c.x + 70 + down, c.y + 132 + down, down ? "down" : "up", t.image, 0, true, false);
}

void Pixels(const PageTools& t, Cell c) {
    // A wave of single pixels, drifting; and a dither of two colours.
    for (int32_t x = 0; x < 140; ++x) {
        float phase = static_cast<float>(x) / 14.0f - static_cast<float>(t.clock) / 400.0f;
        SetPixel(t.image, c.x + x, c.y + 40 + static_cast<int32_t>(30 * std::sin(phase)), kAccent);
        SetPixel(t.image, c.x + x, c.y + 40 + static_cast<int32_t>(30 * std::cos(phase)), 9);
    }
    for (int32_t y = 90; y < 160; ++y)
        for (int32_t x = (y & 1); x < 140; x += 2) SetPixel(t.image, c.x + x, c.y + y, x < 70 ? 4 : 2);
}

void Clipping(const PageTools& t, Cell c) {
    // The clip rectangle slides; everything but GetPixel and SetPixel stays inside it.
    int32_t left = c.x + static_cast<int32_t>((t.clock / 20) % 80);
    DrawRect(t.image, left - 1, c.y + 19, left + 60, c.y + 140, kInk);
    SetClip(t.image, left, c.y + 20, left + 59, c.y + 139);
    FillCircle(t.image, c.x + 70, c.y + 80, 56, 44);
    DrawLine(t.image, c.x, c.y, c.x + 139, c.y + 159, 0);
    DrawText(t.font, c.x + 70, c.y + 80, "clipped", t.image, 0, true, false);
    t.image->ResetClip();
}

void Probe(const PageTools& t, Cell c) {
    // Stripes, and GetPixel under a cross moving over them; outside a surface it answers 0.
    for (int i = 0; i < 7; ++i) FillRect(t.image, c.x + 20 * i, c.y, c.x + 20 * i + 19, c.y + 99, static_cast<uint8_t>(32 + 16 * i));
    int32_t x = c.x + static_cast<int32_t>((t.clock / 25) % 140);
    int32_t y = c.y + 50;
    uint8_t under = GetPixel(t.image, x, y);
    DrawLine(t.image, x - 6, y, x + 6, y, kInk);
    DrawLine(t.image, x, y - 6, x, y + 6, kInk);
    char text[32];
    std::snprintf(text, sizeof text, "index %d", under);
    DrawText(t.font, c.x, c.y + 112, text, t.image, kInk, false, false);
    std::snprintf(text, sizeof text, "(-1, -1): %d", GetPixel(t.image, -1, -1));
    DrawText(t.font, c.x, c.y + 132, text, t.image, kInk, false, false);
}

class ShapesPage : public Page {
public:
    const char* Title() const override { return "Shapes"; }
    void Draw(const PageTools& t) override {
        Rectangles(t, CellAt(t, 0, "FillRect DrawRect"));
        Lines(t, CellAt(t, 1, "DrawLine"));
        Circles(t, CellAt(t, 2, "Fill/DrawCircle"));
        Triangles(t, CellAt(t, 3, "FillTriangle"));
        Panels(t, CellAt(t, 4, "DrawPanel"));
        Pixels(t, CellAt(t, 5, "SetPixel"));
        Clipping(t, CellAt(t, 6, "SetClip"));
        Probe(t, CellAt(t, 7, "GetPixel"));
    }
};

}  // namespace

std::unique_ptr<Page> MakeShapesPage() { return std::make_unique<ShapesPage>(); }
