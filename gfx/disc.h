// For the framework's own use: the row widths of a disc, shared by the filled circles and the
// tiled discs.
#pragma once

#include <cmath>
#include <cstdint>

// Half-width of a disc's row dy rows from its centre: the square root of |r² − dy²|, truncated.
// Exact for every pair of 32-bit values.
inline int64_t DiscHalfWidth(int64_t r, int64_t dy) {
    int64_t d = r * r - dy * dy;
    if (d < 0) d = -d;
    auto half = static_cast<int64_t>(std::sqrt(static_cast<double>(d)));
    // sqrt of a double may land one off for large squares; settle on the exact floor.
    while (half * half > d) --half;
    while ((half + 1) * (half + 1) <= d) ++half;
    return half;
}

// The same, from `start`, the half-width of a row further from the centre (so no wider): where
// the outline runs steep, a step or two from there costs less than a square root.
inline int64_t DiscHalfWidthFrom(int64_t r, int64_t dy, int64_t start) {
    int64_t d = r * r - dy * dy;
    if (d < 0) d = -d;
    for (int64_t half = start, steps = 0; steps < 4; ++half, ++steps)
        if ((half + 1) * (half + 1) > d) return half;
    return DiscHalfWidth(r, dy);
}
