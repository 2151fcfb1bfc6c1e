// The water step: arm, split, fall, spread, merge and compact, on the scene's pixels.
#include "water/water.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "gfx/surface.h"

// The passes read and paint the scene through its pixel pointer, a row segment at a time. A read
// follows GetPixel (0 outside 0 <= x < pitch, 0 <= y < height) and a paint follows DrawLine on one
// row, which is FillRect clipped to the clip rectangle. Coordinates of a span may lie anywhere in
// the 32-bit range, so neighbour columns and rows are formed in 64 bits.

namespace {

// Records the compact pass sorts into. It never outgrows the list's array, and after a sort
// that ends in it the two arrays trade places, so it is released together with the list, as
// is all the other scratch.
WaterSpan* sortScratch = nullptr;
int32_t sortScratchCapacity = 0;

// Scratch of the merge pass, kept between steps; it never outgrows the longest row met. Spans of
// a row are named by their offset in it, in list order. Each thread that merges rows has its own.
struct MergeScratch {
    std::vector<uint8_t> rowGated;
    std::vector<uint64_t> rowOrder;      // by first column: the column's bits over the offset
    std::vector<int32_t> rowPrev;        // by place in rowOrder: the next span to the left in its cluster, or -1
    std::vector<int32_t> rowNext;        // ... to the right
    std::vector<int32_t> rowPlace;       // by offset: the place in rowOrder
    std::vector<int32_t> rowCluster;     // by offset
    std::vector<uint8_t> clusterChain;   // by cluster: its spans lie end to end, none overlapping
    std::vector<int32_t> clusterStart;   // by cluster: where its offsets begin in clusterMembers
    std::vector<int32_t> clusterMembers; // offsets of each cluster in list order
    std::vector<uint64_t> rowOrderScratch;
    std::vector<uint64_t> rowColumnBits;   // by first column, less the row's smallest: a span starts there
    std::vector<int32_t> rowColumnOffset;  // ... and its offset
};

// Makes room for n entries of merge scratch. The vectors only grow, and a row uses the first n
// entries whatever they hold, so a row shorter than the last one pays no call.
template <typename T>
void GrowTo(std::vector<T>& scratch, size_t n) {
    if (scratch.size() < n) scratch.resize(n);
}

// Below this many live spans a stable insertion sort beats clearing the radix counters.
constexpr int32_t SmallSortSize = 32;
constexpr int RadixDigitBits = 11;

struct Scene {
    uint8_t* pixels = nullptr;
    int64_t width = 0;  // the pitch
    int64_t height = 0;
    // The clip rectangle cut to the pixel bounds, so that no paint can leave the image.
    int64_t clipLeft = 0;
    int64_t clipTop = 0;
    int64_t clipRight = -1;
    int64_t clipBottom = -1;
    int32_t limit = 0;    // the row limit H: a span on row H or below is dead
    int32_t deadRow = 0;  // 2H, the row of a killed span

    // Unsigned, a negative coordinate wraps round to a huge one: one bound test each.
    bool Inside(int64_t x, int64_t y) const {
        return (static_cast<uint64_t>(x) < static_cast<uint64_t>(width)) & (static_cast<uint64_t>(y) < static_cast<uint64_t>(height));
    }
    uint8_t Cell(int64_t x, int64_t y) const { return Inside(x, y) ? pixels[y * width + x] : 0; }

    void Paint(int64_t x0, int64_t x1, int64_t y, uint8_t colour) const {
        if (y < clipTop || y > clipBottom) return;
        const int64_t first = std::max(std::min(x0, x1), clipLeft);
        const int64_t last = std::min(std::max(x0, x1), clipRight);
        Fill(first, last, y, colour);
    }
    // A falling span's move: the same columns emptied on row `from` and filled on row `to`,
    // clipped once.
    void Move(int64_t x0, int64_t x1, int64_t from, int64_t to) const {
        const int64_t first = std::max(std::min(x0, x1), clipLeft);
        const int64_t last = std::min(std::max(x0, x1), clipRight);
        if (from >= clipTop && from <= clipBottom) Fill(first, last, from, EmptyIndex);
        if (to >= clipTop && to <= clipBottom) Fill(first, last, to, WaterIndex);
    }
    // Columns first .. last of row y, both already within the clip rectangle.
    void Fill(int64_t first, int64_t last, int64_t y, uint8_t colour) const {
        if (first > last) return;
        uint8_t* run = pixels + y * width + first;
        const int64_t n = last - first + 1;
        // Most spans are a few cells wide: two overlapping stores of the widest word that fits
        // cover up to 32 cells without the call and set-up of a block fill.
        const uint64_t word = 0x0101010101010101ull * colour;
        if (n >= 8 && n <= 16) {
            std::memcpy(run, &word, 8);
            std::memcpy(run + n - 8, &word, 8);
        } else if (n < 8) {
            if (n >= 4) {
                const auto half = static_cast<uint32_t>(word);
                std::memcpy(run, &half, 4);
                std::memcpy(run + n - 4, &half, 4);
            } else {
                run[0] = colour;
                run[n / 2] = colour;
                run[n - 1] = colour;
            }
        } else if (n <= 32) {
            const uint64_t words[2] = {word, word};
            std::memcpy(run, words, 16);
            std::memcpy(run + n - 16, words, 16);
        } else {
            std::memset(run, colour, static_cast<size_t>(n));
        }
    }
};

// ---- Threads

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool BuildHasThreads = false;  // a page built without threads
#else
constexpr bool BuildHasThreads = true;
#endif

// Waits until ready() holds: a short spin, then turns given to other threads. With `patience`,
// gives up after that long and says so; without, waits however long it takes.
template <typename Ready>
bool SpinUntil(Ready ready, std::chrono::microseconds patience = std::chrono::microseconds::max()) {
    const auto start = std::chrono::steady_clock::now();
    for (uint32_t turn = 1;; ++turn) {
        if (ready()) return true;
        if (turn % 64 == 0) {
            if (patience != std::chrono::microseconds::max() && std::chrono::steady_clock::now() - start > patience) return false;
            std::this_thread::yield();
        }
    }
}

// Threads that share the work of a pass with the thread that steps the water. A pass is cut into
// chunks that every thread takes one at a time, the calling thread too, until none is left; so a
// worker the system has not given a processor just takes none, and the pass ends when its
// chunks do, never waiting for a worker that has not started. After a chunk a worker spins a
// moment for the next pass, and then sleeps: on a busy machine a spinning worker would take the
// processor the stepping thread needs, and a sleeping one costs the stepping thread nothing.
class StepPool {
public:
    StepPool() = default;
    StepPool(const StepPool&) = delete;
    StepPool& operator=(const StepPool&) = delete;
    ~StepPool() { Stop(); }

    // The threads, the calling thread included: each has its own part number, 0 for the caller.
    int32_t Parts() const { return static_cast<int32_t>(workers.size()) + 1; }

