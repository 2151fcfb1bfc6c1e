// The water step written out literally, one GetPixel per cell read and one DrawLine per paint, on
// a list of its own. The randomised runs of the water test hold the simulation to it span for
// span and pixel for pixel; the golden scenes are replayed through it. Coordinates stay small
// enough here for the plain 32-bit sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/surface.h"
#include "water/water.h"

// How often each kind of move happened, so that a run can show it exercised them.
struct ReferenceCounts {
    int splits = 0, disarms = 0, falls = 0, drains = 0, spreads = 0, merges = 0;
    int crowdedMerges = 0;  // merges in a row that held at least 16 live spans
    int deepSpreads = 0;    // spreads under water at least 8 cells deep
};

class ReferenceWater {
public:
    ReferenceWater(Surface* image, int32_t rowLimit) : surface(image), limit(rowLimit) {}

    void Pour(int32_t xa, int32_t xb, int32_t row);
    void Reset() { spans.clear(); }

    int32_t ColumnHeight(size_t k) const;

    void Step();

    std::vector<WaterSpan> spans;
    ReferenceCounts counts;

private:
    Surface* surface;
    int32_t limit;
};
