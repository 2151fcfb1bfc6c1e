// GDI objects shared by the GDI sources of platform/.
#pragma once

#include <cstdint>
#include <cstddef>
#include <memory>
#include <new>

#include "platform/win32.h"

namespace gdi {

// Pixel memory of a section starts on a page boundary. Whole-image copies between two sections
// then always run between the same offsets in a page: some processors' block copy (rep movsb)
// is ten times slower when the target lies a few bytes after the source modulo a page, which
// is where two blocks from the general allocator can land.
constexpr size_t kPixelAlignment = 4096;

struct PixelsFree {
    void operator()(uint8_t* p) const { ::operator delete[](p, std::align_val_t{kPixelAlignment}); }
};

// An allocator for buffers read side by side with section pixels, on the same alignment: a
// comparison of the two then reads both at the same offset within each cache line, instead of
// one of them across two lines at every other load.
template <typename T>
struct PixelAligned {
    using value_type = T;
    PixelAligned() = default;
    template <typename U>
    PixelAligned(const PixelAligned<U>&) {}
    T* allocate(size_t n) {
        return static_cast<T*>(::operator new[](n * sizeof(T), std::align_val_t{kPixelAlignment}));
    }
    void deallocate(T* p, size_t) { ::operator delete[](p, std::align_val_t{kPixelAlignment}); }
    template <typename U>
    bool operator==(const PixelAligned<U>&) const { return true; }
};

// An 8-bit DIB section: pixel memory (zero-filled at creation) and its colour table.
struct Section {
    int width = 0;
    int height = 0;  // rows, positive
    int stride = 0;  // bytes per row: width rounded up to a multiple of 4
    bool topDown = false;
    uint32_t colours[256]{};  // the colour table as 0x00RRGGBB, as a blit shows it
    std::unique_ptr<uint8_t[], PixelsFree> pixels;
};

struct DeviceContext {
    HWND window = nullptr;     // a window DC draws into this window's client framebuffer
    bool memory = false;       // a memory DC draws into its selected bitmap
    HGDIOBJ bitmap = nullptr;  // selected bitmap of a memory DC
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
};

// COLORREF is 0x00BBGGRR and the framebuffer holds 0x00RRGGBB: swapping the red and blue bytes
// turns either into the other.
constexpr uint32_t SwapRedBlue(uint32_t c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }

Section* FindSection(HGDIOBJ handle);
DeviceContext* FindDc(HDC handle);

// One row of 8-bit indices to 0x00RRGGBB through a 256-entry table.
void ConvertRow8To32(const uint8_t* src, uint32_t* dst, int count, const uint32_t* lut);

}  // namespace gdi