    void Start(int32_t parts) {
        if (parts == Parts()) return;
        Stop();
        stopping.store(false);
        const uint64_t now = generation.load();
        for (int32_t part = 1; part < parts; ++part) workers.emplace_back([this, part, now] { Serve(part, now); });
    }

    void Stop() {
        if (workers.empty()) return;
        {
            std::lock_guard lock(mutex);
            stopping.store(true);
            generation.fetch_add(1);
        }
        wake.notify_all();
        for (std::thread& worker : workers) worker.join();
        workers.clear();
    }

    // Runs job(part, chunk) once for every chunk 0 .. chunks - 1, on whichever threads come to
    // it; returns when all have ended.
    template <typename Job>
    void Run(int32_t chunks, Job& job) {
        if (workers.empty()) {
            for (int32_t chunk = 0; chunk < chunks; ++chunk) job(0, chunk);
            return;
        }
        task = [](void* posted, int32_t part, int32_t chunk) { (*static_cast<Job*>(posted))(part, chunk); };
        taskJob = &job;
        chunkCount = chunks;
        nextChunk.store(0, std::memory_order_relaxed);
        chunksDone.store(0, std::memory_order_relaxed);
        open.store(true);
        {
            std::lock_guard lock(mutex);
            generation.fetch_add(1, std::memory_order_release);
        }
        wake.notify_all();
        Take(0);
        SpinUntil([this, chunks] { return chunksDone.load(std::memory_order_acquire) == chunks; });
        // A worker that comes late finds the pass closed and leaves the job alone; one that came
        // in time is let finish looking for chunks before the job goes.
        open.store(false);
        SpinUntil([this] { return inside.load() == 0; });
    }

private:
    void Take(int32_t part) {
        for (int32_t chunk; (chunk = nextChunk.fetch_add(1, std::memory_order_relaxed)) < chunkCount;) {
            task(taskJob, part, chunk);
            chunksDone.fetch_add(1, std::memory_order_release);
        }
    }

    void Serve(int32_t part, uint64_t seen) {
        for (;;) {
            auto posted = [&] { return generation.load(std::memory_order_acquire) != seen; };
            if (!SpinUntil(posted, std::chrono::microseconds(1000))) {
                std::unique_lock lock(mutex);
                wake.wait(lock, posted);
            }
            seen = generation.load(std::memory_order_acquire);
            if (stopping.load()) return;
            inside.fetch_add(1);
            if (open.load()) Take(part);
            inside.fetch_sub(1);
        }
    }

    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<uint64_t> generation{0};
    std::atomic<bool> stopping{false};
    std::atomic<bool> open{false};
    std::atomic<int32_t> inside{0};
    std::atomic<int32_t> nextChunk{0};
    std::atomic<int32_t> chunksDone{0};
    int32_t chunkCount = 0;
    void (*task)(void*, int32_t, int32_t) = nullptr;
    void* taskJob = nullptr;
};

StepPool stepPool;
int32_t requestedThreads = 0;  // 0: the environment's or the machine's choice
int32_t fewestThreadedSpans = DefaultThreadedSpans;
WaterThreadCounts threadCounts;

// ONDREL_WATER_THREADS if it names a count, else the machine's cores; at most MaxWaterThreads.
int32_t AutomaticThreads() {
    static const int32_t chosen = [] {
        if (const char* text = std::getenv("ONDREL_WATER_THREADS")) {
            char* end = nullptr;
            const long count = std::strtol(text, &end, 10);
            if (end != text && *end == '\0' && count >= 1) return static_cast<int32_t>(std::min<long>(count, MaxWaterThreads));
        }
        const unsigned cores = std::thread::hardware_concurrency();
        return static_cast<int32_t>(std::clamp<unsigned>(cores, 1, MaxWaterThreads));
    }();
    return chosen;
}

int32_t ChosenThreads() {
    if (!BuildHasThreads) return 1;
    return requestedThreads > 0 ? requestedThreads : AutomaticThreads();
}

// Cuts 0 .. n into `pieces` ranges of nearly equal length: the first index of range `piece`.
int32_t RangeStart(int32_t n, int32_t pieces, int32_t piece) {
    return static_cast<int32_t>(int64_t{n} * piece / pieces);
}

// How many chunks a shared pass over n spans is cut into: enough for the threads to even out
// what each chunk costs, few enough that taking one costs little beside it. A chunk is 256 spans
// or more, or fewer where steps of fewer spans are set to be shared (as tests set them).
int32_t ChunksFor(int32_t n, int32_t parts) {
    const int32_t chunkSpans = std::clamp(fewestThreadedSpans / 8, 1, 256);
    return std::clamp(n / chunkSpans, 1, 16 * parts);
}

Scene CurrentScene() {
    Scene scene;
    const Surface* surface = appGlobals.sceneSurface;
    if (surface && surface->pixels && surface->pitch > 0 && surface->height > 0) {
        scene.pixels = surface->pixels;
        scene.width = surface->pitch;
        scene.height = surface->height;
        scene.clipLeft = std::max<int64_t>(surface->clipLeft, 0);
        scene.clipTop = std::max<int64_t>(surface->clipTop, 0);
        scene.clipRight = std::min<int64_t>(surface->clipRight, scene.width - 1);
        scene.clipBottom = std::min<int64_t>(surface->clipBottom, scene.height - 1);
    }
    scene.limit = appGlobals.screenHeight;
    scene.deadRow = static_cast<int32_t>(std::clamp<int64_t>(2 * int64_t{scene.limit}, INT32_MIN, INT32_MAX));
    return scene;
}

void ReleaseScratch();

void AppendSpan(int32_t xa, int32_t xb, int32_t row) {
    WaterSpanList& list = appGlobals.waterSpans;
    if (list.count >= list.capacity) {
        if (list.capacity > INT32_MAX / 2) return;  // no larger array could be counted
        // A released list starts again at the initial size rather than doubling nothing.
        const int32_t grown = list.capacity < InitialSpanCapacity ? InitialSpanCapacity : 2 * list.capacity;
        WaterSpan* spans = new WaterSpan[static_cast<size_t>(grown)];
        if (list.count > 0) std::memcpy(spans, list.spans, static_cast<size_t>(list.count) * sizeof(WaterSpan));
        delete[] list.spans;
        list.spans = spans;
        list.capacity = grown;
    }
    list.spans[list.count] = WaterSpan{std::min(xa, xb), std::max(xa, xb), row, 1};
    ++list.count;
}

// For runs of 1 to 16 bytes, the width of most spans, two overlapping words (or three single
// bytes) hold the whole run. Whether every byte of p[0 .. n) is `value`.
template <typename Word>
void TwoWords(const uint8_t* p, int64_t n, uint8_t value, Word* first, Word* last) {
    constexpr Word ones = static_cast<Word>(0x0101010101010101ull);
    std::memcpy(first, p, sizeof(Word));
    std::memcpy(last, p + n - static_cast<int64_t>(sizeof(Word)), sizeof(Word));
    *first ^= ones * value;  // a zero byte where p holds value
    *last ^= ones * value;
}
bool ShortRunAll(const uint8_t* p, int64_t n, uint8_t value) {
    if (n >= 8) {
        uint64_t a, b;
        TwoWords(p, n, value, &a, &b);
        return (a | b) == 0;
    }
    if (n >= 4) {
        uint32_t a, b;
        TwoWords(p, n, value, &a, &b);
        return (a | b) == 0;
    }
    return (p[0] == value) & (p[n / 2] == value) & (p[n - 1] == value);
}

// Whether some i in 0 .. n - 1 has both a[i] and b[i] equal to value, for runs of 1 to 16 bytes.
template <typename Word>
Word EqualBytes(Word word, uint8_t value) {  // the high bit of each byte that equals value
    constexpr Word ones = static_cast<Word>(0x0101010101010101ull);
    constexpr Word lows = static_cast<Word>(0x7F7F7F7F7F7F7F7Full);
    word ^= ones * value;
    return static_cast<Word>(~(((word & lows) + lows) | word | lows));
}
template <typename Word>
bool ShortRunsBothAnyIn(const uint8_t* a, const uint8_t* b, int64_t n, uint8_t value) {
    Word a0, a1, b0, b1;
    const int64_t last = n - static_cast<int64_t>(sizeof(Word));
    std::memcpy(&a0, a, sizeof(Word));
    std::memcpy(&b0, b, sizeof(Word));
    std::memcpy(&a1, a + last, sizeof(Word));
    std::memcpy(&b1, b + last, sizeof(Word));
    return ((EqualBytes(a0, value) & EqualBytes(b0, value)) | (EqualBytes(a1, value) & EqualBytes(b1, value))) != 0;
}
bool ShortRunsBothAny(const uint8_t* a, const uint8_t* b, int64_t n, uint8_t value) {
    if (n >= 8) return ShortRunsBothAnyIn<uint64_t>(a, b, n, value);
    if (n >= 4) return ShortRunsBothAnyIn<uint32_t>(a, b, n, value);
    return ((a[0] == value) & (b[0] == value)) | ((a[n / 2] == value) & (b[n / 2] == value)) |
           ((a[n - 1] == value) & (b[n - 1] == value));
}

// The number of leading bytes of p[0 .. n) equal to value, eight at a time.
int64_t LeadingRun(const uint8_t* p, int64_t n, uint8_t value) {
    const uint64_t pattern = 0x0101010101010101ull * value;
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        const uint64_t differ = word ^ pattern;
        if (differ != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return i + std::countr_zero(differ) / 8;
            } else {
                return i + std::countl_zero(differ) / 8;
            }
        }
    }
    while (i < n && p[i] == value) ++i;
    return i;
}

