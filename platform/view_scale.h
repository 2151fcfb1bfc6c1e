// How a window's view is shown on a screen of any size: the one rule every display shares (the
// drivers, and on Windows platform/windows/), and the way back from a pointer on the screen to a
// pixel of the view. docs/ARCHITECTURE.md, "Fitting a view to a screen", says the rule in words.
#pragma once

namespace viewscale {

// The size a view is shown at, in device pixels.
struct Fit {
    int width = 0;
    int height = 0;
    int factor = 0;  // the whole factor, every view pixel factor × factor device pixels; 0: fractional
};

// The view (viewWidth × viewHeight pixels) fitted to a room of roomWidth × roomHeight device
// pixels on a screen of `devicePixelsPerUnit` device pixels per device-independent pixel (a CSS
// pixel, a point, a 96-dpi pixel): the largest whole factor that fits, or the largest fractional
// one where even 1 does not fit or where the screen is small and the whole factor would show
// less than half the area. At least 1 × 1 for a view that is not empty, whatever the room.
Fit Choose(int viewWidth, int viewHeight, int roomWidth, int roomHeight, double devicePixelsPerUnit);

// The view fitted to the room at the largest factor, whole or not, whatever the screen: how a
// full-screen window fills the screen. At least 1 × 1 for a view that is not empty.
Fit Fill(int viewWidth, int viewHeight, int roomWidth, int roomHeight);

// The view pixel that device pixel `i` (0 ≤ i < shownLength) of the shown image shows, along one
// side: ⌊(i + ½) · viewLength / shownLength⌋.
int ShownPixel(int i, int viewLength, int shownLength);

// The first device pixel, along one side, that shows view pixel `v` or one after it: where a view
// rectangle starting at v starts on the screen (shownLength for v = viewLength).
int FirstDevicePixel(int v, int viewLength, int shownLength);

// The view pixel under a pointer `d` device pixels (fractions allowed) from the shown image's
// edge, along one side: the one the device pixel under it shows, ShownPixel(⌊d⌋). Outside the
// image, outside the view: negative, or viewLength and beyond.
int PointerPixel(double d, int viewLength, int shownLength);

}  // namespace viewscale
