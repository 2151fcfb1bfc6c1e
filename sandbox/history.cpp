// Undo and redo: compressed scenes on two bounded stacks.
#include "sandbox/history.h"

namespace sandbox {

PackedScene::PackedScene(const SceneState& state) : spans(state.spans), taps(state.taps), step(state.step) {
    const std::vector<uint8_t>& p = state.pixels;
    for (size_t i = 0; i < p.size();) {
        size_t run = 1;
        while (i + run < p.size() && p[i + run] == p[i]) ++run;
        runs.push_back(p[i]);
        for (size_t n = run; ; n >>= 7) {
            if (n < 0x80) {
                runs.push_back(static_cast<uint8_t>(n));
                break;
            }
            runs.push_back(static_cast<uint8_t>(0x80 | (n & 0x7f)));
        }
        i += run;
    }
    runs.shrink_to_fit();
}

SceneState PackedScene::Unpack() const {
    SceneState state;
    state.pixels.reserve(static_cast<size_t>(kSceneWidth) * kSceneHeight);
    for (size_t i = 0; i < runs.size();) {
        uint8_t colour = runs[i++];
        size_t run = 0;
        for (int shift = 0; i < runs.size(); shift += 7) {
            uint8_t b = runs[i++];
            run |= static_cast<size_t>(b & 0x7f) << shift;
            if (!(b & 0x80)) break;
        }
        state.pixels.insert(state.pixels.end(), run, colour);
    }
    state.spans = spans;
    state.taps = taps;
    state.step = step;
    return state;
}

void History::BeforeEdit(const SceneState& now) {
    undo.emplace_back(now);
    if (undo.size() > kHistoryDepth) undo.erase(undo.begin());
    redo.clear();
}

bool History::Undo(SceneState* now) {
    if (undo.empty()) return false;
    redo.emplace_back(*now);
    if (redo.size() > kHistoryDepth) redo.erase(redo.begin());
    *now = undo.back().Unpack();
    undo.pop_back();
    return true;
}

bool History::Redo(SceneState* now) {
    if (redo.empty()) return false;
    undo.emplace_back(*now);
    if (undo.size() > kHistoryDepth) undo.erase(undo.begin());
    *now = redo.back().Unpack();
    redo.pop_back();
    return true;
}

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