// The number of bytes equal to value that end p[0 .. end), looking back at most `most` of them.
int64_t TrailingRun(const uint8_t* p, int64_t end, int64_t most, uint8_t value) {
    const uint64_t pattern = 0x0101010101010101ull * value;
    int64_t run = 0;
    for (; run + 8 <= most; run += 8) {
        uint64_t word;
        std::memcpy(&word, p + end - run - 8, 8);
        const uint64_t differ = word ^ pattern;
        if (differ != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return run + std::countl_zero(differ) / 8;
            } else {
                return run + std::countr_zero(differ) / 8;
            }
        }
    }
    while (run < most && p[end - run - 1] == value) ++run;
    return run;
}

// The offset of the first byte of p[0 .. n) equal to value, or n. Spans are mostly a few cells
// wide, where eight bytes at a time beat the set-up of a library search; long runs go to memchr.
int64_t FindByte(const uint8_t* p, int64_t n, uint8_t value) {
    if (n >= 64) {
        const void* found = std::memchr(p, value, static_cast<size_t>(n));
        return found ? static_cast<const uint8_t*>(found) - p : n;
    }
    const uint64_t pattern = 0x0101010101010101ull * value;
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        const uint64_t same = word ^ pattern;  // a zero byte where p holds value
        const uint64_t zero = (same - 0x0101010101010101ull) & ~same & 0x8080808080808080ull;
        if (zero != 0) {
            if constexpr (std::endian::native == std::endian::little) {
                return i + std::countr_zero(zero) / 8;
            } else {
                // Borrows only run towards higher bytes: the first zero byte is found exactly
                // from the low end, so search it byte by byte here.
                while (p[i] != value) ++i;
                return i;
            }
        }
    }
    while (i < n && p[i] != value) ++i;
    return i;
}

// The first stretch of free cells on the row below x0 .. x1, as first .. last; false if there is none.
[[gnu::always_inline]] inline bool FreeStretchBelow(const Scene& scene, const WaterSpan& span, int32_t* first, int32_t* last) {
    const int64_t below = int64_t{span.y} + 1;
    if (below < 0 || below >= scene.height) return false;
    const int64_t from = std::max<int64_t>(span.x0, 0);
    const int64_t to = std::min<int64_t>(span.x1, scene.width - 1);
    if (from > to) return false;
    const uint8_t* row = scene.pixels + below * scene.width;
    // A drop in the air is free below all along.
    if (const int64_t n = to - from + 1; n <= 16 && ShortRunAll(row + from, n, EmptyIndex)) {
        *first = static_cast<int32_t>(from);
        *last = static_cast<int32_t>(to);
        return true;
    }
    const int64_t start = from + FindByte(row + from, to - from + 1, EmptyIndex);
    if (start > to) return false;
    *first = static_cast<int32_t>(start);
    *last = static_cast<int32_t>(start + LeadingRun(row + start, to - start + 1, EmptyIndex) - 1);
    return true;
}

// The pressure on `span`, counted no higher than `most` rows: the spread pass cannot use more.
int32_t ColumnHeight(const Scene& scene, const WaterSpan& span, int64_t most) {
    if (span.x0 < 0 || int64_t{span.x1} - span.x0 + 1 <= 0) return 0;
    const int64_t above = int64_t{span.y} - 1;
    if (above < 0 || above >= scene.height) return 0;
    const int64_t last = std::min<int64_t>(span.x1, scene.width - 1);
    if (span.x0 > last) return 0;
    // Most spans have no water at all on the row above: one block search settles those.
    const uint8_t* rowAbove = scene.pixels + above * scene.width;
    const int64_t firstWet = span.x0 + FindByte(rowAbove + span.x0, last - span.x0 + 1, WaterIndex);
    if (firstWet > last) return 0;
    const int64_t tallest = std::min(above + 1, most);  // rows 0 .. above; the top border ends every column
    int64_t best = 0;
    for (int64_t x = firstWet; x <= last && best < tallest; ++x) {
        // A column can only raise the maximum if it holds water `best` rows up; one read tells.
        const int64_t base = above * scene.width + x;
        if (scene.pixels[base - best * scene.width] != WaterIndex) continue;
        int64_t depth = 0;
        int64_t offset = base;
        while (depth < tallest && scene.pixels[offset] == WaterIndex) {
            ++depth;
            offset -= scene.width;
        }
        best = std::max(best, depth);
    }
    return static_cast<int32_t>(best);
}

