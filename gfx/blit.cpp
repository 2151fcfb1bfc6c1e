#include "gfx/blit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <utility>

#include "gfx/disc.h"
#include "gfx/sprite_sheet.h"
#include "gfx/surface.h"

// Coordinates are widened to 64 bits inside, so that a position plus a frame's size, a range's
// length or a product of two of them cannot overflow.

namespace {

constexpr uint8_t kTransparent = 5;
constexpr uint8_t kTintSlot = 15;

// A frame that exists and lies wholly inside the sheet's pixels. A cut only makes such frames;
// a rectangle set by hand is checked here so that no reader leaves the sheet.
struct Frame {
    const uint8_t* cells;  // its top-left cell
    int64_t pitch;         // the sheet's
    int64_t left, top, width, height;
};

bool FindFrame(const SpriteSheet* sheet, int16_t sprite, int16_t frame, const uint8_t* pixels, Frame* found) {
    SpriteRect r;
    if (!sheet || !pixels || !sheet->GetFrame(sprite, frame, &r)) return false;
    if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom || r.right > sheet->pitch ||
        r.bottom > sheet->height)
        return false;
    found->pitch = sheet->pitch;
    found->left = r.left;
    found->top = r.top;
    found->width = int64_t{r.right} - r.left;
    found->height = int64_t{r.bottom} - r.top;
    found->cells = pixels + found->top * found->pitch + found->left;
    return true;
}

bool HasPixels(const Surface* s) { return s && s->pixels && s->pitch > 0 && s->height > 0; }

uint8_t* Cell(Surface* s, int64_t x, int64_t y) { return s->pixels + y * s->pitch + x; }
const uint8_t* Cell(const Surface* s, int64_t x, int64_t y) { return s->pixels + y * s->pitch + x; }

// Eight cells at a time as one 64-bit word. Every operation below works byte by byte, so the
// machine's byte order does not matter.
constexpr uint64_t kEveryByte = 0x0101010101010101u;
constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;

uint64_t Load(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void Store(uint8_t* p, uint64_t word) { std::memcpy(p, &word, sizeof word); }

// 0xFF in each byte of `word` equal to the byte repeated in `pattern`, 0 in the others.
uint64_t BytesEqual(uint64_t word, uint64_t pattern) {
    const uint64_t x = word ^ pattern;
    const uint64_t nonZero = ((x & kLowBits) + kLowBits) | x;  // top bit of each byte: byte != 0
    return ((~nonZero & ~kLowBits) >> 7) * 0xFF;
}

uint64_t ReverseBytes(uint64_t x) {
    x = ((x & 0x00FF00FF00FF00FFu) << 8) | ((x >> 8) & 0x00FF00FF00FF00FFu);
    x = ((x & 0x0000FFFF0000FFFFu) << 16) | ((x >> 16) & 0x0000FFFF0000FFFFu);
    return (x << 32) | (x >> 32);
}

// One row of a sprite: `count` cells from `from` on, `step` bytes apart, onto `to`; the tint
// slot takes the tint and transparent cells are left alone. Runs along a sheet row, either way,
// go eight cells at a time; words without a tint slot or a hole are stored whole.
template <int kStep>
int64_t SpriteWords(uint8_t* to, const uint8_t* from, int64_t count, uint8_t tint) {
    const uint64_t tintWord = kEveryByte * tint;
    const bool tintHides = tint == kTransparent;
    int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word = kStep > 0 ? Load(from + i) : ReverseBytes(Load(from - i - 7));
        const uint64_t slot = BytesEqual(word, kEveryByte * kTintSlot);
        uint64_t hole = BytesEqual(word, kEveryByte * kTransparent);
        if ((slot | hole) == 0) {
            Store(to + i, word);
            continue;
        }
        if (tintHides)
            hole |= slot;
        else
            word = (word & ~slot) | (tintWord & slot);
        Store(to + i, (word & ~hole) | (Load(to + i) & hole));
    }
    return i;
}

void SpriteRow(uint8_t* to, const uint8_t* from, int64_t step, int64_t count, uint8_t tint) {
    int64_t i = 0;
    if (step == 1) i = SpriteWords<1>(to, from, count, tint);
    if (step == -1) i = SpriteWords<-1>(to, from, count, tint);
    for (; i < count; ++i) {
        uint8_t c = from[i * step];
        if (c == kTintSlot) c = tint;
        if (c != kTransparent) to[i] = c;
    }
}

