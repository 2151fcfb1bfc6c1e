// Allegro 4's own 8-bit memory-bitmap primitives behind a small C-style interface, so that no
// Allegro header (and none of the macros it defines) reaches the benchmark's own code.
#pragma once

#include <cstdint>

struct AllegroPeerBitmap;

// Starts Allegro without a display; false when it cannot.
bool AllegroPeerStart();
// An 8-bit memory bitmap (create_bitmap_ex with depth 8), or null.
AllegroPeerBitmap* AllegroPeerCreate(int width, int height);
void AllegroPeerDestroy(AllegroPeerBitmap* bitmap);
// The first byte of row y.
uint8_t* AllegroPeerRow(AllegroPeerBitmap* bitmap, int y);
// vline: column x from row y1 to row y2, both included.
void AllegroPeerVline(AllegroPeerBitmap* bitmap, int x, int y1, int y2, int colour);
// clear_to_color.
void AllegroPeerClear(AllegroPeerBitmap* bitmap, int colour);
