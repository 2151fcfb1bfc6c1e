// The fitting of a view to a screen (view_scale.h). Sizes are worked in 64-bit integers, so that
// the side that limits the fit comes out at exactly the room's length.
#include "platform/view_scale.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace viewscale {
namespace {

// The view (w × h) in the room at the largest factor that fits: the side that limits it as long
// as the room's, the other in proportion, rounded down (at least 1).
Fit Fraction(int64_t w, int64_t h, int64_t roomW, int64_t roomH) {
    Fit fit;
    if (roomW * h <= roomH * w) {
        fit.width = static_cast<int>(roomW);
        fit.height = static_cast<int>(std::max<int64_t>(1, h * roomW / w));
    } else {
        fit.height = static_cast<int>(roomH);
        fit.width = static_cast<int>(std::max<int64_t>(1, w * roomH / h));
    }
    if (fit.width == w && fit.height == h) fit.factor = 1;
    return fit;
}

}  // namespace

Fit Choose(int viewWidth, int viewHeight, int roomWidth, int roomHeight, double devicePixelsPerUnit) {
    if (viewWidth <= 0 || viewHeight <= 0) return Fit{};
    const int64_t w = viewWidth;
    const int64_t h = viewHeight;
    const int64_t roomW = std::max(roomWidth, 1);
    const int64_t roomH = std::max(roomHeight, 1);
    // The side that limits the fit, as the fraction room / view: the width when
    // roomW / w ≤ roomH / h.
    const bool widthLimits = roomW * h <= roomH * w;
    const int64_t room = widthLimits ? roomW : roomH;
    const int64_t view = widthLimits ? w : h;
    const int64_t whole = room / view;
    // Small: the room, in device-independent pixels, is narrower or lower than the view.
    const double unit = devicePixelsPerUnit > 0 && std::isfinite(devicePixelsPerUnit) ? devicePixelsPerUnit : 1.0;
    const bool small = static_cast<double>(roomW) < static_cast<double>(w) * unit ||
                       static_cast<double>(roomH) < static_cast<double>(h) * unit;
    // n · √2 < f, that is 2 n² view² < room²: n shows less than half the area f fills.
    const bool lessThanHalf = 2 * whole * whole * view * view < room * room;
    if (whole >= 1 && !(small && lessThanHalf) && whole * std::max(w, h) <= INT_MAX) {
        Fit fit;
        fit.factor = static_cast<int>(whole);
        fit.width = static_cast<int>(whole * w);
        fit.height = static_cast<int>(whole * h);
        return fit;
    }
    return Fraction(w, h, roomW, roomH);
}

Fit Fill(int viewWidth, int viewHeight, int roomWidth, int roomHeight) {
    if (viewWidth <= 0 || viewHeight <= 0) return Fit{};
    return Fraction(viewWidth, viewHeight, std::max(roomWidth, 1), std::max(roomHeight, 1));
}

int ShownPixel(int i, int viewLength, int shownLength) {
    if (shownLength <= 0) return 0;
    return static_cast<int>((2 * int64_t{i} + 1) * viewLength / (2 * int64_t{shownLength}));
}

int FirstDevicePixel(int v, int viewLength, int shownLength) {
    if (viewLength <= 0 || v <= 0) return 0;
    // The least i with (2i + 1) · viewLength ≥ 2 v · shownLength.
    const int64_t above = 2 * int64_t{v} * shownLength - viewLength;
    const int64_t twice = 2 * int64_t{viewLength};
    return static_cast<int>(std::max<int64_t>(0, (above + twice - 1) / twice));
}

int PointerPixel(double d, int viewLength, int shownLength) {
    if (shownLength <= 0 || !std::isfinite(d)) return -1;
    const double device = std::floor(d);
    if (device >= 0 && device < shownLength) return ShownPixel(static_cast<int>(device), viewLength, shownLength);
    // Outside the image, outside the view, as far out in view pixels.
    const double pixel = std::floor(d * viewLength / shownLength);
    return static_cast<int>(std::clamp(pixel, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

}  // namespace viewscale
