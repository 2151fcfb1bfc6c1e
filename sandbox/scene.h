// The sandbox's scene: the 640 × 480 scene surface the water runs on (appGlobals.sceneSurface),
// the span list (appGlobals.waterSpans), the taps and the step counter, and the edits the tools
// make on them. Nothing here needs a window: the program's window, its batch mode and the tests
// all drive this one model.
//
// Walls hold. The water's list is not told of cells painted over, so a span under a new wall would
// keep its extent and repaint itself over the wall when it next moves; and the water's own step
// paints a falling span's whole width, over whatever lies below it, when only its first column was
// seen free (a span resting partly on water that falls away in the same step and partly on a
// wall: the top of a wall under an overflowing pool). The sandbox keeps its walls against both:
//   - every cell a wall brush, straight wall or eraser covers is cut out of the spans that hold it
//     (a span keeps the pieces left and right of the cut, in its place in the list, the left piece
//     first); water under a wall is thus gone, and a wall stands where it was drawn;
//   - after every step, each wall cell the step painted is a wall again, and the water painted on
//     it is cut out of its span the same way.
// So the walls change only by the player's tools, and no span ever lies on a wall.
//
// Water that shows. The water's PourWater adds a span without painting it; a span that cannot
// fall at once stays unseen, and a pour every step onto the same cells piles up spans that no
// one sees (hundreds of thousands under a few taps). The sandbox's taps and water brush pour only
// onto the empty cells under them, each run of them one span, and paint it at once: what they add
// is always water on the scene, and a tap whose cells are all water adds nothing.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "water/water.h"

class Surface;

