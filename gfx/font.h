// Fixed-size bitmap fonts and text drawn with them into a Surface.
#pragma once

#include <cstdint>

class Surface;

// A strip of 92 glyph cells side by side, one byte per pixel: 0 is background, anything else
// ink. Pixel (k, j) of glyph g is at glyphs + j × 92 × cellWidth + g × cellWidth + k.
class BitmapFont {
public:
    static constexpr int32_t kGlyphCount = 92;  // glyphs in the strip
    // The character of each glyph, in strip order: letters, digits, then the signs. The two
    // bytes above 127 are code page 1252's degree sign (0xB0) and pound sign (0xA3). A space
    // advances without ink; any other character without a glyph draws a solid cell.
    static constexpr char kGlyphCharacters[kGlyphCount + 1] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/=()<>[]#\xB0^.:,;'\"!?|\\%&$\xA3_@";

    // Copies 92 × cellWidth × cellHeight bytes from `glyphBytes`.
    BitmapFont(int32_t cellWidth, int32_t cellHeight, const uint8_t* glyphBytes);
    // Reads the raw strip from a file. A file that cannot be opened leaves the font without
    // glyphs (null); a short file leaves the bytes it lacks as background.
    BitmapFont(int32_t cellWidth, int32_t cellHeight, const char* fileName);
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // The size of a glyph's cell in pixels: a character advances the text by CellWidth().
    int32_t CellWidth() const { return cellWidth; }
    int32_t CellHeight() const { return cellHeight; }

    uint8_t* glyphs;  // owned; null when the font has no glyphs
    // The size of a glyph's cell, as given.
    int32_t cellWidth;
    int32_t cellHeight;
};

// Draws `text` with its top-left corner at (x, y), or centred on it, ink pixels only, in one
// colour index; `boxed` puts it in a filled box with an etched frame first. False for an empty
// text, a surface without pixels or a font without glyphs.
bool DrawText(const BitmapFont* font, int32_t x, int32_t y, const char* text, Surface* surface, uint8_t colour,
              bool centred, bool boxed);
// The value in decimal, drawn as DrawText draws it.
bool DrawNumber(const BitmapFont* font, int32_t x, int32_t y, int32_t value, Surface* surface, uint8_t colour,
                bool centred, bool boxed);
// A value on text line `line` of the screen surface, in the application's font, over a dark
// grey bar.
void DebugInt(int32_t line, int32_t value);
void DebugFloat(int32_t line, float value);
// The double outline of a text box: light outside and dark inside along the top and left,
// light inside and dark outside along the bottom and right.
void DrawEtchedFrame(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
