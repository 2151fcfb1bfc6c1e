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

// Threads. A step may share its passes between threads; the spans and the scene come out the same
// byte for byte whatever the count. The threads live until FreeWater.
constexpr int32_t MaxWaterThreads = 8;
// Below this many spans a step runs on the calling thread alone: handing out the work would cost
// more than it saves.
constexpr int32_t DefaultThreadedSpans = 4096;
// The threads a step may use, the calling thread included, from 1 to MaxWaterThreads; 0 (the
// start) takes the environment variable ONDREL_WATER_THREADS if it holds a count, else the
// machine's cores (at most MaxWaterThreads). Steps of fewer than `fewestSpans` spans use one
// thread. A build without threads (a web page built without them) always uses one.
void SetWaterThreads(int32_t threads, int32_t fewestSpans = DefaultThreadedSpans);
// The thread count steps of enough spans use now.
int32_t WaterThreads();
// How often the passes that can be shared were shared, since the process started: for tests and
// benchmarks.
struct WaterThreadCounts {
    int64_t threadedSteps;  // steps of enough spans on more than one thread
    int64_t sharedSplits;   // split passes shared
    int64_t sharedMerges;   // merge passes shared
};
WaterThreadCounts WaterThreadedWork();
