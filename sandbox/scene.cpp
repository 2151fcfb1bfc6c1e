// The live scene and its edits.
#include "sandbox/scene.h"

#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"

namespace sandbox {

namespace {

constexpr size_t kCells = static_cast<size_t>(kSceneWidth) * kSceneHeight;

size_t CellIndex(int32_t x, int32_t y) { return static_cast<size_t>(y) * kSceneWidth + static_cast<size_t>(x); }
bool Inside(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < kSceneWidth && y < kSceneHeight; }

// The cells of the line from (x0, y0) to (x1, y1), as DrawLine sets them: Bresenham's walk, both
// ends included.
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

}  // namespace

bool SameSpans(const std::vector<WaterSpan>& a, const std::vector<WaterSpan>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x0 != b[i].x0 || a[i].x1 != b[i].x1 || a[i].y != b[i].y || a[i].active != b[i].active) return false;
    return true;
}

void SetSpans(const std::vector<WaterSpan>& spans) {
    ResetWater();
    for (const WaterSpan& s : spans) PourWater(s.x0, s.x1, s.y);
    for (size_t i = 0; i < spans.size(); ++i) appGlobals.waterSpans.spans[i].active = spans[i].active;
}

Scene::Scene() {
    appGlobals.sceneSurface = new ::Surface(kSceneWidth, kSceneHeight);
    appGlobals.sceneSurface->Clear(EmptyIndex);
    InitWater();
}

Scene::~Scene() {
    FreeWater();
    delete appGlobals.sceneSurface;
    appGlobals.sceneSurface = nullptr;
}

Surface* Scene::Image() const { return appGlobals.sceneSurface; }

const uint8_t* Scene::Pixels() const { return appGlobals.sceneSurface->pixels; }

uint8_t Scene::At(int32_t x, int32_t y) const { return GetPixel(appGlobals.sceneSurface, x, y); }

std::vector<WaterSpan> Scene::Spans() const {
    const WaterSpanList& list = appGlobals.waterSpans;
    return std::vector<WaterSpan>(list.spans, list.spans + list.count);
}

int32_t Scene::SpanCount() const { return appGlobals.waterSpans.count; }

int32_t Scene::WaterCells() const {
    int32_t n = 0;
    const uint8_t* p = Pixels();
    for (size_t i = 0; i < kCells; ++i) n += p[i] == WaterIndex;
    return n;
}

void Scene::SetPour(bool on, int32_t x, int32_t y, int32_t size) {
    pouring = on;
    pourLeft = BrushLeft(x, size);
    pourRight = BrushRight(x, size);
    pourRow = y;
}

void Scene::Step() {
    for (const Tap& t : taps) PourWater(t.x - kTapHalfWidth, t.x + kTapHalfWidth, t.y);
    if (pouring) PourWater(pourLeft, pourRight, pourRow);
    StepWater();
    ++step;
}

void Scene::Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t size, uint8_t colour) {
    std::vector<uint8_t> covered(kCells, 0);
    ForLineCells(x0, y0, x1, y1, [&](int32_t cx, int32_t cy) {
        ForBrushCells(cx, cy, size, [&](int32_t x, int32_t y) {
            if (Inside(x, y)) covered[CellIndex(x, y)] = 1;
        });
    });
    uint8_t* p = appGlobals.sceneSurface->pixels;
    for (size_t i = 0; i < kCells; ++i)
        if (covered[i]) p[i] = colour;
    CutSpans(covered);
    if (colour == EmptyIndex)
        std::erase_if(taps, [&](const Tap& t) { return covered[CellIndex(t.x, t.y)] != 0; });
}

void Scene::CutSpans(const std::vector<uint8_t>& covered) {
    std::vector<WaterSpan> kept;
    bool changed = false;
    for (const WaterSpan& s : Spans()) {
        if (s.y < 0 || s.y >= kSceneHeight) {
            kept.push_back(s);
            continue;
        }
        // The runs of the span's cells that are not covered, left to right; cells outside the
        // scene are never covered.
        int32_t start = s.x0;
        for (int32_t x = s.x0; x <= s.x1 + 1; ++x) {
            bool cut = x <= s.x1 && x >= 0 && x < kSceneWidth && covered[CellIndex(x, s.y)];
            if (x <= s.x1 && !cut) continue;
            if (cut) changed = true;
            if (x > start) kept.push_back(WaterSpan{start, x - 1, s.y, s.active});
            start = x + 1;
        }
    }
    if (changed) SetSpans(kept);
}

bool Scene::AddTap(int32_t x, int32_t y) {
    if (!Inside(x, y)) return false;
    for (const Tap& t : taps)
        if (t.x == x && t.y == y) return false;
    taps.push_back(Tap{x, y});
    return true;
}

bool Scene::Fill(int32_t x, int32_t y, std::string* why) {
    if (!Inside(x, y) || At(x, y) != EmptyIndex) {
        *why = "fill: click an empty cell";
        return false;
    }
    uint8_t* p = appGlobals.sceneSurface->pixels;
    std::vector<uint8_t> region(kCells, 0);
    std::vector<size_t> todo{CellIndex(x, y)};
    region[todo.back()] = 1;
    while (!todo.empty()) {
        size_t i = todo.back();
        todo.pop_back();
        auto cx = static_cast<int32_t>(i % kSceneWidth), cy = static_cast<int32_t>(i / kSceneWidth);
        if (cy == kSceneHeight - 1) {
            *why = "fill: this region is open to the bottom of the scene";
            return false;
        }
        const int32_t next[4][2] = {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}};
        for (const auto& n : next) {
            if (!Inside(n[0], n[1]) || n[1] < y) continue;
            size_t j = CellIndex(n[0], n[1]);
            if (region[j] || p[j] != EmptyIndex) continue;
            region[j] = 1;
            todo.push_back(j);
        }
    }
    for (int32_t row = 0; row < kSceneHeight; ++row)
        for (int32_t col = 0; col < kSceneWidth; ++col) {
            if (!region[CellIndex(col, row)]) continue;
            int32_t end = col;
            while (end + 1 < kSceneWidth && region[CellIndex(end + 1, row)]) ++end;
            PourWater(col, end, row);
            std::memset(p + CellIndex(col, row), WaterIndex, static_cast<size_t>(end - col + 1));
            col = end;
        }
    return true;
}

void Scene::Clear() {
    appGlobals.sceneSurface->Clear(EmptyIndex);
    ResetWater();
    taps.clear();
}

SceneState Scene::Save() const {
    SceneState s;
    s.pixels.assign(Pixels(), Pixels() + kCells);
    s.spans = Spans();
    s.taps = taps;
    s.step = step;
    return s;
}

bool Scene::Restore(const SceneState& state) {
    if (state.pixels.size() != kCells) return false;
    std::memcpy(appGlobals.sceneSurface->pixels, state.pixels.data(), kCells);
    SetSpans(state.spans);
    taps = state.taps;
    step = state.step;
    return true;
}

void Scene::SetWalls(const std::vector<bool>& light) {
    Clear();
    uint8_t* p = appGlobals.sceneSurface->pixels;
    for (size_t i = 0; i < kCells && i < light.size(); ++i) p[i] = light[i] ? EmptyIndex : kWallIndex;
    step = 0;
}

}  // namespace sandbox
