// The clock the paired benchmarks time their two sides with.
#pragma once

#include <ctime>

// The thread's own processor time in seconds: on a shared machine, time spent waiting for a
// processor then counts for neither side of a pair.
inline double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
