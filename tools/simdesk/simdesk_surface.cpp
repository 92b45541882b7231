#include "simdesk_surface.h"

#include <commctrl.h>

#include "../../core/bitmap32.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The wallpaper under the composed view; composing is on while the subclass is.
COLORREF composedWallpaper;
bool composing;

// A 32-bpp bitmap, zeroed (transparent), selected into a memory DC.
struct Surface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    RGBQUAD* pixels;
    int count;
};

bool CreateSurface(int width, int height, Surface* surface) {
    surface->bitmap = CreateBitmap32(nullptr, width, height, &surface->pixels);
    if (!surface->bitmap) return false;
    surface->dc = CreateCompatibleDC(nullptr);
    surface->oldBitmap = SelectObject(surface->dc, surface->bitmap);
    surface->count = width * height;
    return true;
}

void DeleteSurface(const Surface& surface) {
    SelectObject(surface.dc, surface.oldBitmap);
    DeleteDC(surface.dc);
    DeleteObject(surface.bitmap);
}

BYTE Over(BYTE source, BYTE alpha, BYTE below) {
    const int value = source + (255 - alpha) * below / 255;
    return static_cast<BYTE>(value > 255 ? 255 : value);
}

// The compositor takes the surface as premultiplied: a pixel that GDI drew keeps alpha 0,
// so its colour is added to the wallpaper (black vanishes, white glows), and only a pixel
// with alpha covers what lies below.
void ComposeOver(const Surface& surface, COLORREF wallpaper) {
    GdiFlush();
    for (RGBQUAD* pixel = surface.pixels; pixel < surface.pixels + surface.count; ++pixel) {
        const BYTE alpha = pixel->rgbReserved;
        pixel->rgbRed = Over(pixel->rgbRed, alpha, GetRValue(wallpaper));
        pixel->rgbGreen = Over(pixel->rgbGreen, alpha, GetGValue(wallpaper));
        pixel->rgbBlue = Over(pixel->rgbBlue, alpha, GetBValue(wallpaper));
        pixel->rgbReserved = 255;
    }
}

void PrintClient(HWND view, HDC dc) {
    SendMessageA(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
}

LRESULT CALLBACK ComposedViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    switch (message) {
    case WM_ERASEBKGND: return 1; // the composed paint covers the whole client area
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(view, &paint);
        RenderView(view, dc);
        EndPaint(view, &paint);
        return 0;
    }
    case WM_NCDESTROY: RemoveWindowSubclass(view, ComposedViewProc, kSubclassId); break;
    }
    return DefSubclassProc(view, message, wParam, lParam);
}

} // namespace

bool ComposeViewOverWallpaper(HWND view, COLORREF wallpaper) {
    composedWallpaper = wallpaper;
    composing = SetWindowSubclass(view, ComposedViewProc, kSubclassId, 0) != FALSE;
    if (composing) ListView_SetBkColor(view, RGB(0, 0, 0));
    return composing;
}

void RenderView(HWND view, HDC target) {
    RECT client;
    GetClientRect(view, &client);
    Surface surface;
    if (!composing || !CreateSurface(client.right, client.bottom, &surface)) {
        PrintClient(view, target);
        return;
    }
    PrintClient(view, surface.dc);
    ComposeOver(surface, composedWallpaper);
    BitBlt(target, 0, 0, client.right, client.bottom, surface.dc, 0, 0, SRCCOPY);
    DeleteSurface(surface);
}
