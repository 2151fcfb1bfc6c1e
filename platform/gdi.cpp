// GDI32 subset: 8-bit device-independent bitmap sections, device contexts of windows and of
// memory, BitBlt from a section into a window's client framebuffer, and stock objects.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <new>

#include "platform/gdi_internal.h"
#include "platform/wm_internal.h"

namespace gdi {
namespace {

struct State {
    std::map<uintptr_t, std::unique_ptr<Section>> sections;
    std::map<uintptr_t, std::unique_ptr<DeviceContext>> dcs;
    uintptr_t nextHandle = 0x100000;
};

State& Gdi() {
    static State state;
    return state;
}

uintptr_t Key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

// Stock objects are fixed handles below any allocated one; they cannot be deleted.
constexpr uintptr_t kStockBase = 0x9000;
constexpr int kStockCount = 6;
// The bitmap a fresh memory DC holds until another is selected.
const HGDIOBJ kDefaultBitmap = reinterpret_cast<HGDIOBJ>(kStockBase + 0x100);

bool IsStock(HGDIOBJ object) {
    uintptr_t k = Key(object);
    return (k >= kStockBase && k < kStockBase + kStockCount) || object == kDefaultBitmap;
}

uint32_t Xrgb(const RGBQUAD& q) {
    return (static_cast<uint32_t>(q.rgbRed) << 16) | (static_cast<uint32_t>(q.rgbGreen) << 8) | q.rgbBlue;
}

}  // namespace

Section* FindSection(HGDIOBJ handle) {
    auto it = Gdi().sections.find(Key(handle));
    return it == Gdi().sections.end() ? nullptr : it->second.get();
}

DeviceContext* FindDc(HDC handle) {
    auto it = Gdi().dcs.find(Key(handle));
    return it == Gdi().dcs.end() ? nullptr : it->second.get();
}

void ConvertRow8To32(const uint8_t* src, uint32_t* dst, int count, const uint32_t* lut) {
    // Eight look-ups, then eight stores. The compiler may not move a load above a store through
    // a pointer that could alias it, so grouping the loads first lets them issue together
    // (about 10% faster than alternating them; see bench/graphics_bench.cpp).
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        uint32_t p0 = lut[src[i]], p1 = lut[src[i + 1]], p2 = lut[src[i + 2]], p3 = lut[src[i + 3]];
        uint32_t p4 = lut[src[i + 4]], p5 = lut[src[i + 5]], p6 = lut[src[i + 6]], p7 = lut[src[i + 7]];
        dst[i] = p0;
        dst[i + 1] = p1;
        dst[i + 2] = p2;
        dst[i + 3] = p3;
        dst[i + 4] = p4;
        dst[i + 5] = p5;
        dst[i + 6] = p6;
        dst[i + 7] = p7;
    }
    for (; i < count; ++i) dst[i] = lut[src[i]];
}

namespace {

// Where two byte runs of length n first and last differ: `first` = n when they are equal.
void Difference(const uint8_t* a, const uint8_t* b, int64_t n, int64_t* first, int64_t* last) {
    int64_t i = 0;
    while (i + 8 <= n) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + i, 8);
        std::memcpy(&wb, b + i, 8);
        if (wa != wb) break;
        i += 8;
    }
    while (i < n && a[i] == b[i]) ++i;
    *first = i;
    if (i == n) return;
    int64_t j = n;
    while (j - 8 > i) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + j - 8, 8);
        std::memcpy(&wb, b + j - 8, 8);
        if (wa != wb) break;
        j -= 8;
    }
    while (a[j - 1] == b[j - 1]) --j;
    *last = j - 1;
}