// Free cells beside a span on its row, going by `step` from x, at most `most` of them.
int32_t EmptyRun(const Scene& scene, int64_t x, int64_t y, int64_t step, int64_t most) {
    if (y < 0 || y >= scene.height || x < 0 || x >= scene.width) return 0;
    const uint8_t* row = scene.pixels + y * scene.width;
    if (step > 0) return static_cast<int32_t>(LeadingRun(row + x, std::min(most, scene.width - x), EmptyIndex));
    return static_cast<int32_t>(TrailingRun(row, x + 1, std::min(most, x + 1), EmptyIndex));
}

// What the split pass does to a span: nothing, clear its mark, or cut out first .. last.
struct SplitCut {
    enum Kind : int32_t { Keep, Disarm, Cut };
    int32_t first = 0;
    int32_t last = 0;
    Kind kind = Keep;
};

// The cut of one span. It reads only the image, which the split pass does not write, and the
// span's own record, which nothing before its turn changes; so cuts may be found in any order.
[[gnu::always_inline]] inline SplitCut FindCut(const Scene& scene, const WaterSpan& span) {
    if (span.y >= scene.limit || span.x0 == span.x1) return {};
    SplitCut cut;
    if (!FreeStretchBelow(scene, span, &cut.first, &cut.last)) {
        const bool boxedIn = scene.Cell(int64_t{span.x0} - 1, span.y) != EmptyIndex &&
                             scene.Cell(int64_t{span.x1} + 1, span.y) != EmptyIndex;
        return {0, 0, boxedIn ? SplitCut::Disarm : SplitCut::Keep};
    }
    if (cut.first == span.x0 && cut.last == span.x1) return {};
    cut.kind = SplitCut::Cut;
    return cut;
}

// What a cut leaves of the span it cuts: a span boxed in is disarmed; a span cut keeps the cells
// left of the free stretch, or is killed when there are none.
void Settle(WaterSpan& span, const SplitCut& cut, int32_t deadRow) {
    if (cut.kind == SplitCut::Disarm) span.active = 0;
    if (cut.kind != SplitCut::Cut) return;
    if (cut.first == span.x0) {
        span.y = deadRow;
    } else {
        span.x1 = cut.first - 1;
    }
}

// What each part of a shared pass keeps between steps.
struct PartScratch {
    MergeScratch merge;
    // The split pass: for each span of the part's share that its cut breaks up, in list order,
    // where its pieces lie in `pieces` and how many there are. The pieces are in the order one
    // pass appends them: the first cut's free stretch and the rest, then the rest's own cut's
    // two, and so on; each as it stands at the end of the pass.
    struct Chain {
        int32_t first;
        int32_t count;
    };
    std::vector<Chain> chains;
    std::vector<WaterSpan> pieces;
};
std::vector<PartScratch> partScratch;

// By chunk of the split pass: the part that cut it, and its chains there.
struct ChunkChains {
    int32_t part;
    int32_t first;
    int32_t end;
};
std::vector<ChunkChains> chunkChains;
std::vector<int32_t> chunkStarts;  // by chunk of the merge pass: its first span, at the start of a row

// Which thread takes which chunk changes from step to step, so after a shared pass every part's
// scratch is given the room any part needed: then, once a scene's steps have been run, running
// them again allocates nothing, whoever takes what.
template <typename T>
void MatchRoom(std::vector<T> PartScratch::*field, int32_t parts, size_t room) {
    for (int32_t part = 0; part < parts; ++part) (partScratch[static_cast<size_t>(part)].*field).reserve(room);
}
template <typename... T>
void MatchRooms(int32_t parts, std::vector<T> MergeScratch::*... fields) {
    auto match = [parts](auto field) {
        size_t most = 0;
        for (int32_t part = 0; part < parts; ++part) most = std::max(most, (partScratch[static_cast<size_t>(part)].merge.*field).capacity());
        for (int32_t part = 0; part < parts; ++part) (partScratch[static_cast<size_t>(part)].merge.*field).reserve(most);
    };
    (match(fields), ...);
}
void MatchMergeRoom(int32_t parts) {
    MatchRooms(parts, &MergeScratch::rowGated, &MergeScratch::rowOrder, &MergeScratch::rowPrev, &MergeScratch::rowNext,
               &MergeScratch::rowPlace, &MergeScratch::rowCluster, &MergeScratch::clusterChain, &MergeScratch::clusterStart,
               &MergeScratch::clusterMembers, &MergeScratch::rowOrderScratch, &MergeScratch::rowColumnBits,
               &MergeScratch::rowColumnOffset);
}

void PrepareParts(int32_t parts) {
    if (partScratch.size() < static_cast<size_t>(parts)) partScratch.resize(static_cast<size_t>(parts));
    for (int32_t part = 0; part < parts; ++part) {
        partScratch[static_cast<size_t>(part)].chains.clear();
        partScratch[static_cast<size_t>(part)].pieces.clear();
    }
}

// Appends a record as it stands, its mark included.
void AppendRecord(const WaterSpan& record) {
    WaterSpanList& list = appGlobals.waterSpans;
    const int32_t before = list.count;
    AppendSpan(record.x0, record.x1, record.y);
    if (list.count > before) list.spans[before] = record;
}

// Arms and cuts span `span`, as the split pass's visit does, and every piece the cuts leave that
// the pass visits later: all of that reads only the image, which the pass does not write, and
// the span itself. Notes the pieces in `p`.
void CutWhole(const Scene& scene, PartScratch& p, WaterSpan& span) {
    span.active = 1;
    SplitCut cut = FindCut(scene, span);
    const int32_t end = span.x1;
    const int32_t row = span.y;
    Settle(span, cut, scene.deadRow);
    if (cut.kind != SplitCut::Cut) return;
    const auto first = static_cast<int32_t>(p.pieces.size());
    for (;;) {
        p.pieces.push_back(WaterSpan{cut.first, cut.last, row, 1});  // wholly free below: kept
        if (cut.last >= end) break;
        WaterSpan rest{cut.last + 1, end, row, 1};
        cut = FindCut(scene, rest);
        Settle(rest, cut, scene.deadRow);
        p.pieces.push_back(rest);
        if (cut.kind != SplitCut::Cut) break;
    }
    p.chains.push_back({first, static_cast<int32_t>(p.pieces.size()) - first});
}

