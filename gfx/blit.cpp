#include "gfx/blit.h"

#include <algorithm>
#include <bit>
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

constexpr uint8_t kTransparent = kSheetTransparentIndex;
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

// The whole words of a sprite row that runs along a sheet row, forward (kStep 1) or backward
// (−1), as SpriteRow draws them; answers the cells done. A word without a tint slot or a hole
// is stored whole.
template <int kStep>
int64_t SpriteWords(uint8_t* to, const uint8_t* from, int64_t count, uint8_t tint) {
    const uint64_t tintWord = kEveryByte * tint;
    const bool tintHides = tint == kTransparent;
    int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        if constexpr (kStep > 0)
            word = Load(from + i);
        else
            word = ReverseBytes(Load(from - i - 7));
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

// One row of a sprite: `count` cells from `from` on, `step` bytes apart, onto `to`; the tint
// slot takes the tint and transparent cells are left alone. Runs along a sheet row go eight
// cells at a time.
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

// Turning. A target cell dx, dy from the centre reads the frame cell at
//   column = left + hw + dy·sn + dx·cs,   row = top + hh + dy·cs − dx·sn,
// truncated toward zero. The positions are exact: in 64.64 fixed point, which holds the
// single-precision coefficients of every angle and scale but the most extreme. So every cell
// depends on its own dx and dy only, not on the order of a walk or where it was cut off.
struct TurnGeometry {
    int64_t x, y;                // the centre on the target
    int64_t dxFirst, dxLast;     // the part of the visited square on the target
    int64_t dyFirst, dyLast;
    int64_t left, top, hw, hh;   // the frame on the sheet, and its centre cell within it
    double cs, sn;
};

// A number in 64.64 fixed point: whole + fraction / 2⁶⁴, the whole part being the floor.
struct Fixed {
    int64_t whole;
    uint64_t fraction;
};

Fixed Plus(Fixed a, Fixed b) {
    const uint64_t fraction = a.fraction + b.fraction;
    return {a.whole + b.whole + (fraction < a.fraction ? 1 : 0), fraction};
}

Fixed Minus(Fixed a) { return {-a.whole - (a.fraction != 0 ? 1 : 0), 0 - a.fraction}; }

// a × n for |n| < 2³², with a whole part small enough that the product's cannot overflow.
Fixed Times(Fixed a, int64_t n) {
    const uint64_t m = static_cast<uint64_t>(n < 0 ? -n : n);
    // a.fraction × m has 96 bits: carry · 2⁶⁴ + fraction.
    const uint64_t low = (a.fraction & 0xFFFFFFFFu) * m, high = (a.fraction >> 32) * m;
    const uint64_t fraction = low + (high << 32);
    const uint64_t carry = (high >> 32) + (fraction < low ? 1 : 0);
    const Fixed product{a.whole * static_cast<int64_t>(m) + static_cast<int64_t>(carry), fraction};
    return n < 0 ? Minus(product) : product;
}

// A value with at most 64 fraction bits and a whole part that fits, exactly. The fraction of
// a negative value is taken from its magnitude: v − floor(v) could need more bits than a double.
Fixed ToFixed(double v) {
    if (v < 0) return Minus(ToFixed(-v));
    const double whole = std::floor(v);
    return {static_cast<int64_t>(whole), static_cast<uint64_t>((v - whole) * 18446744073709551616.0)};
}

// The fraction bits a finite single-precision value needs in fixed point: none for 0.
int FractionBits(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);  // std::bit_cast, which not every library has yet
    const auto exponent = static_cast<int>((bits >> 23) & 0xFF);
    uint32_t mantissa = bits & 0x7FFFFF;
    if (exponent != 0) mantissa |= 0x800000;  // the implicit leading bit of a normal number
    if (mantissa == 0) return 0;
    // v = mantissa · 2^(exponent − 150), or 2^−149 for a subnormal number.
    const int needed = 150 - std::max(exponent, 1) - std::countr_zero(mantissa);
    return std::max(needed, 0);
}

