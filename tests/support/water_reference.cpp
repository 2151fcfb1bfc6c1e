// The literal water step: each pass as its words say, in order.
#include "tests/support/water_reference.h"

#include <algorithm>
#include <map>

#include "gfx/draw.h"

void ReferenceWater::Pour(int32_t xa, int32_t xb, int32_t row) {
    spans.push_back(WaterSpan{std::min(xa, xb), std::max(xa, xb), row, 1});
}

int32_t ReferenceWater::ColumnHeight(size_t k) const {
    const WaterSpan s = spans[k];
    if (s.x0 < 0 || s.x1 - s.x0 + 1 <= 0) return 0;
    int32_t best = 0;
    for (int32_t x = s.x0; x <= s.x1; ++x) {
        int32_t count = 0;
        while (GetPixel(surface, x, s.y - 1 - count) == WaterIndex) ++count;
        best = std::max(best, count);
    }
    return best;
}

void ReferenceWater::Step() {
    const int32_t dead = 2 * limit;
    for (WaterSpan& s : spans) s.active = 1;

    for (size_t k = 0; k < spans.size(); ++k) {
        const WaterSpan s = spans[k];
        if (s.y >= limit || s.x0 == s.x1) continue;
        bool found = false;
        int32_t a = 0;
        int32_t b = 0;
        for (int32_t x = s.x0; x <= s.x1; ++x) {
            const bool free = GetPixel(surface, x, s.y + 1) == EmptyIndex;
            if (!found && free) {
                found = true;
                a = x;
                b = s.x1;
            } else if (found && !free) {
                b = x - 1;
                break;
            }
        }
        if (!found) {
            if (GetPixel(surface, s.x0 - 1, s.y) != EmptyIndex && GetPixel(surface, s.x1 + 1, s.y) != EmptyIndex) {
                spans[k].active = 0;
                ++counts.disarms;
            }
            continue;
        }
        if (a == s.x0 && b == s.x1) continue;
        Pour(a, b, s.y);
        if (b < s.x1) Pour(b + 1, s.x1, s.y);
        if (a == s.x0) {
            spans[k].y = dead;
        } else {
            spans[k].x1 = a - 1;
        }
        ++counts.splits;
    }

    for (WaterSpan& s : spans) {
        if (!s.active || GetPixel(surface, s.x0, s.y + 1) != EmptyIndex) continue;
        DrawLine(surface, s.x0, s.y, s.x1, s.y, EmptyIndex);
        ++s.y;
        ++counts.falls;
        if (s.y == limit - 1) {
            s.y = dead;
            ++counts.drains;
        }
        DrawLine(surface, s.x0, s.y, s.x1, s.y, WaterIndex);
    }

    const size_t n = spans.size();
    for (size_t k = 0; k < n; ++k) {
        const WaterSpan s = spans[k];
        if (!s.active) continue;
        const int32_t h = ColumnHeight(k);
        if (h == 0) continue;
        int32_t left = 0;
        while (left < h - 1 && GetPixel(surface, s.x0 - 1 - left, s.y) == EmptyIndex) ++left;
        int32_t right = 0;
        while (right < h - 1 && GetPixel(surface, s.x1 + 1 + right, s.y) == EmptyIndex) ++right;
        if (left == 0 && right == 0) continue;
        if (h >= 8) ++counts.deepSpreads;
        DrawLine(surface, s.x0, s.y, s.x1, s.y, EmptyIndex);
        const int32_t mid = s.x0 + (s.x1 - s.x0) / 2;
        spans[k].x0 = s.x0 - left;
        spans[k].x1 = mid - left;
        DrawLine(surface, s.x0 - left, s.y, mid - left, s.y, WaterIndex);
        if (mid < s.x1) {
            Pour(mid + 1 + right, s.x1 + right, s.y);
            DrawLine(surface, mid + 1 + right, s.y, s.x1 + right, s.y, WaterIndex);
        }
        ++counts.spreads;
    }

    std::map<int32_t, int> spansOnRow;
    for (const WaterSpan& s : spans)
        if (s.y < limit) ++spansOnRow[s.y];
    for (size_t k = 0; k < spans.size(); ++k) {
        if (spans[k].y >= limit) continue;
        const WaterSpan s = spans[k];
        if (GetPixel(surface, s.x0 - 1, s.y) != WaterIndex && GetPixel(surface, s.x1 + 1, s.y) != WaterIndex) continue;
        const size_t end = spans.size();
        for (size_t j = k + 1; j < end; ++j) {
            WaterSpan& a = spans[k];
            WaterSpan& b = spans[j];
            if (b.y != a.y) continue;
            const bool touches = (a.x0 >= b.x0 - 1 && a.x0 <= b.x1 + 1) || (a.x1 >= b.x0 - 1 && a.x1 <= b.x1 + 1);
            if (!touches) continue;
            a.x0 = std::min(a.x0, b.x0);
            a.x1 = std::max(a.x1, b.x1);
            b.y = dead;
            ++counts.merges;
            if (spansOnRow[a.y] >= 16) ++counts.crowdedMerges;
        }
    }

    std::stable_sort(spans.begin(), spans.end(), [](const WaterSpan& a, const WaterSpan& b) { return a.y < b.y; });
    auto firstDead = std::find_if(spans.begin(), spans.end(), [this](const WaterSpan& s) { return s.y >= limit; });
    spans.erase(firstDead, spans.end());
}