// Arms every span, and cuts every armed span into pieces that are wholly free below or wholly
// held up. Pieces are appended (armed) and visited by this same loop, so the list order is that
// of the cuts. Arming a span as the loop reaches it is arming them all first: the cuts read the
// image alone, and a span's mark is not read before the next pass.
//
// Shared between threads, the spans listed at the start are cut a chunk at a time, each with all
// the pieces its cuts leave, and then the pieces are appended here in the order one pass appends
// them: a pass first visits the listed spans, appending each cut's free stretch and rest in list
// order, then visits those pieces, appending the rests' cuts in the same order, and so on, one
// generation of cuts after another.
void ArmAndSplitPass(const Scene& scene, int32_t parts) {
    WaterSpanList& list = appGlobals.waterSpans;
    const int32_t listed = list.count;
    if (parts > 1) {
        const int32_t chunks = ChunksFor(listed, parts);
        GrowTo(chunkChains, static_cast<size_t>(chunks));
        auto job = [&scene, spans = list.spans, listed, chunks](int32_t part, int32_t chunk) {
            PartScratch& p = partScratch[static_cast<size_t>(part)];
            const auto first = static_cast<int32_t>(p.chains.size());
            for (int32_t i = RangeStart(listed, chunks, chunk); i < RangeStart(listed, chunks, chunk + 1); ++i) CutWhole(scene, p, spans[i]);
            chunkChains[static_cast<size_t>(chunk)] = {part, first, static_cast<int32_t>(p.chains.size())};
        };
        stepPool.Run(chunks, job);
        ++threadCounts.sharedSplits;
        size_t chains = 0;
        size_t pieces = 0;
        for (int32_t part = 0; part < parts; ++part) {
            chains += partScratch[static_cast<size_t>(part)].chains.size();
            pieces += partScratch[static_cast<size_t>(part)].pieces.size();
        }
        MatchRoom(&PartScratch::chains, parts, chains);
        MatchRoom(&PartScratch::pieces, parts, pieces);
        for (int32_t generation = 0;; ++generation) {
            bool more = false;
            for (int32_t chunk = 0; chunk < chunks; ++chunk) {
                const ChunkChains& c = chunkChains[static_cast<size_t>(chunk)];
                const PartScratch& p = partScratch[static_cast<size_t>(c.part)];
                for (int32_t i = c.first; i < c.end; ++i) {
                    const PartScratch::Chain& chain = p.chains[static_cast<size_t>(i)];
                    const int32_t at = 2 * generation;
                    if (at >= chain.count) continue;
                    AppendRecord(p.pieces[static_cast<size_t>(chain.first + at)]);
                    if (at + 1 < chain.count) AppendRecord(p.pieces[static_cast<size_t>(chain.first + at + 1)]);
                    more |= at + 2 < chain.count;
                }
            }
            if (!more) break;
        }
        return;
    }
    for (int32_t k = 0; k < list.count; ++k) {
        if (k < listed) list.spans[k].active = 1;
        const SplitCut cut = FindCut(scene, list.spans[k]);
        if (cut.kind == SplitCut::Cut) {
            const WaterSpan span = list.spans[k];
            AppendSpan(cut.first, cut.last, span.y);
            if (cut.last < span.x1) AppendSpan(cut.last + 1, span.x1, span.y);
        }
        Settle(list.spans[k], cut, scene.deadRow);  // after the appends, which may move the array
    }
}

void FallOne(const Scene& scene, WaterSpan& span) {
    if (!span.active || scene.Cell(span.x0, int64_t{span.y} + 1) != EmptyIndex) return;
    const int32_t from = span.y;
    ++span.y;  // the free cell below lies inside the image, so this cannot overflow
    if (int64_t{span.y} == int64_t{scene.limit} - 1) span.y = scene.deadRow;
    scene.Move(span.x0, span.x1, from, span.y);
}

// Only the cell under the first column decides: a span whose first cell was freed by a span
// that fell earlier in this pass falls whole, over whatever lies under its other cells.
void FallPass(const Scene& scene) {
    WaterSpanList& list = appGlobals.waterSpans;
    for (int32_t k = 0; k < list.count; ++k) FallOne(scene, list.spans[k]);
}

// A span spreads by at most h - 1 cells a side, h its column height, and by no more than the
// free cells beside it. Most armed spans have no free cell beside them or no water on them, and
// neither needs the column counted; otherwise the free cells are counted a stretch at a time and
// the column only as high as they let it matter, so neither a deep column nor a wide open floor
// is walked further than the move it allows.
void SpreadPass(const Scene& scene) {
    WaterSpanList& list = appGlobals.waterSpans;
    const int32_t n = list.count;  // halves appended here wait for the next step
    for (int32_t k = 0; k < n; ++k) {
        const WaterSpan span = list.spans[k];
        if (!span.active) continue;
        // Off the image, or with a negative first column, a span has no pressure or no room.
        if (span.x0 < 0 || span.y <= 0 || span.y >= scene.height) continue;
        const int64_t y = span.y;
        if (scene.Cell(int64_t{span.x0} - 1, y) != EmptyIndex && scene.Cell(int64_t{span.x1} + 1, y) != EmptyIndex) continue;
        // A span moves by at most h - 1 cells a side, so it needs water at least two cells deep
        // directly above it. Most have none: a drop in the air, or one under a single drop.
        if (const int64_t cells = int64_t{span.x1} - span.x0 + 1; cells >= 1 && cells <= 16 && int64_t{span.x1} < scene.width && y >= 2) {
            const uint8_t* above = scene.pixels + (y - 1) * scene.width + span.x0;
            if (!ShortRunsBothAny(above, above - scene.width, cells, WaterIndex)) continue;
        } else if (ColumnHeight(scene, span, 2) < 2) {
            continue;
        }
        // The column above is at most y rows tall, so no more than y - 1 free cells a side count.
        int32_t freeLeft = 0;
        int32_t freeRight = 0;
        int32_t height = 0;
        for (int64_t reach = 8;; reach *= 4) {
            const int64_t most = std::min(reach, y - 1);
            freeLeft = EmptyRun(scene, int64_t{span.x0} - 1, y, -1, most);
            freeRight = EmptyRun(scene, int64_t{span.x1} + 1, y, +1, most);
            height = ColumnHeight(scene, span, int64_t{std::max(freeLeft, freeRight)} + 1);
            // Settled unless a run was cut at `most` while the column reaches higher than it.
            const bool cut = most < y - 1 && (freeLeft == most || freeRight == most);
            if (!cut || height <= most) break;
        }
        // With water above, x0 >= 0 and the span lies on a row of the image, so none of the
        // sums below can overflow: every moved end stays inside the image.
        const int32_t left = std::min(freeLeft, height - 1);
        const int32_t right = std::min(freeRight, height - 1);
        if (left == 0 && right == 0) continue;
        scene.Paint(span.x0, span.x1, span.y, EmptyIndex);
        const int32_t mid = span.x0 + (span.x1 - span.x0) / 2;
        list.spans[k].x0 = span.x0 - left;
        list.spans[k].x1 = mid - left;
        scene.Paint(span.x0 - left, mid - left, span.y, WaterIndex);
        if (mid < span.x1) {
            AppendSpan(mid + 1 + right, span.x1 + right, span.y);
            scene.Paint(mid + 1 + right, span.x1 + right, span.y, WaterIndex);
        }
    }
}