// Whether the fixed-point walk holds the coefficients exactly, with room for every product.
bool FitsFixed(float cs, float sn) {
    return FractionBits(cs) <= 64 && FractionBits(sn) <= 64 && std::abs(cs) < 1048576.0f &&
           std::abs(sn) < 1048576.0f;
}

// The frame cell under target cell dx, dy, counted from the frame's top-left, as a `Spot` that
// steps one cell right, left or down. Exact, in fixed point, for frames clear of the sheet's
// first row and column: every position inside such a frame is at least 1, where the floor the
// whole part keeps is the truncation.
class FixedTurn {
public:
    struct Spot {
        Fixed x, y;
    };
    explicit FixedTurn(const TurnGeometry& g)
        : cs(ToFixed(g.cs)), sn(ToFixed(g.sn)), minusCs(Minus(cs)), minusSn(Minus(sn)), hw(g.hw), hh(g.hh) {}
    Spot At(int64_t dx, int64_t dy) const {
        return {Plus(Fixed{hw, 0}, Plus(Times(sn, dy), Times(cs, dx))),
                Plus(Fixed{hh, 0}, Plus(Times(cs, dy), Times(minusSn, dx)))};
    }
    void Right(Spot& s) const { s = {Plus(s.x, cs), Plus(s.y, minusSn)}; }
    void Left(Spot& s) const { s = {Plus(s.x, minusCs), Plus(s.y, sn)}; }
    void Down(Spot& s) const { s = {Plus(s.x, sn), Plus(s.y, cs)}; }
    static int64_t Column(const Spot& s) { return s.x.whole; }
    static int64_t Line(const Spot& s) { return s.y.whole; }

    // Draws `count` cells from `s` rightward onto `out`, reading the frame's `cells` (rows
    // `pitch` apart). Every cell must be inside the frame.
    void Run(const Spot& s, uint8_t* out, int64_t count, const uint8_t* cells, int64_t pitch) const {
        const Walk w{cells, s.y.whole * pitch + s.x.whole, cs.whole + minusSn.whole * pitch, pitch,
                     s.x.fraction, s.y.fraction, cs.fraction, minusSn.fraction};
        // A step whose fraction is 0 never carries, and its carry is left out of the loop: the
        // row's at angle 0 (sn = 0) and at quarter turns of scale 1 (sn = ±1), the column's at a
        // half turn of scale 1 (cs = −1).
        if (cs.fraction == 0 && minusSn.fraction == 0)
            w.Cells<false, false>(out, count);
        else if (minusSn.fraction == 0)
            w.Cells<true, false>(out, count);
        else if (cs.fraction == 0)
            w.Cells<false, true>(out, count);
        else
            w.Cells<true, true>(out, count);
    }

private:
    // A walk along a run: the cell's offset in the frame moves by whole cells each step, plus
    // one cell for a carry out of the column's fraction and one row for a carry out of the row's.
    struct Walk {
        const uint8_t* cells;
        int64_t offset, step, pitch;
        uint64_t xFraction, yFraction, xStep, yStep;

        template <bool kCarryX, bool kCarryY>
        void Cells(uint8_t* out, int64_t count) const {
            // In locals, so that the loop keeps all of it in registers.
            int64_t at = offset;
            uint64_t x = xFraction, y = yFraction;
            const auto cell = [&] {
                const uint8_t c = cells[at];
                if (c != kTransparent) *out = c;
                ++out;
                at += step;
                if constexpr (kCarryX) {
                    const uint64_t next = x + xStep;
                    at += next < x ? 1 : 0;
                    x = next;
                }
                if constexpr (kCarryY) {
                    const uint64_t next = y + yStep;
                    at += next < y ? pitch : 0;
                    y = next;
                }
            };
            for (; count >= 2; count -= 2) {
                cell();
                cell();
            }
            if (count > 0) cell();
        }
    };

    Fixed cs, sn, minusCs, minusSn;
    int64_t hw, hh;
};