// Whether a blit covering whole client rows would show exactly what they show already, told by
// one comparison of the source block with the indices shown: the common case of a frame that
// changed nothing costs a read of both and no more. False where that cannot be told so cheaply
// (rows not wholly shown, rows apart in the source or the client), and the rows are compared
// one by one instead.
template <typename SourceRow>
bool Unchanged(const wm::WindowRecord& window, int64_t x0, int64_t y0, int64_t w, int64_t h, SourceRow sourceRow,
               int64_t sy) {
    if (x0 != 0 || w != window.clientWidth) return false;
    // A section's rows are all one stride apart, so the ends tell whether that stride is w.
    const uint8_t* first = sourceRow(sy);
    if (sourceRow(sy + h - 1) - first != (h - 1) * w) return false;
    for (int64_t r = y0; r < y0 + h; ++r)
        if (window.shownFrom[static_cast<size_t>(r)] != 0 || window.shownTo[static_cast<size_t>(r)] != w) return false;
    const uint8_t* seen = window.shownIndices.data() + static_cast<size_t>(y0) * static_cast<size_t>(w);
    return std::memcmp(first, seen, static_cast<size_t>(w * h)) == 0;
}

// The conversion of a blit into a window's client framebuffer, row by row, skipping what the
// window already shows (see WindowRecord::shownIndices).
template <typename SourceRow>
void BlitIntoWindow(wm::WindowRecord& window, int64_t x0, int64_t y0, int64_t w, int64_t h, const uint32_t* lut,
                    SourceRow sourceRow, int64_t sy) {
    const int width = window.clientWidth;
    const auto cells = static_cast<size_t>(width) * static_cast<size_t>(window.clientHeight);
    if (window.shownIndices.size() != cells) {
        window.shownIndices.assign(cells, 0);
        window.shownFrom.assign(static_cast<size_t>(window.clientHeight), 0);
        window.shownTo.assign(static_cast<size_t>(window.clientHeight), 0);
    }
    if (std::memcmp(lut, window.shownColours, sizeof window.shownColours) != 0) {
        // Other colours: no pixel shown so far is known to be what these would make of it.
        std::memcpy(window.shownColours, lut, sizeof window.shownColours);
        window.ForgetShown(0, window.clientHeight - 1);
    }
    window.clientDirty = true;
    if (Unchanged(window, x0, y0, w, h, sourceRow, sy)) return;
    const int from = static_cast<int>(x0);
    const int to = static_cast<int>(x0 + w);
    for (int64_t r = 0; r < h; ++r) {
        const auto row = static_cast<size_t>(y0 + r);
        const size_t at = row * static_cast<size_t>(width) + static_cast<size_t>(x0);
        const uint8_t* source = sourceRow(sy + r);
        uint8_t* seen = window.shownIndices.data() + at;
        uint32_t* out = window.client.data() + at;
        int& shownFrom = window.shownFrom[row];
        int& shownTo = window.shownTo[row];
        if (shownFrom <= from && to <= shownTo) {
            if (std::memcmp(source, seen, static_cast<size_t>(w)) == 0) continue;
            // Convert only the stretch from the first to the last index that changed.
            int64_t first = 0;
            int64_t last = 0;
            Difference(source, seen, w, &first, &last);
            ConvertRow8To32(source + first, out + first, static_cast<int>(last - first + 1), lut);
            std::memcpy(seen + first, source + first, static_cast<size_t>(last - first + 1));
            window.clientChanged = true;
            continue;
        }
        ConvertRow8To32(source, out, static_cast<int>(w), lut);
        window.clientChanged = true;
        std::memcpy(seen, source, static_cast<size_t>(w));
        if (shownFrom == shownTo || to < shownFrom || from > shownTo) {
            shownFrom = from;  // the old range stays apart from this one: keep the new one
            shownTo = to;
        } else {
            shownFrom = std::min(shownFrom, from);
            shownTo = std::max(shownTo, to);
        }
    }
}

}  // namespace

}  // namespace gdi

using gdi::DeviceContext;
using gdi::Section;