// Keeps the spans above the row limit, in order; returns how many.
int32_t DropDeadSpans(WaterSpan* spans, int32_t count, int32_t limit) {
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (spans[i].y >= limit) continue;
        if (kept != i) spans[kept] = spans[i];
        ++kept;
    }
    return kept;
}

void InsertionSortByRow(WaterSpan* spans, int32_t count) {
    for (int32_t i = 1; i < count; ++i) {
        const WaterSpan moving = spans[i];
        int32_t j = i;
        while (j > 0 && CompareSpanRows(&spans[j - 1], &moving) > 0) {
            spans[j] = spans[j - 1];
            --j;
        }
        spans[j] = moving;
    }
}

// A stable sort of the live spans by row that drops the dead ones. Rows of live spans usually
// lie within the image, so a least-significant-digit radix sort on the row (less the smallest
// row) takes one counting pass; rows far outside the image take up to three.
void SortLiveSpansByRow(int32_t limit) {
    WaterSpanList& list = appGlobals.waterSpans;
    const int32_t count = list.count;
    int32_t live = 0;
    bool ordered = true;
    int32_t previous = INT32_MIN;
    int32_t lowest = INT32_MAX;
    int32_t highest = INT32_MIN;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t y = list.spans[i].y;
        if (y >= limit) continue;
        ++live;
        if (y < previous) ordered = false;
        previous = y;
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    }
    if (ordered || live <= SmallSortSize) {
        list.count = DropDeadSpans(list.spans, count, limit);
        if (!ordered) InsertionSortByRow(list.spans, list.count);
        return;
    }

    if (sortScratchCapacity < list.capacity) {
        delete[] sortScratch;
        sortScratch = new WaterSpan[static_cast<size_t>(list.capacity)];
        sortScratchCapacity = list.capacity;
    }
    auto key = [lowest](const WaterSpan& span) { return static_cast<uint32_t>(int64_t{span.y} - lowest); };
    const int keyBits = std::bit_width(static_cast<uint32_t>(int64_t{highest} - lowest));
    uint32_t counters[1u << RadixDigitBits];
    WaterSpan* source = list.spans;
    WaterSpan* target = sortScratch;
    int32_t sourceCount = count;  // the first pass also drops the dead spans
    for (int shift = 0; shift < keyBits; shift += RadixDigitBits) {
        const int bits = std::min(RadixDigitBits, keyBits - shift);
        const uint32_t mask = (1u << bits) - 1;
        std::fill_n(counters, mask + 1, 0u);
        for (int32_t i = 0; i < sourceCount; ++i) {
            if (source[i].y < limit) ++counters[(key(source[i]) >> shift) & mask];
        }
        uint32_t start = 0;
        for (uint32_t d = 0; d <= mask; ++d) start += std::exchange(counters[d], start);
        for (int32_t i = 0; i < sourceCount; ++i) {
            if (source[i].y < limit) target[counters[(key(source[i]) >> shift) & mask]++] = source[i];
        }
        std::swap(source, target);
        sourceCount = live;
    }
    if (source != list.spans) {
        std::swap(list.spans, sortScratch);
        std::swap(list.capacity, sortScratchCapacity);
    }
    list.count = live;
}

// Whether A, grown so far, takes B: an end of A lies on B or on a cell next to it.
bool Touches(const WaterSpan& a, const WaterSpan& b) {
    // Unsigned, one comparison tests each end against reachLeft .. reachRight.
    const int64_t reachLeft = int64_t{b.x0} - 1;
    const auto reach = static_cast<uint64_t>(int64_t{b.x1} + 1 - reachLeft);
    return (static_cast<uint64_t>(a.x0 - reachLeft) <= reach) | (static_cast<uint64_t>(a.x1 - reachLeft) <= reach);
}

// A's sweep over later spans of its row, in list order: spans[at(i)] for i in 0 .. count - 1.
template <typename Index>
bool Absorb(const Scene& scene, WaterSpan* spans, WaterSpan& a, int32_t count, Index at) {
    bool killed = false;
    for (int32_t i = 0; i < count; ++i) {
        WaterSpan& b = spans[at(i)];
        if (!((b.y == a.y) & Touches(a, b))) continue;
        a.x0 = std::min(a.x0, b.x0);
        a.x1 = std::max(a.x1, b.x1);
        b.y = scene.deadRow;
        killed = true;
    }
    return killed;
}

int32_t OffsetAt(const MergeScratch& m, int32_t place) { return static_cast<int32_t>(m.rowOrder[static_cast<size_t>(place)] & 0xFFFFFFFFu); }

// A's sweep when A's cluster is a chain of spans end to end. Spans that do not overlap touch only
// when they are neighbours, and A's neighbours stay the two spans beside what it has grown to;
// so of all later spans only the nearer of those two, by list order, can be the next A takes,
// and one beside A that comes before the sweep's position never can.
bool SweepChain(const Scene& scene, MergeScratch& m, WaterSpan* spans, int32_t first, int32_t offset) {
    WaterSpan& a = spans[first + offset];
    const int32_t place = m.rowPlace[static_cast<size_t>(offset)];
    int32_t position = offset;
    bool killed = false;
    for (;;) {
        const int32_t left = m.rowPrev[static_cast<size_t>(place)];
        const int32_t right = m.rowNext[static_cast<size_t>(place)];
        const int32_t leftOffset = left >= 0 ? OffsetAt(m, left) : -1;
        const int32_t rightOffset = right >= 0 ? OffsetAt(m, right) : -1;
        const bool takeLeft = leftOffset > position && (rightOffset <= position || leftOffset < rightOffset);
        const bool takeRight = !takeLeft && rightOffset > position;
        if (!takeLeft && !takeRight) return killed;
        const int32_t taken = takeLeft ? left : right;
        WaterSpan& b = spans[first + (takeLeft ? leftOffset : rightOffset)];
        a.x0 = std::min(a.x0, b.x0);
        a.x1 = std::max(a.x1, b.x1);
        b.y = scene.deadRow;
        killed = true;
        position = takeLeft ? leftOffset : rightOffset;
        const int32_t beyond = takeLeft ? m.rowPrev[static_cast<size_t>(taken)] : m.rowNext[static_cast<size_t>(taken)];
        if (takeLeft) {
            m.rowPrev[static_cast<size_t>(place)] = beyond;
            if (beyond >= 0) m.rowNext[static_cast<size_t>(beyond)] = place;
        } else {
            m.rowNext[static_cast<size_t>(place)] = beyond;
            if (beyond >= 0) m.rowPrev[static_cast<size_t>(beyond)] = place;
        }
    }
}