// The same cells from positions in double precision, for what the fixed point cannot hold.
class DoubleTurn {
public:
    struct Spot {
        int64_t dx, dy;
    };
    explicit DoubleTurn(const TurnGeometry& g)
        : cs(g.cs), sn(g.sn), centreX(static_cast<double>(g.left + g.hw)), centreY(static_cast<double>(g.top + g.hh)),
          left(g.left), top(g.top) {}
    static Spot At(int64_t dx, int64_t dy) { return {dx, dy}; }
    static void Right(Spot& s) { ++s.dx; }
    static void Left(Spot& s) { --s.dx; }
    static void Down(Spot& s) { ++s.dy; }
    int64_t Column(const Spot& s) const {
        return Truncate(centreX + static_cast<double>(s.dy) * sn + static_cast<double>(s.dx) * cs) - left;
    }
    int64_t Line(const Spot& s) const {
        return Truncate(centreY + static_cast<double>(s.dy) * cs - static_cast<double>(s.dx) * sn) - top;
    }
    void Run(Spot s, uint8_t* out, int64_t count, const uint8_t* cells, int64_t pitch) const {
        for (; count > 0; --count, ++out, Right(s)) {
            const uint8_t c = cells[Line(s) * pitch + Column(s)];
            if (c != kTransparent) *out = c;
        }
    }

private:
    // Held at ±2⁵⁰ far outside any frame, which keeps the position monotone in dx.
    static int64_t Truncate(double v) {
        constexpr double kFar = 1125899906842624.0;
        return static_cast<int64_t>(std::clamp(v, -kFar, kFar));
    }
    double cs, sn, centreX, centreY;
    int64_t left, top;
};

// Narrows [*from, *to] to the dx for which base + dx·c lies in [low, high], give or take two
// cells at each end; `inverse` is 1 / c.
void Narrow(double base, double c, double inverse, double low, double high, int64_t* from, int64_t* to) {
    if (c == 0) {
        if (base < low || base > high) *from = *to + 1;
        return;
    }
    double a = (low - base) * inverse, b = (high - base) * inverse;
    if (a > b) std::swap(a, b);
    if (a > static_cast<double>(*to) || b < static_cast<double>(*from)) {
        *from = *to + 1;
        return;
    }
    if (a > static_cast<double>(*from)) *from = std::max(*from, static_cast<int64_t>(a) - 2);
    if (b < static_cast<double>(*to)) *to = std::min(*to, static_cast<int64_t>(b) + 2);
}

