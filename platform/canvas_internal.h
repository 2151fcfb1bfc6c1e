// Drawing of the window manager's own parts (menu bars, drop-downs, push buttons) into 32-bit
// pixels, in the colours of a classic Windows desktop.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace gdi {

// width × height pixels of 0x00RRGGBB, rows `pitch` pixels apart; everything drawn is clipped to it.
struct Canvas {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
};

// The system colours of the classic scheme, as 0x00RRGGBB.
constexpr uint32_t kFace = 0xC0C0C0;        // COLOR_3DFACE, COLOR_MENU
constexpr uint32_t kLight = 0xC0C0C0;       // COLOR_3DLIGHT
constexpr uint32_t kHighlight = 0xFFFFFF;   // COLOR_3DHILIGHT
constexpr uint32_t kShadow = 0x808080;      // COLOR_3DSHADOW, COLOR_GRAYTEXT
constexpr uint32_t kDarkShadow = 0x000000;  // COLOR_3DDKSHADOW
constexpr uint32_t kText = 0x000000;        // COLOR_MENUTEXT, COLOR_BTNTEXT
constexpr uint32_t kSelection = 0x000080;   // COLOR_HIGHLIGHT
constexpr uint32_t kSelectionText = 0xFFFFFF;

// The built-in text font: 5 × 7 glyphs in cells of 6 × 8 (a column and a row of spacing).
constexpr int kTextCellWidth = 6;
constexpr int kTextCellHeight = 8;
constexpr int kGlyphHeight = 7;

// Fills the rectangle from (left, top) to (right, bottom), both exclusive ends.
inline void Fill(const Canvas& c, int left, int top, int right, int bottom, uint32_t colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, c.width);
    bottom = std::min(bottom, c.height);
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) std::fill_n(c.pixels + static_cast<ptrdiff_t>(y) * c.pitch + left, right - left, colour);
}

// One line of a 3D edge around the rectangle (left, top)–(right, bottom), exclusive ends: the top
// and left sides in `topLeft`, the bottom and right sides in `bottomRight`, which owns the corners
// it shares with the other colour (top-right and bottom-left), as DrawEdge paints them.
inline void Edge(const Canvas& c, int left, int top, int right, int bottom, uint32_t topLeft, uint32_t bottomRight) {
    if (right - left < 1 || bottom - top < 1) return;
    Fill(c, left, top, right - 1, top + 1, topLeft);
    Fill(c, left, top, left + 1, bottom - 1, topLeft);
    Fill(c, left, bottom - 1, right, bottom, bottomRight);
    Fill(c, right - 1, top, right, bottom, bottomRight);
}

// Draws `length` characters of `text` in the built-in font, the first cell's top-left corner at
// (x, y): glyph pixels in `ink`, the rest of each cell in *paper unless paper is null.
void DrawText32(const Canvas& c, int64_t x, int64_t y, const char* text, int length, uint32_t ink, const uint32_t* paper);

}  // namespace gdi
