// The sandbox's scene: the 640 × 480 scene surface the water runs on (appGlobals.sceneSurface),
// the span list (appGlobals.waterSpans), the taps and the step counter, and the edits the tools
// make on them. Nothing here needs a window: the program's window, its batch mode and the tests
// all drive this one model.
//
// Walls drawn over water. The water's list is not told of cells painted over, so a span under a
// new wall would keep its extent and repaint itself over the wall when it next moves. The sandbox
// keeps the list and the picture in step instead: every cell a wall brush, straight wall or
// eraser covers is cut out of the spans that hold it (a span keeps the pieces left and right of
// the cut, in its place in the list, the left piece first). Water under a wall is thus gone, and
// a wall stands where it was drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "water/water.h"

class Surface;

namespace sandbox {

constexpr int32_t kSceneWidth = 640;
constexpr int32_t kSceneHeight = 480;
constexpr uint8_t kWallIndex = 0;  // what the wall brush draws; every index but 1 and 15 is solid
constexpr int32_t kTapHalfWidth = 5;  // a tap pours 11 cells, x − 5 .. x + 5, as the demonstration's pour
constexpr int32_t kMinBrush = 1;
constexpr int32_t kMaxBrush = 32;

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

    Surface* Image() const;
    const uint8_t* Pixels() const;
    uint8_t At(int32_t x, int32_t y) const;  // 0 (solid) outside the scene, as the water reads it
    std::vector<WaterSpan> Spans() const;
    int32_t SpanCount() const;
    const std::vector<Tap>& Taps() const { return taps; }
    uint32_t StepNumber() const { return step; }
    int32_t WaterCells() const;  // cells of WaterIndex on the scene

    // One step: every tap pours its 11-cell span, in the order the taps were placed; then the
    // water brush's span when one is held (SetPour); then the water's step.
    void Step();
    // The water brush: while on, each Step pours the span of width `size` under (x, y) first.
    void SetPour(bool on, int32_t x, int32_t y, int32_t size);

    // Edits. Each is one change of the scene; the caller keeps undo (History) around them.
    // A stroke of the round brush from (x0, y0) to (x1, y1): the brush stamped at every cell of
    // the line between them (DrawLine's cells). `colour` kWallIndex draws walls, EmptyIndex
    // erases; either way the covered cells leave the spans that hold them, and an erasing stroke
    // also removes the taps whose point it covers.
    void Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t size, uint8_t colour);
    // A tap at (x, y); false when the point is outside the scene or a tap is there already.
    bool AddTap(int32_t x, int32_t y);
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
    // False, with nothing changed, when the state's pixels are not one scene's worth.
    bool Restore(const SceneState& state);
    // Walls from a picture of the scene's size: each cell becomes EmptyIndex where `light` holds
    // it, else kWallIndex; no water, no taps, step 0.
    void SetWalls(const std::vector<bool>& light);

private:
    // Cuts the cells marked in `covered` (one byte a cell) out of the spans.
    void CutSpans(const std::vector<uint8_t>& covered);

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