// `count` cells of a repeating pattern row (`period` cells from `pattern`) onto `to`, starting at
// pattern cell `phase`. One pass of the pattern is copied in; the rest of the run copies the run
// itself in blocks that double, so a narrow pattern costs a few block copies per row. The
// pattern may lie in the target's own pixels.
void PatternRun(uint8_t* to, const uint8_t* pattern, int64_t period, int64_t phase, int64_t count) {
    int64_t done = std::min(period - phase, count);
    std::memmove(to, pattern + phase, static_cast<size_t>(done));
    const int64_t second = std::min(phase, count - done);
    std::memmove(to + done, pattern, static_cast<size_t>(second));
    done += second;
    // Now done ≥ period or the run is complete; to[i] = to[i − period] from here on.
    while (done < count) {
        const int64_t block = done / period * period;
        const int64_t n = std::min(block, count - done);
        std::memcpy(to + done, to + done - block, static_cast<size_t>(n));
        done += n;
    }
}

// trunc(i × span / steps), exactly, for 0 ≤ i ≤ steps ≤ 2³² − 1 and |span| ≤ 2³² − 1; 0 when
// steps is 0.
int64_t ScaledOffset(int64_t i, int64_t span, int64_t steps) {
    if (steps == 0) return 0;
    const uint64_t magnitude = static_cast<uint64_t>(span < 0 ? -span : span);
    const auto q = static_cast<int64_t>(static_cast<uint64_t>(i) * magnitude / static_cast<uint64_t>(steps));
    return span < 0 ? -q : q;
}

// The turned-frame mapping. Positions are double-precision values of the single-precision
// coefficients: row start plus dx × cs. Truncation is toward zero; values far outside any frame
// are held at ±2⁵⁰, which keeps the truncated position monotone in dx.
int64_t TruncatePosition(double v) {
    constexpr double kFar = 1125899906842624.0;  // 2⁵⁰
    if (v <= -kFar) return -static_cast<int64_t>(kFar);
    if (v >= kFar) return static_cast<int64_t>(kFar);
    return static_cast<int64_t>(v);
}

// The least n in [first, last + 1] with rises(n), for a predicate that is false up to some n and
// true from there on; searched from a guess, so a good guess costs a step or two.
template <typename Predicate>
int64_t FirstTrue(Predicate rises, int64_t first, int64_t last, double guess) {
    if (first > last || rises(first)) return first;
    if (!rises(last)) return last + 1;
    int64_t n = last;
    if (guess <= static_cast<double>(first)) n = first + 1;
    else if (guess < static_cast<double>(last)) n = static_cast<int64_t>(guess);
    while (n > first + 1 && rises(n - 1)) --n;
    while (!rises(n)) ++n;
    return n;
}

// The columns dx in [first, last] whose position base + dx × c truncates into [low, high):
// narrows [*from, *to], which ends empty (*from > *to) when there are none.
void AxisSpan(double base, double c, int64_t low, int64_t high, int64_t first, int64_t last, int64_t* from,
              int64_t* to) {
    auto at = [&](int64_t dx) { return TruncatePosition(base + static_cast<double>(dx) * c); };
    int64_t a = first, b = last;
    if (c > 0) {
        a = FirstTrue([&](int64_t dx) { return at(dx) >= low; }, first, last, (static_cast<double>(low) - base) / c);
        b = FirstTrue([&](int64_t dx) { return at(dx) >= high; }, first, last, (static_cast<double>(high) - base) / c) - 1;
    } else if (c < 0) {
        a = FirstTrue([&](int64_t dx) { return at(dx) < high; }, first, last, (static_cast<double>(high) - base) / c);
        b = FirstTrue([&](int64_t dx) { return at(dx) < low; }, first, last, (static_cast<double>(low) - base) / c) - 1;
    } else if (at(first) < low || at(first) >= high) {
        a = last + 1;
    }
    *from = std::max(*from, a);
    *to = std::min(*to, b);
}

}  // namespace

void CopyRect(Surface* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Surface* source) {
    if (!HasPixels(target) || !HasPixels(source)) return;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    // Each clip rectangle, and each surface's bounds in case a clip rectangle was set by hand.
    for (const Surface* s : {static_cast<const Surface*>(target), source}) {
        x0 = std::max({x0, s->clipLeft, 0});
        y0 = std::max({y0, s->clipTop, 0});
        x1 = std::min({x1, s->clipRight, s->pitch - 1});
        y1 = std::min({y1, s->clipBottom, s->height - 1});
    }
    if (x0 > x1 || y0 > y1 || target == source) return;
    const auto run = static_cast<size_t>(x1 - x0 + 1);
    for (int64_t y = y0; y <= y1; ++y) std::memcpy(Cell(target, x0, y), Cell(source, x0, y), run);
}

