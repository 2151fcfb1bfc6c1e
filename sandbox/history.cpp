// Undo and redo: compressed scenes on two bounded stacks.
#include "sandbox/history.h"

namespace sandbox {

namespace {

void PutNumber(std::vector<uint8_t>& out, uint64_t n) {
    for (; n >= 0x80; n >>= 7) out.push_back(static_cast<uint8_t>(0x80 | (n & 0x7f)));
    out.push_back(static_cast<uint8_t>(n));
}
uint64_t GetNumber(const std::vector<uint8_t>& in, size_t* at) {
    uint64_t n = 0;
    for (int shift = 0; *at < in.size() && shift < 64; shift += 7) {
        uint8_t b = in[(*at)++];
        n |= static_cast<uint64_t>(b & 0x7f) << shift;
        if (!(b & 0x80)) break;
    }
    return n;
}
// Signed differences as small unsigned numbers: 0, −1, 1, −2, … → 0, 1, 2, 3, …
uint64_t Zigzag(int64_t v) { return v < 0 ? (static_cast<uint64_t>(-(v + 1)) << 1) | 1 : static_cast<uint64_t>(v) << 1; }
int64_t Unzigzag(uint64_t n) { return n & 1 ? -static_cast<int64_t>(n >> 1) - 1 : static_cast<int64_t>(n >> 1); }

}  // namespace

PackedScene::PackedScene(const SceneState& state)
    : spanCount(state.spans.size()), taps(state.taps), step(state.step), width(state.width), height(state.height) {
    const std::vector<uint8_t>& p = state.pixels;
    for (size_t i = 0; i < p.size();) {
        size_t run = 1;
        while (i + run < p.size() && p[i + run] == p[i]) ++run;
        runs.push_back(p[i]);
        PutNumber(runs, run);
        i += run;
    }
    int64_t row = 0, end = 0;
    for (const WaterSpan& s : state.spans) {
        if (s.y != row) end = 0;
        PutNumber(spans, Zigzag(int64_t{s.y} - row));
        PutNumber(spans, Zigzag(int64_t{s.x0} - end));
        PutNumber(spans, Zigzag(int64_t{s.x1} - s.x0) << 1 | (s.active ? 1 : 0));
        row = s.y;
        end = s.x1;
    }
    runs.shrink_to_fit();
    spans.shrink_to_fit();
}

SceneState PackedScene::Unpack() const {
    SceneState state;
    state.width = width;
    state.height = height;
    state.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < runs.size();) {
        uint8_t colour = runs[i++];
        state.pixels.insert(state.pixels.end(), static_cast<size_t>(GetNumber(runs, &i)), colour);
    }
    int64_t row = 0, end = 0;
    size_t at = 0;
    for (size_t k = 0; k < spanCount; ++k) {
        int64_t y = row + Unzigzag(GetNumber(spans, &at));
        if (y != row) end = 0;
        int64_t x0 = end + Unzigzag(GetNumber(spans, &at));
        uint64_t widthAndMark = GetNumber(spans, &at);
        int64_t x1 = x0 + Unzigzag(widthAndMark >> 1);
        state.spans.push_back(WaterSpan{static_cast<int32_t>(x0), static_cast<int32_t>(x1), static_cast<int32_t>(y),
                                        static_cast<uint8_t>(widthAndMark & 1)});
        row = y;
        end = x1;
    }
    state.taps = taps;
    state.step = step;
    return state;
}

void History::Trim() {
    while (undo.size() > kHistoryDepth) undo.erase(undo.begin());
    while (redo.size() > kHistoryDepth) redo.erase(redo.begin());
    while (Bytes() > kHistoryBytes && undo.size() + redo.size() > 1) {
        if (undo.size() >= redo.size()) undo.erase(undo.begin());
        else redo.erase(redo.begin());
    }
}

void History::BeforeEdit(const SceneState& now) {
    undo.emplace_back(now);
    redo.clear();
    Trim();
}

bool History::Move(std::vector<PackedScene>& from, std::vector<PackedScene>& to, SceneState* now) {
    if (from.empty()) return false;
    to.emplace_back(*now);
    *now = from.back().Unpack();
    from.pop_back();
    Trim();
    return true;
}

bool History::Undo(SceneState* now) { return Move(undo, redo, now); }

bool History::Redo(SceneState* now) { return Move(redo, undo, now); }

size_t History::Bytes() const {
    size_t n = 0;
    for (const PackedScene& p : undo) n += p.Bytes();
    for (const PackedScene& p : redo) n += p.Bytes();
    return n;
}

void History::Clear() {
    undo.clear();
    redo.clear();
}

}  // namespace sandbox
