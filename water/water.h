// The water simulation: horizontal spans of water cells kept beside the scene image, moved one
// step per frame. Every operation works on appGlobals.waterSpans and appGlobals.sceneSurface;
// the row limit is appGlobals.screenHeight.
#pragma once

#include <cstdint>

#include "water/water_span.h"

// Palette indices the simulation tells apart; every other index is solid to it.
constexpr uint8_t EmptyIndex = 15;
constexpr uint8_t WaterIndex = 1;

// The spans a new list has room for before it grows.
constexpr int32_t InitialSpanCapacity = 32;

// An empty list with room for InitialSpanCapacity spans; releases any array still held. Always true.
bool InitWater();
// Releases the list: no array, count and capacity 0.
void FreeWater();
// Drops every span: as FreeWater, then InitWater.
void ResetWater();
// Appends the span min(xa, xb) .. max(xa, xb) on `row`, armed. Nothing is drawn: the span shows
// from its first move on.
void PourWater(int32_t xa, int32_t xb, int32_t row);
// One step: arm, split, fall, spread, merge, compact. Afterwards the list holds only spans above
// the row limit, ordered by row; spans of one row keep the order they had in the list.
void StepWater();
// The pressure on span `spanIndex`: the deepest unbroken column of water cells standing directly
// on it. 0 for a span with a negative first column, or for an index outside the list.
int32_t WaterColumnHeight(int32_t spanIndex);
// −1, 0 or +1 as the first span's row is above, on or below the second's.
int32_t CompareSpanRows(const WaterSpan* first, const WaterSpan* second);