void StretchCopy(Surface* target, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1, int32_t dx0, int32_t dy0,
                 int32_t dx1, int32_t dy1, const Surface* source) {
    if (!HasPixels(target) || !HasPixels(source) || dx1 < dx0 || dy1 < dy0) return;
    const int64_t spanX = int64_t{sx1} - sx0, stepsX = int64_t{dx1} - dx0;
    const int64_t spanY = int64_t{sy1} - sy0, stepsY = int64_t{dy1} - dy0;
    const int64_t rowFirst = std::max<int64_t>(dy0, 0), rowLast = std::min<int64_t>(dy1, target->height - 1);
    int64_t colFirst = std::max<int64_t>(dx0, 0), colLast = std::min<int64_t>(dx1, target->pitch - 1);
    // Source columns are monotone in the target column, so those inside the source form one run.
    auto sourceColumn = [&](int64_t x) { return sx0 + ScaledOffset(x - dx0, spanX, stepsX); };
    auto insideSource = [&](int64_t x) { return sourceColumn(x) >= 0 && sourceColumn(x) < source->pitch; };
    while (colFirst <= colLast && !insideSource(colFirst)) ++colFirst;
    while (colLast >= colFirst && !insideSource(colLast)) --colLast;
    if (colFirst > colLast || rowFirst > rowLast) return;

    // Columns go in chunks whose source offsets fit a table on the stack. A target row whose
    // source row is the one before's is a copy of that target row.
    constexpr int64_t kChunk = 512;
    int32_t columns[kChunk];
    for (int64_t chunk = colFirst; chunk <= colLast; chunk += kChunk) {
        const int64_t n = std::min(kChunk, colLast - chunk + 1);
        for (int64_t k = 0; k < n; ++k) columns[k] = static_cast<int32_t>(sourceColumn(chunk + k));
        int64_t previous = -1;
        for (int64_t y = rowFirst; y <= rowLast; ++y) {
            const int64_t sy = sy0 + ScaledOffset(y - dy0, spanY, stepsY);
            if (sy < 0 || sy >= source->height) {
                previous = -1;
                continue;
            }
            uint8_t* to = Cell(target, chunk, y);
            if (sy == previous && target != source) {
                std::memcpy(to, to - target->pitch, static_cast<size_t>(n));
                continue;
            }
            const uint8_t* from = Cell(source, 0, sy);
            for (int64_t k = 0; k < n; ++k) to[k] = from[columns[k]];
            previous = sy;
        }
    }
}

void DrawSprite(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame, Surface* target,
                bool flipX, bool flipY, bool transpose, uint8_t tint) {
    DrawSpriteCentred(sheet, x, y, sprite, frame, target, false, flipX, flipY, transpose, tint);
}

void DrawSpriteCentred(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame,
                       Surface* target, bool centre, bool flipX, bool flipY, bool transpose, uint8_t tint) {
    Frame f;
    if (!HasPixels(target) || !sheet || !FindFrame(sheet, sprite, frame, sheet->pixels, &f)) return;
    // Target cell (u, v) of the drawn frame, which is w × h or, transposed, h × w, reads the
    // frame's cell (a, b) — or (b, a) when transposed — with a = u or w' − 1 − u and b = v or
    // h' − 1 − v by the flips.
    const int64_t width = transpose ? f.height : f.width;
    const int64_t height = transpose ? f.width : f.height;
    int64_t left = x, top = y;
    if (centre) {
        left -= width >> 1;
        top -= height >> 1;
    }
    const int64_t u0 = std::max<int64_t>(0, -left), u1 = std::min<int64_t>(width, target->pitch - left);
    const int64_t v0 = std::max<int64_t>(0, -top), v1 = std::min<int64_t>(height, target->height - top);
    if (u0 >= u1 || v0 >= v1) return;

    const int64_t alongU = transpose ? f.pitch : 1;  // sheet bytes from one a to the next
    const int64_t alongV = transpose ? 1 : f.pitch;
    const int64_t stepU = flipX ? -alongU : alongU;
    const int64_t a = flipX ? width - 1 - u0 : u0;
    for (int64_t v = v0; v < v1; ++v) {
        const int64_t b = flipY ? height - 1 - v : v;
        SpriteRow(Cell(target, left + u0, top + v), f.cells + a * alongU + b * alongV, stepU, u1 - u0, tint);
    }
}

