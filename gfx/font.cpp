// Bitmap fonts from memory or a file, text and numbers drawn with them, the etched text box and
// the debug lines.
#include "gfx/font.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"
#include "platform/stdio_file.h"

namespace {

constexpr int16_t kNoInk = -2;  // the space: advances, draws nothing
constexpr int16_t kSolid = -1;  // a character without a glyph: a full cell of the colour

constexpr uint8_t kBoxFill = 195;
constexpr uint8_t kLight = 15;
constexpr uint8_t kDark = 8;
constexpr uint8_t kDebugBar = 8;
constexpr uint8_t kDebugText = 14;
constexpr uint8_t kDebugNegative = 42;

// Glyph index of every byte.
constexpr std::array<int16_t, 256> MakeGlyphTable() {
    std::array<int16_t, 256> table{};
    for (int16_t& entry : table) entry = kSolid;
    for (int16_t g = 0; g < BitmapFont::kGlyphCount; ++g)
        table[static_cast<uint8_t>(BitmapFont::kGlyphCharacters[g])] = g;
    table[' '] = kNoInk;
    return table;
}
constexpr std::array<int16_t, 256> kGlyphOf = MakeGlyphTable();

// Bytes of a strip of 92 cells; 0 for a cell size that is not positive or too big to address.
size_t StripBytes(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    int64_t row = int64_t{BitmapFont::kGlyphCount} * width;
    if (row > INT32_MAX / height) return 0;
    return static_cast<size_t>(row * height);
}

// Coordinates worked out in 64 bits are handed to the 32-bit primitives clamped: every surface
// lies well inside the 32-bit range, so a clamped edge clips exactly as the true one would.
int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

void FillRect64(Surface* s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint8_t colour) {
    FillRect(s, Clamp32(x0), Clamp32(y0), Clamp32(x1), Clamp32(y1), colour);
}

void EtchedFrame(Surface* s, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    FillRect64(s, x0, y0, x1, y0, kLight);                   // top
    FillRect64(s, x0 + 1, y0 + 1, x1, y0 + 1, kDark);        // inner top
    FillRect64(s, x0, y1 - 1, x1 - 1, y1 - 1, kLight);       // inner bottom
    FillRect64(s, x0, y1, x1, y1, kDark);                    // bottom
    FillRect64(s, x0, y0, x0, y1 - 2, kLight);               // left
    FillRect64(s, x0 + 1, y0 + 2, x0 + 1, y1 - 2, kDark);    // inner left
    FillRect64(s, x1, y0 + 2, x1, y1 - 1, kDark);            // right
    FillRect64(s, x1 - 1, y0 + 2, x1 - 1, y1 - 2, kLight);   // inner right
}

void DebugLine(int32_t line, const char* text, uint8_t colour) {
    const BitmapFont* font = appGlobals.font;
    Surface* screen = appGlobals.screenSurface;
    if (!font || !screen) return;
    int64_t length = static_cast<int64_t>(std::strlen(text));
    int64_t top = int64_t{line} * font->cellHeight;
    FillRect64(screen, 0, top, length * font->cellWidth, top + font->cellHeight, kDebugBar);
    DrawText(font, 0, Clamp32(top), text, screen, colour, false, false);
}

}  // namespace

BitmapFont::BitmapFont(int32_t width, int32_t height, const uint8_t* glyphBytes)
    : glyphs(nullptr), cellWidth(width), cellHeight(height) {
    size_t bytes = StripBytes(width, height);
    if (bytes == 0 || !glyphBytes) return;
    glyphs = new uint8_t[bytes];
    std::memcpy(glyphs, glyphBytes, bytes);
}

BitmapFont::BitmapFont(int32_t width, int32_t height, const char* fileName)
    : glyphs(nullptr), cellWidth(width), cellHeight(height) {
    size_t bytes = StripBytes(width, height);
    if (bytes == 0 || !fileName) return;
    FILE* file = OpenFile(fileName, "rb");
    if (!file) return;
    glyphs = new uint8_t[bytes]();
    // A short file leaves the rest of the strip as background.
    std::fread(glyphs, 1, bytes, file);
    std::fclose(file);
}

