// Undo and redo of the sandbox's edits: two stacks of whole scenes, each kept compressed.
//
// Before every edit the scene as it stands is pushed on the undo stack (and the redo stack is
// emptied). Undo pushes the scene as it stands on the redo stack and puts back the newest undo
// level; redo does the reverse. So undo goes back to the moment before the edit, water and step
// counter included, and redo returns to the moment of the undo, exactly.
//
// A level holds the scene's pixels run-length coded (a byte of colour, then the run's length as a
// little-endian base-128 number), the spans delta coded in the same numbers (each span's row less
// the previous span's, its first column less the previous span's last on the same row, its width
// with the active mark as the low bit; about 3 to 4 bytes a span, since the list is sorted by
// row), the taps and the step. A scene of walls and pools codes in a few kilobytes, one of 37 000
// spans in about 130 KiB. Each stack keeps at most kHistoryDepth levels; beyond kHistoryBytes over
// both stacks the oldest levels go too (only scenes of hundreds of thousands of spans reach it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sandbox/scene.h"

namespace sandbox {

constexpr size_t kHistoryDepth = 64;
constexpr size_t kHistoryBytes = size_t{64} << 20;

// A scene, compressed.
class PackedScene {
public:
    explicit PackedScene(const SceneState& state);
    SceneState Unpack() const;
    size_t Bytes() const { return runs.size() + spans.size() + taps.size() * sizeof(Tap); }

private:
    std::vector<uint8_t> runs;
    std::vector<uint8_t> spans;
    size_t spanCount;
    std::vector<Tap> taps;
    uint32_t step;
};

class History {
public:
    // Before an edit: keeps `now` as the newest undo level and forgets every redo level.
    void BeforeEdit(const SceneState& now);
    // False when there is nothing to undo (redo); else *now becomes the restored scene and the
    // scene it replaces is kept for the way back.
    bool Undo(SceneState* now);
    bool Redo(SceneState* now);
    size_t UndoLevels() const { return undo.size(); }
    // Bytes held by every level of both stacks.
    size_t Bytes() const;
    void Clear();

private:
    // Drops the oldest levels beyond the depth and the byte budget.
    void Trim();
    // The newest level of `from` becomes *now; the scene it replaces goes on `to`.
    bool Move(std::vector<PackedScene>& from, std::vector<PackedScene>& to, SceneState* now);

    std::vector<PackedScene> undo;
    std::vector<PackedScene> redo;
};

}  // namespace sandbox