void DrawSpriteRotated(const SpriteSheet* sheet, int32_t x, int32_t y, int16_t sprite, int16_t frame,
                       Surface* target, float angle, float scale) {
    Frame f;
    if (!HasPixels(target) || !sheet || !FindFrame(sheet, sprite, frame, sheet->pixels, &f)) return;
    if (!std::isfinite(angle) || !std::isfinite(scale) || !(scale > 0)) return;
    const float a = -angle * 0.017453292f;
    const auto cs = static_cast<float>(std::cos(static_cast<double>(a)) / static_cast<double>(scale));
    const auto sn = static_cast<float>(std::sin(static_cast<double>(a)) / static_cast<double>(scale));
    // A scale so small that the coefficients overflow a float would read every cell from one.
    if (!std::isfinite(cs) || !std::isfinite(sn)) return;

    const int64_t hw = f.width >> 1, hh = f.height >> 1;
    const double reach = std::sqrt(static_cast<double>(hw * hw + hh * hh)) * static_cast<double>(scale);
    // Only cells on the target matter, so a reach beyond any surface is cut to one.
    const auto r = static_cast<int64_t>(std::min(reach, 4294967296.0));
    const int64_t dyFirst = std::max<int64_t>(-r, -int64_t{y}), dyLast = std::min<int64_t>(r, target->height - 1 - int64_t{y});
    const int64_t dxFirst = std::max<int64_t>(-r, -int64_t{x}), dxLast = std::min<int64_t>(r, target->pitch - 1 - int64_t{x});
    if (dyFirst > dyLast || dxFirst > dxLast) return;

    const double csd = cs, snd = sn;
    const double centreX = static_cast<double>(f.left + hw), centreY = static_cast<double>(f.top + hh);
    const uint8_t* sheetCells = sheet->pixels;

    // When both coefficients are whole multiples of 2⁻³² and every position and offset stays below 2²⁰,
    // positions are exact in 32.32 fixed point as in double, so a run can be walked by integer
    // steps and give the same cells. Frames on the sheet's first row or column are left to the
    // double walk, which truncates toward zero where the fixed-point shift would floor.
    constexpr double kUnit = 4294967296.0;  // 2³²
    auto exactFixed = [&](double c) { return std::abs(c) < 256.0 && std::trunc(c * kUnit) == c * kUnit; };
    const double extent = std::max(centreX, centreY) + static_cast<double>(r) * (std::abs(csd) + std::abs(snd)) + 2.0;
    const bool fixedPoint = exactFixed(csd) && exactFixed(snd) && extent < 1048576.0 && r < 1048576 && f.left >= 1 &&
                            f.top >= 1;
    const auto csFixed = static_cast<int64_t>(csd * kUnit), snFixed = static_cast<int64_t>(snd * kUnit);

    for (int64_t dy = dyFirst; dy <= dyLast; ++dy) {
        const double rowX = centreX + static_cast<double>(dy) * snd;
        const double rowY = centreY + static_cast<double>(dy) * csd;
        int64_t from = dxFirst, to = dxLast;
        AxisSpan(rowX, csd, f.left, f.left + f.width, dxFirst, dxLast, &from, &to);
        if (from > to) continue;
        AxisSpan(rowY, -snd, f.top, f.top + f.height, dxFirst, dxLast, &from, &to);
        if (from > to) continue;
        // Every cell between two inside the frame is inside too: positions are monotone in dx
        // and the frame is convex.
        uint8_t* out = Cell(target, int64_t{x}, int64_t{y} + dy);
        if (fixedPoint) {
            int64_t px = static_cast<int64_t>(rowX * kUnit) + from * csFixed;
            int64_t py = static_cast<int64_t>(rowY * kUnit) - from * snFixed;
            for (int64_t dx = from; dx <= to; ++dx, px += csFixed, py -= snFixed) {
                const uint8_t c = sheetCells[(py >> 32) * f.pitch + (px >> 32)];
                if (c != kTransparent) out[dx] = c;
            }
        } else {
            for (int64_t dx = from; dx <= to; ++dx) {
                const auto sx = static_cast<int64_t>(rowX + static_cast<double>(dx) * csd);
                const auto sy = static_cast<int64_t>(rowY - static_cast<double>(dx) * snd);
                const uint8_t c = sheetCells[sy * f.pitch + sx];
                if (c != kTransparent) out[dx] = c;
            }
        }
    }
}

void TileSprite(const SpriteSheet* sheet, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int16_t sprite,
                int16_t frame, Surface* target) {
    Frame f;
    if (!HasPixels(target) || !sheet || !FindFrame(sheet, sprite, frame, sheet->pixels, &f)) return;
    if (f.width == 0 || f.height == 0) return;
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    const int64_t left = std::max(x0, 0), right = std::min(x1, target->pitch - 1);
    const int64_t top = std::max(y0, 0), bottom = std::min(y1, target->height - 1);
    if (left > right || top > bottom) return;
    const int64_t count = right - left + 1;
    for (int64_t y = top; y <= bottom; ++y) {
        // From the frame's height on, a row repeats the row one pattern height above it.
        if (y - top >= f.height)
            std::memcpy(Cell(target, left, y), Cell(target, left, y - f.height), static_cast<size_t>(count));
        else
            PatternRun(Cell(target, left, y), f.cells + (y % f.height) * f.pitch, f.width, left % f.width, count);
    }
}