BitmapFont::~BitmapFont() { delete[] glyphs; }

void DrawEtchedFrame(Surface* surface, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    EtchedFrame(surface, x0, y0, x1, y1);
}

bool DrawText(const BitmapFont* font, int32_t x, int32_t y, const char* text, Surface* surface, uint8_t colour,
              bool centred, bool boxed) {
    if (!font || !font->glyphs || !text || !surface) return false;
    const int64_t n = static_cast<int64_t>(std::strlen(text));
    if (n == 0) return false;
    const int64_t cellWidth = font->cellWidth;
    const int64_t cellHeight = font->cellHeight;
    int64_t left = x;
    int64_t top = y;
    if (centred) {
        left -= (n * cellWidth) >> 1;
        top -= cellHeight >> 1;
    }
    if (boxed) {
        FillRect64(surface, left - 3, top - 3, left + n * cellWidth + 1, top + cellHeight + 1, kBoxFill);
        EtchedFrame(surface, left - 3, top - 3, left + n * cellWidth + 1, top + cellHeight + 1);
    }

    int32_t clipLeft = 0, clipTop = 0, clipRight = -1, clipBottom = -1;
    GetClip(surface, &clipLeft, &clipTop, &clipRight, &clipBottom);
    int32_t pitch = 0, rows = 0;
    surface->GetSize(&pitch, &rows);
    uint8_t* pixels = surface->GetPixels();
    if (!pixels) return false;
    const int64_t clipL = std::max(clipLeft, 0);
    const int64_t clipT = std::max(clipTop, 0);
    const int64_t clipR = std::min(clipRight, pitch - 1);
    const int64_t clipB = std::min(clipBottom, rows - 1);

    // The pen is a pair of 16-bit coordinates from here on, as the text routines have always
    // kept it.
    auto penX = static_cast<int16_t>(left);
    auto penY = static_cast<int16_t>(top);
    const int64_t stripPitch = int64_t{BitmapFont::kGlyphCount} * cellWidth;
    // Rows and columns of a cell that fall inside the clip rectangle; only the columns move
    // with the pen.
    const int64_t firstRow = std::max<int64_t>(0, clipT - penY);
    const int64_t lastRow = std::min<int64_t>(cellHeight - 1, clipB - penY);
    for (int64_t i = 0; i < n; ++i, penX = static_cast<int16_t>(penX + cellWidth)) {
        int16_t glyph = kGlyphOf[static_cast<uint8_t>(text[i])];
        if (glyph == kNoInk) continue;
        int64_t firstColumn = std::max<int64_t>(0, clipL - penX);
        int64_t lastColumn = std::min<int64_t>(cellWidth - 1, clipR - penX);
        if (firstColumn > lastColumn) continue;
        const int64_t count = lastColumn - firstColumn + 1;
        for (int64_t j = firstRow; j <= lastRow; ++j) {
            uint8_t* out = pixels + (penY + j) * pitch + penX + firstColumn;
            if (glyph == kSolid) {
                std::memset(out, colour, static_cast<size_t>(count));
                continue;
            }
            const uint8_t* ink = font->glyphs + j * stripPitch + glyph * cellWidth + firstColumn;
            for (int64_t k = 0; k < count; ++k)
                if (ink[k] != 0) out[k] = colour;
        }
    }
    return surface->ReleasePixels(pixels);
}

bool DrawNumber(const BitmapFont* font, int32_t x, int32_t y, int32_t value, Surface* surface, uint8_t colour,
                bool centred, bool boxed) {
    char digits[12];  // a sign, ten digits and the terminator
    std::snprintf(digits, sizeof digits, "%d", value);
    return DrawText(font, x, y, digits, surface, colour, centred, boxed);
}

void DebugInt(int32_t line, int32_t value) {
    char text[256];
    std::snprintf(text, sizeof text, "%d", value);
    DebugLine(line, text, value < 0 ? kDebugNegative : kDebugText);
}

void DebugFloat(int32_t line, float value) {
    char text[256];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    DebugLine(line, text, kDebugText);
}