HGDIOBJ WINAPI GetStockObject(int object) {
    if (object < 0 || object >= gdi::kStockCount) return nullptr;
    return reinterpret_cast<HGDIOBJ>(gdi::kStockBase + static_cast<uintptr_t>(object));
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < 40 || h.biPlanes != 1 || h.biBitCount != 8 || h.biCompression != BI_RGB) return nullptr;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return nullptr;
    int64_t width = h.biWidth;
    int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
    int64_t stride = (width + 3) / 4 * 4;
    // Sizes whose byte count does not fit a signed 32-bit value are refused, as GDI refuses them.
    if (stride > INT32_MAX || stride * height > INT32_MAX) return nullptr;

    auto section = std::make_unique<Section>();
    section->width = static_cast<int>(width);
    section->height = static_cast<int>(height);
    section->stride = static_cast<int>(stride);
    section->topDown = h.biHeight < 0;
    size_t colours = h.biClrUsed == 0 || h.biClrUsed > 256 ? 256 : h.biClrUsed;
    for (size_t i = 0; i < colours; ++i) section->colours[i] = gdi::Xrgb(info->bmiColors[i]);
    const auto bytes = static_cast<size_t>(stride * height);
    section->pixels.reset(static_cast<uint8_t*>(::operator new[](bytes, std::align_val_t{gdi::kPixelAlignment}, std::nothrow)));
    if (section->pixels) std::memset(section->pixels.get(), 0, bytes);
    if (!section->pixels) return nullptr;

    auto& s = gdi::Gdi();
    HBITMAP handle = reinterpret_cast<HBITMAP>(s.nextHandle);
    s.nextHandle += 4;
    if (bits) *bits = section->pixels.get();
    s.sections.emplace(gdi::Key(handle), std::move(section));
    return handle;
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID out) {
    Section* s = gdi::FindSection(object);
    if (!s) return 0;
    if (!out) return static_cast<int>(sizeof(BITMAP));
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = s->width;
    bm.bmHeight = s->height;
    bm.bmWidthBytes = s->stride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 8;
    bm.bmBits = s->pixels.get();
    std::memcpy(out, &bm, sizeof bm);
    return static_cast<int>(sizeof(BITMAP));
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    if (!object) return FALSE;
    if (gdi::IsStock(object)) return TRUE;
    auto& s = gdi::Gdi();
    auto it = s.sections.find(gdi::Key(object));
    if (it == s.sections.end()) return FALSE;
    // A bitmap still selected into a DC cannot be deleted.
    for (auto& [key, dc] : s.dcs)
        if (dc->bitmap == object) return FALSE;
    s.sections.erase(it);
    return TRUE;
}

namespace {
HDC NewDc(HWND window, bool memory) {
    auto& s = gdi::Gdi();
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    dc->memory = memory;
    dc->bitmap = memory ? gdi::kDefaultBitmap : nullptr;
    HDC handle = reinterpret_cast<HDC>(s.nextHandle);
    s.nextHandle += 4;
    s.dcs.emplace(gdi::Key(handle), std::move(dc));
    return handle;
}
}  // namespace