template <typename Turn>
void TurnedRows(const Turn& turn, const TurnGeometry& g, const Frame& f, Surface* target) {
    using Spot = typename Turn::Spot;
    const auto inside = [&](const Spot& s) {
        return static_cast<uint64_t>(turn.Column(s)) < static_cast<uint64_t>(f.width) &&
               static_cast<uint64_t>(turn.Line(s)) < static_cast<uint64_t>(f.height);
    };
    // A row's cells inside the frame are one run, from..to: positions are monotone in dx and the
    // frame is convex. The ends of the run on one row are looked for from those of the row
    // above, a step or two away; the run is found afresh from an estimate where that fails.
    // Either way each end is checked exactly, so no cell of the run needs a test of its own.
    constexpr int kNearby = 4;
    Spot first{}, last{};  // at from and at to
    int64_t from = 0, to = -1;
    const auto settleFirst = [&] {
        if (inside(first)) {
            for (Spot next = first; from > g.dxFirst; --from, first = next) {
                turn.Left(next);
                if (!inside(next)) break;
            }
            return true;
        }
        for (int k = 0; k < kNearby && from < g.dxLast; ++k) {
            turn.Right(first);
            ++from;
            if (inside(first)) return true;
        }
        return false;
    };
    const auto settleLast = [&] {
        if (inside(last)) {
            for (Spot next = last; to < g.dxLast; ++to, last = next) {
                turn.Right(next);
                if (!inside(next)) break;
            }
            return true;
        }
        for (int k = 0; k < kNearby && to > g.dxFirst; ++k) {
            turn.Left(last);
            --to;
            if (inside(last)) return true;
        }
        return false;
    };
    const double inverseCs = 1 / g.cs, inverseSn = -1 / g.sn;  // infinite for 0, and then unused
    // Rows beyond the turned frame's corners, give or take two, hold none of its cells:
    // dy = (sn·u + cs·v) / (cs² + sn²) for a frame position (u, v) from the centre.
    double lowest = 0, highest = 0;
    const double norm = g.cs * g.cs + g.sn * g.sn;
    for (double u : {-1.0 - static_cast<double>(g.hw), static_cast<double>(f.width - g.hw) + 1})
        for (double v : {-1.0 - static_cast<double>(g.hh), static_cast<double>(f.height - g.hh) + 1}) {
            const double dy = (g.sn * u + g.cs * v) / norm;
            lowest = std::min(lowest, dy);
            highest = std::max(highest, dy);
        }
    const int64_t dyFirst = std::max(g.dyFirst, static_cast<int64_t>(std::max(lowest, -4e18)) - 2);
    const int64_t dyLast = std::min(g.dyLast, static_cast<int64_t>(std::min(highest, 4e18)) + 2);
    bool carried = false;
    for (int64_t dy = dyFirst; dy <= dyLast; ++dy) {
        if (carried) {
            turn.Down(first);
            turn.Down(last);
            carried = settleFirst() && settleLast();
        }
        if (!carried) {
            // A few cells more than the frame covers, trimmed at both ends.
            from = g.dxFirst;
            to = g.dxLast;
            const auto dyd = static_cast<double>(dy);
            const auto hw = static_cast<double>(g.hw), hh = static_cast<double>(g.hh);
            Narrow(hw + dyd * g.sn, g.cs, inverseCs, -1, static_cast<double>(f.width), &from, &to);
            Narrow(hh + dyd * g.cs, -g.sn, inverseSn, -1, static_cast<double>(f.height), &from, &to);
            if (from > to) continue;
            for (first = turn.At(from, dy); from <= to && !inside(first); ++from) turn.Right(first);
            if (from > to) continue;
            for (last = turn.At(to, dy); !inside(last); --to) turn.Left(last);
            carried = true;
        }
        turn.Run(first, Cell(target, g.x + from, g.y + dy), to - from + 1, f.cells, f.pitch);
    }
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
            int64_t k = 0;
            for (; k + 4 <= n; k += 4) {
                const uint8_t a = from[columns[k]], b = from[columns[k + 1]];
                const uint8_t c = from[columns[k + 2]], d = from[columns[k + 3]];
                to[k] = a;
                to[k + 1] = b;
                to[k + 2] = c;
                to[k + 3] = d;
            }
            for (; k < n; ++k) to[k] = from[columns[k]];
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
    if (!std::isfinite(angle) || !std::isfinite(scale) || !(scale > 0) || f.width == 0 || f.height == 0) return;
    // Only the coefficients are rounded to single precision, not the angle in radians before
    // them: at 90 degrees cs is then +4.68e−8 where a rounded angle would give −4.37e−8, and
    // the sign decides which edge cells are drawn.
    const double a = -static_cast<double>(angle) * 0.017453292;
    const auto cs = static_cast<float>(std::cos(a) / static_cast<double>(scale));
    const auto sn = static_cast<float>(std::sin(a) / static_cast<double>(scale));
    // A scale so small that the coefficients overflow a float would read every cell from one.
    if (!std::isfinite(cs) || !std::isfinite(sn)) return;

    const int64_t hw = f.width >> 1, hh = f.height >> 1;
    const double reach = std::sqrt(static_cast<double>(hw * hw + hh * hh)) * static_cast<double>(scale);
    // Only cells on the target matter, so a reach beyond any surface is cut to one.
    const auto r = static_cast<int64_t>(std::min(reach, 2147483647.0));
    const TurnGeometry g{x, y,
                         std::max<int64_t>(-r, -int64_t{x}), std::min<int64_t>(r, target->pitch - 1 - int64_t{x}),
                         std::max<int64_t>(-r, -int64_t{y}), std::min<int64_t>(r, target->height - 1 - int64_t{y}),
                         f.left, f.top, hw, hh, cs, sn};
    if (g.dxFirst > g.dxLast || g.dyFirst > g.dyLast) return;
    if (f.left >= 1 && f.top >= 1 && FitsFixed(cs, sn))
        TurnedRows(FixedTurn(g), g, f, target);
    else
        TurnedRows(DoubleTurn(g), g, f, target);
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
