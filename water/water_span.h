// The records of the water simulation.
#pragma once

#include <cstdint>

// One horizontal run of water cells on one row, both ends inclusive.
struct WaterSpan {
    int32_t x0;
    int32_t x1;
    int32_t y;
    uint8_t active;  // only an armed span may fall or spread
};

// The live spans: a growable array.
struct WaterSpanList {
    WaterSpan* spans;  // owned, `capacity` records
    int32_t count;
    int32_t capacity;
};