void TileSpriteCircle(const SpriteSheet* sheet, int32_t cx, int32_t cy, int32_t r, int16_t sprite, int16_t frame,
                      Surface* target) {
    Frame f;
    if (!HasPixels(target) || !sheet || !FindFrame(sheet, sprite, frame, sheet->pixels, &f)) return;
    if (f.width == 0 || f.height == 0 || r <= 0) return;
    // Rows cy + k for k from −r to r − 1, those on the target only.
    const int64_t kFirst = std::max<int64_t>(-int64_t{r}, -int64_t{cy});
    const int64_t kLast = std::min<int64_t>(int64_t{r} - 1, target->height - 1 - int64_t{cy});
    for (int64_t k = kFirst; k <= kLast; ++k) {
        const int64_t half = DiscHalfWidth(r, k);
        const int64_t left = std::max<int64_t>(cx - half, 0);
        const int64_t right = std::min<int64_t>(cx + half - 1, target->pitch - 1);
        if (left > right) continue;
        const int64_t row = cy + k;
        PatternRun(Cell(target, left, row), f.cells + (row % f.height) * f.pitch, f.width, left % f.width,
                   right - left + 1);
    }
}

int32_t FrameWidth(const SpriteSheet* sheet, int16_t sprite, int16_t frame) {
    SpriteRect r;
    return sheet && sheet->GetFrame(sprite, frame, &r) ? r.right - r.left : 0;
}

int32_t FrameHeight(const SpriteSheet* sheet, int16_t sprite, int16_t frame) {
    SpriteRect r;
    return sheet && sheet->GetFrame(sprite, frame, &r) ? r.bottom - r.top : 0;
}

bool FrameOrigin(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int16_t* left, int16_t* top) {
    SpriteRect r{-1, -1, -1, -1};
    const bool found = sheet && sheet->GetFrame(sprite, frame, &r);
    if (!found) r.left = r.top = -1;
    if (left) *left = static_cast<int16_t>(r.left);
    if (top) *top = static_cast<int16_t>(r.top);
    return found;
}

uint8_t FramePixelIn(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int32_t u, int32_t v,
                     const uint8_t* pixels) {
    Frame f;
    if (!FindFrame(sheet, sprite, frame, pixels, &f)) return 0;
    if (u < 0 || v < 0 || u >= f.width || v >= f.height) return 0;
    return f.cells[int64_t{v} * f.pitch + u];
}

uint8_t FramePixel(const SpriteSheet* sheet, int16_t sprite, int16_t frame, int32_t u, int32_t v) {
    return sheet ? FramePixelIn(sheet, sprite, frame, u, v, sheet->pixels) : 0;
}

uint8_t GetPixelFrom(const Surface* surface, int32_t x, int32_t y, const uint8_t* pixels) {
    if (!surface || !pixels || x < 0 || y < 0 || x >= surface->pitch || y >= surface->height) return 0;
    return pixels[int64_t{y} * surface->pitch + x];
}

int16_t SpriteFrameCount(const SpriteSheet* sheet, int16_t sprite) {
    const int32_t count = sheet ? sheet->FrameCount(sprite) : 0;
    return static_cast<int16_t>(std::min<int32_t>(count, std::numeric_limits<int16_t>::max()));
}

uint32_t AnimationClock(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const auto sinceEpoch = now.time_since_epoch();
    const auto whole = floor<seconds>(sinceEpoch);
    const auto milli = duration_cast<milliseconds>(sinceEpoch - whole);
    return static_cast<uint32_t>(whole.count()) * 1000u + static_cast<uint32_t>(milli.count());
}

int16_t AnimationFrameAt(int16_t frameCount, int16_t period, uint32_t clock) {
    if (frameCount <= 0) return -1;
    if (period == 0) return 0;
    const auto divisor = static_cast<uint32_t>(int32_t{period});
    return static_cast<int16_t>(clock / divisor % static_cast<uint32_t>(frameCount));
}

int16_t AnimationFrame(const SpriteSheet* sheet, int16_t sprite, int16_t period) {
    return AnimationFrameAt(SpriteFrameCount(sheet, sprite), period, AnimationClock(std::chrono::system_clock::now()));
}