namespace sandbox {

// The scene's size: every scene, file and picture of the sandbox has it.
constexpr int32_t kSceneWidth = 640;
constexpr int32_t kSceneHeight = 480;
constexpr uint8_t kWallIndex = 0;  // what the wall brush draws; every index but 1 and 15 is solid
constexpr int32_t kTapHalfWidth = 5;  // a tap pours on 11 cells, x − 5 .. x + 5, as the demonstration's pour
constexpr int32_t kMinBrush = 1;
constexpr int32_t kMaxBrush = 32;

// Whether a colour of the scene is a wall: anything but empty and water.
inline bool IsWall(uint8_t colour) { return colour != EmptyIndex && colour != WaterIndex; }

struct Tap {
    int32_t x;
    int32_t y;
    bool operator==(const Tap&) const = default;
};

// Everything a scene is, by value: what undo keeps, what a scene file holds.
struct SceneState {
    std::vector<uint8_t> pixels;  // kSceneWidth × kSceneHeight, top row first
    std::vector<WaterSpan> spans;  // in list order, with their active marks
    std::vector<Tap> taps;         // in the order they were placed
    uint32_t step = 0;
};

bool SameSpans(const std::vector<WaterSpan>& a, const std::vector<WaterSpan>& b);

// The brush of size s (1 to 32) centred on (x, y): the cells (x − s/2 + i, y − s/2 + j), i and j
// from 0 to s − 1, whose centres lie inside the circle of diameter s about the brush's centre,
// that is (2i + 1 − s)² + (2j + 1 − s)² ≤ s². Size 1 is one cell, 2 a 2 × 2 block, 4 a 4 × 4 block
// without its corners. Calls cell(x, y) for each, row by row.
template <typename Cell>
void ForBrushCells(int32_t x, int32_t y, int32_t size, Cell cell) {
    for (int32_t j = 0; j < size; ++j)
        for (int32_t i = 0; i < size; ++i) {
            int32_t u = 2 * i + 1 - size;
            int32_t v = 2 * j + 1 - size;
            if (u * u + v * v <= size * size) cell(x - size / 2 + i, y - size / 2 + j);
        }
}

// The cells of the line from (x0, y0) to (x1, y1): Bresenham's walk, both ends included.
template <typename Cell>
void ForLineCells(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Cell cell) {
    int32_t dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int32_t dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    for (;;) {
        cell(x0, y0);
        if (x0 == x1 && y0 == y1) return;
        int32_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

// The cells a stroke of the brush of `size` from (x0, y0) to (x1, y1) covers: the brush stamped at
// every cell of the line between them. A cell may come more than once.
template <typename Cell>
void ForStrokeCells(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t size, Cell cell) {
    ForLineCells(x0, y0, x1, y1, [&](int32_t cx, int32_t cy) { ForBrushCells(cx, cy, size, cell); });
}

// The first and last column of the water brush's span of width `size` under column x: the brush's
// own columns, x − size/2 .. x − size/2 + size − 1 (11 wide gives x − 5 .. x + 5).
inline int32_t BrushLeft(int32_t x, int32_t size) { return x - size / 2; }
inline int32_t BrushRight(int32_t x, int32_t size) { return x - size / 2 + size - 1; }

// The live scene. It owns appGlobals.sceneSurface and the water's list while it lives: made
// empty (every cell EmptyIndex, no span, no tap, step 0) and released when it goes. One at a
// time; the display format must be 640 × 480 × 8 (SetDisplayFormat) with the palette set.
class Scene {
public:
    Scene();
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    const uint8_t* Pixels() const;
    uint8_t At(int32_t x, int32_t y) const;  // 0 (solid) outside the scene, as the water reads it
    std::vector<WaterSpan> Spans() const;
    int32_t SpanCount() const;
    const std::vector<Tap>& Taps() const { return taps; }
    uint32_t StepNumber() const { return step; }
    int32_t WaterCells() const;  // cells of WaterIndex on the scene

    // One step: every tap pours onto the empty cells of its 11, in the order the taps were
    // placed; then the water brush onto the empty cells of its span, when one is held (SetPour);
    // then the water's step; then every wall the step painted over is put back.
    void Step();
    // The water brush: while on, each Step pours onto the empty cells of the span of width `size`
    // under (x, y) first.
    void SetPour(bool on, int32_t x, int32_t y, int32_t size);

    // Edits. Each is one change of the scene; the caller keeps undo (History) around them.
    // A stroke of the round brush from (x0, y0) to (x1, y1) (ForStrokeCells). `colour` kWallIndex
    // draws walls, EmptyIndex erases; either way the covered cells leave the spans that hold them,
    // and an erasing stroke also removes the taps whose point it covers.
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t size, uint8_t colour);
    // A tap at (x, y). False, with nothing changed and the reason in *why (in a player's words),
    // when the point is outside the scene, in a wall, or a tap is there already.
    bool AddTap(int32_t x, int32_t y, std::string* why);
    // Fills with water at rest the empty region under (x, y), up to row y, the water's surface:
    // the EmptyIndex cells reached from (x, y) through 4-connected EmptyIndex cells on row y or
    // below. A closed box clicked at its top row fills whole; a cup clicked below its rim fills up
    // to the pointer. The water is one span per run of the region's cells on a row, appended top
    // row first and left to right within a row, and painted at once. False, with nothing changed
    // and the reason in *why, when (x, y) is not an empty cell or the region reaches the bottom
    // row, where water drains away: the region is open.
    bool Fill(int32_t x, int32_t y, std::string* why);
    // Everything empty: no wall, no water, no tap; the step counter stays.
    void Clear();

    SceneState Save() const;
    // False, with nothing changed, when the state's pixels are not one scene's worth. Spans of the
    // state that lie on walls (files of earlier versions held such) keep only their cells off them.
    bool Restore(const SceneState& state);
    // Walls from a picture of the scene's size: each cell becomes EmptyIndex where `light` holds
    // it, else kWallIndex; no water, no taps, step 0.
    void SetWalls(const std::vector<bool>& light);

private:
    // Cuts the cells marked in `covered` (one byte a cell) out of the spans.
    void CutSpans(const std::vector<uint8_t>& covered);
    // Pours onto the empty cells of columns x0 .. x1 of `row`: a span each run, painted at once.
    void PourOnEmpty(int32_t x0, int32_t x1, int32_t row);
    // Puts back the walls the water's step painted over, and cuts their cells out of the spans.
    void KeepWalls();
    // wallRuns of these rows, from `walls`.
    void IndexWalls(int32_t firstRow, int32_t lastRow);

    // The walls as the player's tools left them: each cell's wall colour, or EmptyIndex where
    // there is none (water or empty); and each row's runs of them, first and last column.
    std::vector<uint8_t> walls;
    std::vector<std::vector<std::pair<int16_t, int16_t>>> wallRuns;
    std::vector<uint8_t> scratch;  // kCells zeros, for marking the cells KeepWalls cuts
    std::vector<Tap> taps;
    uint32_t step = 0;
    bool pouring = false;
    int32_t pourLeft = 0;
    int32_t pourRight = 0;
    int32_t pourRow = 0;
};

// The water's list replaced by `spans`, in this order and with these active marks.
void SetSpans(const std::vector<WaterSpan>& spans);

}  // namespace sandbox
