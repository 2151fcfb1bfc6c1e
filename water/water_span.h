// The records of the water simulation.
#pragma once

#include <cstdint>

// One horizontal run of water cells on one row, both ends inclusive.
struct WaterSpan {
    // The first and last cells' columns, and the row.
    int32_t x0;
    int32_t x1;
    int32_t y;
    uint8_t active;  // only an armed span may fall or spread
};

// The live spans: a growable array.
struct WaterSpanList {
    WaterSpan* spans;  // owned, `capacity` records
    int32_t count;     // the live spans, spans[0] to spans[count - 1]
    int32_t capacity;  // the records `spans` has room for
};