HDC WINAPI GetDC(HWND hwnd) {
    if (hwnd && !wm::FindWindow(hwnd)) return nullptr;
    return NewDc(hwnd, false);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d || d->memory) return 0;
    if (wm::WindowRecord* w = wm::FindWindow(d->window); w && w->clientDirty) wm::ShowClient(*w);
    gdi::Gdi().dcs.erase(gdi::Key(dc));
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc && !gdi::FindDc(dc)) return nullptr;
    return NewDc(nullptr, true);
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d || !object) return nullptr;
    if (gdi::FindSection(object)) {
        if (!d->memory) return nullptr;
        // A bitmap can be selected into one memory DC at a time.
        for (auto& [key, other] : gdi::Gdi().dcs)
            if (other.get() != d && other->bitmap == object) return nullptr;
        HGDIOBJ old = d->bitmap;
        d->bitmap = object;
        return old;
    }
    if (object == gdi::kDefaultBitmap && d->memory) {
        HGDIOBJ old = d->bitmap;
        d->bitmap = object;
        return old;
    }
    if (gdi::IsStock(object)) return GetStockObject(WHITE_BRUSH);  // brushes: accepted, unused
    return nullptr;
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    DeviceContext* d = gdi::FindDc(dest);
    DeviceContext* s = gdi::FindDc(src);
    if (!d || !s || rop != SRCCOPY || width <= 0 || height <= 0) return FALSE;
    Section* from = gdi::FindSection(s->bitmap);
    if (!from) return FALSE;

    // Destination size.
    wm::WindowRecord* window = nullptr;
    Section* to = nullptr;
    int destWidth = 0;
    int destHeight = 0;
    if (d->memory) {
        to = gdi::FindSection(d->bitmap);
        if (!to) return FALSE;
        destWidth = to->width;
        destHeight = to->height;
    } else {
        window = wm::FindWindow(d->window);
        if (!window) return FALSE;
        destWidth = window->clientWidth;
        destHeight = window->clientHeight;
    }

    // Clip the rectangle to both the source bitmap and the destination.
    int64_t x0 = x, y0 = y, sx = srcX, sy = srcY, w = width, h = height;
    auto clipLow = [&](int64_t& a, int64_t& b) {
        int64_t cut = std::max<int64_t>({0, -a, -b});
        a += cut;
        b += cut;
        return cut;
    };
    int64_t cutX = clipLow(x0, sx);
    int64_t cutY = clipLow(y0, sy);
    w -= cutX;
    h -= cutY;
    w = std::min({w, int64_t{destWidth} - x0, int64_t{from->width} - sx});
    h = std::min({h, int64_t{destHeight} - y0, int64_t{from->height} - sy});
    if (w <= 0 || h <= 0) return TRUE;

    auto sourceRow = [&](int64_t row) {
        int64_t stored = from->topDown ? row : from->height - 1 - row;
        return from->pixels.get() + stored * from->stride + sx;
    };
    if (window) {
        gdi::BlitIntoWindow(*window, x0, y0, w, h, from->colours, sourceRow, sy);
    } else {
        for (int64_t r = 0; r < h; ++r) {
            int64_t row = y0 + r;
            int64_t stored = to->topDown ? row : to->height - 1 - row;
            std::memmove(to->pixels.get() + stored * to->stride + x0, sourceRow(sy + r), static_cast<size_t>(w));
        }
    }
    return TRUE;
}

COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d || x < 0 || y < 0) return CLR_INVALID;
    uint32_t xrgb = 0;
    if (d->memory) {
        Section* s = gdi::FindSection(d->bitmap);
        if (!s || x >= s->width || y >= s->height) return CLR_INVALID;
        int stored = s->topDown ? y : s->height - 1 - y;
        xrgb = s->colours[s->pixels[static_cast<size_t>(stored) * static_cast<size_t>(s->stride) + static_cast<size_t>(x)]];
    } else {
        wm::WindowRecord* w = wm::FindWindow(d->window);
        if (!w || x >= w->clientWidth || y >= w->clientHeight) return CLR_INVALID;
        xrgb = w->client[static_cast<size_t>(y) * static_cast<size_t>(w->clientWidth) + static_cast<size_t>(x)];
    }
    return gdi::SwapRedBlue(xrgb);
}

BOOL WINAPI DeleteDC(HDC dc) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d || !d->memory) return FALSE;
    gdi::Gdi().dcs.erase(gdi::Key(dc));
    return TRUE;
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF colour) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d) return CLR_INVALID;
    COLORREF old = d->background;
    d->background = colour;
    return old;
}

COLORREF WINAPI SetTextColor(HDC dc, COLORREF colour) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d) return CLR_INVALID;
    COLORREF old = d->text;
    d->text = colour;
    return old;
}

int WINAPI SetBkMode(HDC dc, int mode) {
    DeviceContext* d = gdi::FindDc(dc);
    if (!d || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    int old = d->backgroundMode;
    d->backgroundMode = mode;
    return old;
}