// Fills the scratch's rowOrder with the spans of a row by first column, ties in list order. The first columns
// of a row usually lie within a few hundred of each other: then two byte-wide counting passes
// over their distance from the smallest beat a comparison sort.
void SortRowByFirstColumn(MergeScratch& m, const WaterSpan* row, int32_t count) {
    const auto n = static_cast<size_t>(count);
    GrowTo(m.rowOrder, n);
    int32_t lowest = INT32_MAX;
    int32_t highest = INT32_MIN;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t column = static_cast<uint32_t>(row[i].x0) ^ 0x80000000u;  // signed order
        m.rowOrder[static_cast<size_t>(i)] = (uint64_t{column} << 32) | static_cast<uint32_t>(i);
        lowest = std::min(lowest, row[i].x0);
        highest = std::max(highest, row[i].x0);
    }
    // A short row is sorted in place; the counting passes cost their 512 counters whatever the
    // row's length.
    if (count <= 16) {
        for (size_t i = 1; i < n; ++i) {
            const uint64_t moving = m.rowOrder[i];
            size_t j = i;
            for (; j > 0 && m.rowOrder[j - 1] > moving; --j) m.rowOrder[j] = m.rowOrder[j - 1];
            m.rowOrder[j] = moving;
        }
        return;
    }
    // First columns that lie close together, all different (spans that do not overlap), are
    // sorted by marking each in a bitmap of the columns and reading the marks back in order: one
    // pass over the spans and a few words a span.
    if (const int64_t range = int64_t{highest} - lowest + 1; range <= 0x10000 && range <= 512 * int64_t{count}) {
        const auto words = static_cast<size_t>((range + 63) / 64);
        GrowTo(m.rowColumnBits, words);
        GrowTo(m.rowColumnOffset, static_cast<size_t>(range));
        std::fill_n(m.rowColumnBits.begin(), words, 0);
        bool distinct = true;
        for (int32_t i = 0; i < count; ++i) {
            const auto d = static_cast<size_t>(int64_t{row[i].x0} - lowest);
            const uint64_t bit = uint64_t{1} << (d % 64);
            if (m.rowColumnBits[d / 64] & bit) {
                distinct = false;
                break;
            }
            m.rowColumnBits[d / 64] |= bit;
            m.rowColumnOffset[d] = i;
        }
        if (distinct) {
            size_t place = 0;
            for (size_t w = 0; w < words; ++w) {
                for (uint64_t bits = m.rowColumnBits[w]; bits != 0; bits &= bits - 1) {
                    const size_t d = w * 64 + static_cast<size_t>(std::countr_zero(bits));
                    const uint32_t column = static_cast<uint32_t>(lowest + static_cast<int64_t>(d)) ^ 0x80000000u;
                    m.rowOrder[place++] = (uint64_t{column} << 32) | static_cast<uint32_t>(m.rowColumnOffset[d]);
                }
            }
            return;
        }
    }
    // Up to a few dozen spans a comparison sort costs less than the counters' two sweeps.
    if (count <= 64 || int64_t{highest} - lowest >= 0x10000) {
        std::sort(m.rowOrder.begin(), m.rowOrder.begin() + count);
        return;
    }
    GrowTo(m.rowOrderScratch, n);
    uint64_t* source = m.rowOrder.data();
    uint64_t* target = m.rowOrderScratch.data();
    const uint64_t base = (uint64_t{static_cast<uint32_t>(lowest) ^ 0x80000000u}) << 32;
    for (int shift = 32; shift < 48; shift += 8) {
        uint32_t counters[256] = {};
        for (size_t i = 0; i < n; ++i) ++counters[((source[i] - base) >> shift) & 0xFF];
        uint32_t start = 0;
        for (uint32_t& c : counters) start += std::exchange(c, start);
        for (size_t i = 0; i < n; ++i) target[counters[((source[i] - base) >> shift) & 0xFF]++] = source[i];
        std::swap(source, target);
    }
    // Two passes leave the result where it started.
}

// The spans of one row are spans[first .. end), in list order. Only a span with water beside one
// of its ends sweeps the spans after it; its ends do not move before its own sweep, so whether it
// sweeps can be read off the image for the whole row at once. While those sweeps are few they
// are run as they stand. Otherwise the row is cut into clusters, runs of spans with no free cell
// between them: a span only takes spans that overlap it or lie next to it, so what it grows to
// stays within its cluster and never touches another one, and each cluster is swept alone; a
// cluster of spans end to end by following neighbours, any other by the pairwise rule.
bool MergeRow(const Scene& scene, MergeScratch& m, WaterSpan* spans, int32_t first, int32_t end) {
    const int32_t count = end - first;
    if (count < 2) return false;
    const auto n = static_cast<size_t>(count);
    GrowTo(m.rowGated, n);
    const int32_t row = spans[first].y;
    if (row < 0 || row >= scene.height) return false;  // every cell beside is outside: no water
    const uint8_t* pixels = scene.pixels + row * scene.width;
    const auto width = static_cast<uint64_t>(scene.width);
    int64_t pairs = 0;  // what the sweeps as they stand would compare
    for (int32_t i = 0; i + 1 < count; ++i) {
        // Unsigned, a column left of the image wraps round to a huge one: one bound test each.
        const uint64_t left = static_cast<uint64_t>(int64_t{spans[first + i].x0} - 1);
        const uint64_t right = static_cast<uint64_t>(int64_t{spans[first + i].x1} + 1);
        const bool gated = (left < width && pixels[left] == WaterIndex) || (right < width && pixels[right] == WaterIndex);
        m.rowGated[static_cast<size_t>(i)] = gated;
        if (gated) pairs += count - 1 - i;
    }
    m.rowGated[n - 1] = 0;  // the last span has nothing after it to take
    if (pairs == 0) return false;

    bool killed = false;
    if (pairs <= 2 * int64_t{count}) {
        for (int32_t i = 0; i + 1 < count; ++i) {
            WaterSpan& a = spans[first + i];
            if (!m.rowGated[static_cast<size_t>(i)] || a.y >= scene.limit) continue;
            killed |= Absorb(scene, spans, a, count - 1 - i, [from = first + i + 1](int32_t j) { return from + j; });
        }
        return killed;
    }

    SortRowByFirstColumn(m, spans + first, count);
    GrowTo(m.rowPrev, n);
    GrowTo(m.rowNext, n);
    GrowTo(m.rowPlace, n);
    GrowTo(m.rowCluster, n);
    m.clusterChain.clear();
    int32_t clusters = 0;
    int64_t hullRight = 0;
    for (int32_t p = 0; p < count; ++p) {
        const int32_t offset = OffsetAt(m, p);
        const WaterSpan& span = spans[first + offset];
        const bool joins = p > 0 && int64_t{span.x0} <= hullRight + 1;
        if (!joins) {
            ++clusters;
            m.clusterChain.push_back(1);
        } else if (int64_t{span.x0} <= hullRight) {
            m.clusterChain.back() = 0;  // overlaps a span before it
        }
        hullRight = joins ? std::max<int64_t>(hullRight, span.x1) : span.x1;
        m.rowPrev[static_cast<size_t>(p)] = joins ? p - 1 : -1;
        if (p > 0) m.rowNext[static_cast<size_t>(p) - 1] = joins ? p : -1;
        m.rowPlace[static_cast<size_t>(offset)] = p;
        m.rowCluster[static_cast<size_t>(offset)] = clusters - 1;
    }
    m.rowNext[n - 1] = -1;
    if (clusters == count) return false;  // no two spans near each other

    // The members of every cluster, each cluster's in list order: a counting sort by cluster.
    GrowTo(m.clusterStart, static_cast<size_t>(clusters) + 1);
    std::fill_n(m.clusterStart.begin(), clusters + 1, 0);
    for (int32_t i = 0; i < count; ++i) ++m.clusterStart[static_cast<size_t>(m.rowCluster[static_cast<size_t>(i)]) + 1];
    for (int32_t c = 0; c < clusters; ++c) m.clusterStart[static_cast<size_t>(c) + 1] += m.clusterStart[static_cast<size_t>(c)];
    GrowTo(m.clusterMembers, n);
    for (int32_t i = 0; i < count; ++i) {
        const auto c = static_cast<size_t>(m.rowCluster[static_cast<size_t>(i)]);
        m.clusterMembers[static_cast<size_t>(m.clusterStart[c]++)] = i;
    }
    // Filling moved every start on to the next cluster's; shift them back.
    for (int32_t c = clusters; c > 0; --c) m.clusterStart[static_cast<size_t>(c)] = m.clusterStart[static_cast<size_t>(c) - 1];
    m.clusterStart[0] = 0;

    const int32_t* members = m.clusterMembers.data();
    for (int32_t c = 0; c < clusters; ++c) {
        const int32_t from = m.clusterStart[static_cast<size_t>(c)];
        const int32_t to = m.clusterStart[static_cast<size_t>(c) + 1];
        for (int32_t i = from; i + 1 < to; ++i) {
            WaterSpan& a = spans[first + members[i]];
            if (!m.rowGated[static_cast<size_t>(members[i])] || a.y >= scene.limit) continue;
            if (m.clusterChain[static_cast<size_t>(c)]) {
                killed |= SweepChain(scene, m, spans, first, members[i]);
            } else {
                killed |= Absorb(scene, spans, a, to - i - 1, [first, after = members + i + 1](int32_t j) { return first + after[j]; });
            }
        }
    }
    return killed;
}

