// The live scene and its edits.
#include "sandbox/scene.h"

#include <algorithm>
#include <cstring>

#include "app/globals.h"
#include "gfx/draw.h"
#include "gfx/surface.h"

namespace sandbox {

namespace {

constexpr size_t kCells = static_cast<size_t>(kSceneWidth) * kSceneHeight;

size_t CellIndex(int32_t x, int32_t y) { return static_cast<size_t>(y) * kSceneWidth + static_cast<size_t>(x); }
bool Inside(int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < kSceneWidth && y < kSceneHeight; }

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

Scene::Scene() : walls(kCells, EmptyIndex), wallRuns(kSceneHeight), scratch(kCells, 0) {
    appGlobals.sceneSurface = new ::Surface(kSceneWidth, kSceneHeight);
    appGlobals.sceneSurface->Clear(EmptyIndex);
    InitWater();
}

Scene::~Scene() {
    FreeWater();
    delete appGlobals.sceneSurface;
    appGlobals.sceneSurface = nullptr;
}

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
    for (const Tap& t : taps) PourOnEmpty(t.x - kTapHalfWidth, t.x + kTapHalfWidth, t.y);
    if (pouring) PourOnEmpty(pourLeft, pourRight, pourRow);
    StepWater();
    KeepWalls();
    ++step;
}

void Scene::PourOnEmpty(int32_t x0, int32_t x1, int32_t row) {
    if (row < 0 || row >= kSceneHeight) return;
    uint8_t* line = appGlobals.sceneSurface->pixels + CellIndex(0, row);
    for (int32_t x = std::max(x0, 0), last = std::min(x1, kSceneWidth - 1); x <= last; ++x) {
        if (line[x] != EmptyIndex) continue;
        int32_t end = x;
        while (end < last && line[end + 1] == EmptyIndex) ++end;
        PourWater(x, end, row);
        std::memset(line + x, WaterIndex, static_cast<size_t>(end - x + 1));
        x = end;
    }
}

void Scene::KeepWalls() {
    // The step changes only rows that hold a span when it ends: a span paints its new row when it
    // falls, and its own row when it spreads; a span that drains paints nothing. (No span lies on
    // a wall when the step starts.) So only the walls of those rows are looked at.
    const WaterSpanList& list = appGlobals.waterSpans;
    bool rows[kSceneHeight] = {};
    for (int32_t i = 0; i < list.count; ++i)
        if (list.spans[i].y >= 0 && list.spans[i].y < kSceneHeight) rows[list.spans[i].y] = true;
    uint8_t* p = appGlobals.sceneSurface->pixels;
    std::vector<size_t> put;  // the walls put back
    for (int32_t row = 0; row < kSceneHeight; ++row) {
        if (!rows[row]) continue;
        for (auto [x0, x1] : wallRuns[static_cast<size_t>(row)]) {
            const size_t first = CellIndex(x0, row), count = static_cast<size_t>(x1 - x0 + 1);
            if (std::memcmp(p + first, walls.data() + first, count) == 0) continue;
            for (size_t i = first; i < first + count; ++i)
                if (p[i] != walls[i]) {
                    p[i] = walls[i];
                    put.push_back(i);
                }
        }
    }
    if (put.empty()) return;
    for (size_t i : put) scratch[i] = 1;
    CutSpans(scratch);
    for (size_t i : put) scratch[i] = 0;
}

void Scene::IndexWalls(int32_t firstRow, int32_t lastRow) {
    for (int32_t row = std::max(firstRow, 0); row <= std::min(lastRow, kSceneHeight - 1); ++row) {
        auto& runs = wallRuns[static_cast<size_t>(row)];
        runs.clear();
        const uint8_t* w = walls.data() + CellIndex(0, row);
        for (int32_t x = 0; x < kSceneWidth; ++x) {
            if (w[x] == EmptyIndex) continue;
            int32_t end = x;
            while (end + 1 < kSceneWidth && w[end + 1] != EmptyIndex) ++end;
            runs.emplace_back(static_cast<int16_t>(x), static_cast<int16_t>(end));
            x = end;
        }
    }
}

void Scene::Stroke(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t size, uint8_t colour) {
    std::vector<uint8_t> covered(kCells, 0);
    ForStrokeCells(x0, y0, x1, y1, size, [&](int32_t x, int32_t y) {
        if (Inside(x, y)) covered[CellIndex(x, y)] = 1;
    });
    uint8_t* p = appGlobals.sceneSurface->pixels;
    for (size_t i = 0; i < kCells; ++i)
        if (covered[i]) p[i] = walls[i] = colour;
    IndexWalls(std::min(y0, y1) - size, std::max(y0, y1) + size);
    CutSpans(covered);
    if (colour == EmptyIndex)
        std::erase_if(taps, [&](const Tap& t) { return covered[CellIndex(t.x, t.y)] != 0; });
}

void Scene::CutSpans(const std::vector<uint8_t>& covered) {
    WaterSpanList& list = appGlobals.waterSpans;
    std::vector<WaterSpan> kept;
    kept.reserve(static_cast<size_t>(list.count));
    bool changed = false;
    for (const WaterSpan& s : Spans()) {
        const int32_t from = std::max(s.x0, 0), to = std::min(s.x1, kSceneWidth - 1);
        if (s.y < 0 || s.y >= kSceneHeight || from > to ||
            !std::memchr(covered.data() + CellIndex(from, s.y), 1, static_cast<size_t>(to - from + 1))) {
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
    if (!changed) return;
    // Fewer pieces than spans (cells cut off ends, spans gone) fit the list as it is.
    if (kept.size() > static_cast<size_t>(list.count)) return SetSpans(kept);
    std::copy(kept.begin(), kept.end(), list.spans);
    list.count = static_cast<int32_t>(kept.size());
}

bool Scene::AddTap(int32_t x, int32_t y, std::string* why) {
    if (!Inside(x, y)) {
        *why = "a tap goes inside the scene";
        return false;
    }
    if (IsWall(At(x, y))) {
        *why = "a tap cannot go inside a wall";
        return false;
    }
    for (const Tap& t : taps)
        if (t.x == x && t.y == y) {
            *why = "there is a tap there already";
            return false;
        }
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
    std::fill(walls.begin(), walls.end(), EmptyIndex);
    for (auto& runs : wallRuns) runs.clear();
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
    std::vector<uint8_t> onWalls(kCells, 0);
    bool anyWall = false;
    for (size_t i = 0; i < kCells; ++i) {
        walls[i] = IsWall(state.pixels[i]) ? state.pixels[i] : EmptyIndex;
        onWalls[i] = walls[i] != EmptyIndex;
        anyWall = anyWall || onWalls[i];
    }
    IndexWalls(0, kSceneHeight - 1);
    SetSpans(state.spans);
    if (anyWall) CutSpans(onWalls);
    taps = state.taps;
    step = state.step;
    return true;
}

void Scene::SetWalls(const std::vector<bool>& light) {
    Clear();
    uint8_t* p = appGlobals.sceneSurface->pixels;
    for (size_t i = 0; i < kCells && i < light.size(); ++i) p[i] = walls[i] = light[i] ? EmptyIndex : kWallIndex;
    IndexWalls(0, kSceneHeight - 1);
    step = 0;
}

}  // namespace sandbox