// Runs on the list after it was sorted: a stable sort keeps each row's spans in the order the
// merge would have met them in the unsorted list, the merge joins only spans of one row, and it
// reads the image without writing it; so merging row by row here gives the same spans. For the
// same reasons rows may be merged on separate threads, a chunk of whole rows at a time.
void MergePass(const Scene& scene, int32_t parts) {
    WaterSpanList& list = appGlobals.waterSpans;
    WaterSpan* spans = list.spans;
    const int32_t count = list.count;
    const int32_t chunks = parts > 1 ? ChunksFor(count, parts) : 1;
    GrowTo(chunkStarts, static_cast<size_t>(chunks) + 1);
    for (int32_t chunk = 0; chunk <= chunks; ++chunk) {
        int32_t start = RangeStart(count, chunks, chunk);
        while (start > 0 && start < count && spans[start].y == spans[start - 1].y) ++start;
        chunkStarts[static_cast<size_t>(chunk)] = std::max(start, chunk > 0 ? chunkStarts[static_cast<size_t>(chunk) - 1] : 0);
    }
    uint8_t killed[MaxWaterThreads] = {};
    auto job = [&](int32_t part, int32_t chunk) {
        MergeScratch& scratch = partScratch[static_cast<size_t>(part)].merge;
        const int32_t end = chunkStarts[static_cast<size_t>(chunk) + 1];
        for (int32_t groupStart = chunkStarts[static_cast<size_t>(chunk)]; groupStart < end;) {
            const int32_t row = spans[groupStart].y;
            int32_t groupEnd = groupStart + 1;
            while (groupEnd < count && spans[groupEnd].y == row) ++groupEnd;
            if (groupEnd - groupStart > 1) killed[part] |= MergeRow(scene, scratch, spans, groupStart, groupEnd);
            groupStart = groupEnd;
        }
    };
    if (parts > 1) {
        stepPool.Run(chunks, job);
        ++threadCounts.sharedMerges;
        MatchMergeRoom(parts);
    } else {
        job(0, 0);
    }
    if (std::any_of(killed, killed + parts, [](uint8_t k) { return k != 0; })) list.count = DropDeadSpans(spans, count, scene.limit);
}

void ReleaseScratch() {
    delete[] sortScratch;
    sortScratch = nullptr;
    sortScratchCapacity = 0;
    std::vector<PartScratch>().swap(partScratch);
    std::vector<ChunkChains>().swap(chunkChains);
    std::vector<int32_t>().swap(chunkStarts);
}

}  // namespace

bool InitWater() {
    WaterSpanList& list = appGlobals.waterSpans;
    delete[] list.spans;
    ReleaseScratch();
    list.spans = new WaterSpan[InitialSpanCapacity];
    list.count = 0;
    list.capacity = InitialSpanCapacity;
    return true;
}

void FreeWater() {
    WaterSpanList& list = appGlobals.waterSpans;
    delete[] list.spans;
    ReleaseScratch();
    stepPool.Stop();
    list.spans = nullptr;
    list.count = 0;
    list.capacity = 0;
}

void ResetWater() {
    FreeWater();
    InitWater();
}

void PourWater(int32_t xa, int32_t xb, int32_t row) { AppendSpan(xa, xb, row); }

int32_t CompareSpanRows(const WaterSpan* first, const WaterSpan* second) {
    return first->y < second->y ? -1 : (first->y > second->y ? 1 : 0);
}

int32_t WaterColumnHeight(int32_t spanIndex) {
    const WaterSpanList& list = appGlobals.waterSpans;
    if (!list.spans || spanIndex < 0 || spanIndex >= list.count) return 0;
    return ColumnHeight(CurrentScene(), list.spans[spanIndex], INT64_MAX);
}

void StepWater() {
    WaterSpanList& list = appGlobals.waterSpans;
    const Scene scene = CurrentScene();
    // Without a positive row limit there is no row a span may live on.
    if (!list.spans || list.count <= 0 || scene.limit <= 0) return;
    const int32_t parts = list.count >= fewestThreadedSpans ? ChosenThreads() : 1;
    if (parts > 1) {
        stepPool.Start(parts);
        ++threadCounts.threadedSteps;
    }
    PrepareParts(parts);
    ArmAndSplitPass(scene, parts);
    FallPass(scene);
    SpreadPass(scene);
    SortLiveSpansByRow(scene.limit);
    MergePass(scene, parts);
}

void SetWaterThreads(int32_t threads, int32_t fewestSpans) {
    requestedThreads = std::clamp(threads, 0, MaxWaterThreads);
    fewestThreadedSpans = std::max(fewestSpans, 0);
}

int32_t WaterThreads() { return ChosenThreads(); }

WaterThreadCounts WaterThreadedWork() { return threadCounts; }
