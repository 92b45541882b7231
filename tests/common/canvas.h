// A memory device context over a 32-bit bitmap, for checking what drawing code paints.
#pragma once
#include <windows.h>

class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    int Width() const { return width; }
    int Height() const { return height; }
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF color);
    // True when every pixel equals the other canvas's pixel at the same place.
    bool SameAs(const Canvas& other) const;
    // Number of pixels of exactly this colour within the rectangle.
    int Count(const RECT& area, COLORREF color) const;
    // The alpha byte of a pixel, which GDI itself never reads; SetAlpha writes every one.
    BYTE Alpha(int x, int y) const { return pixels[y * width + x].rgbReserved; }
    void SetAlpha(BYTE alpha);

  private:
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;
    RGBQUAD* pixels;
};

// A WM_DRAWITEM request to draw the whole item on the canvas, within rect: menu item `id`
// when type is ODT_MENU, control `id` otherwise.
DRAWITEMSTRUCT DrawRequest(const Canvas& canvas, UINT type, UINT id, const RECT& rect,
                           UINT state = 0);

// How many more GDI objects this process could create now; the same count before and
// after some work shows that the work left none behind, where the system counts none.
int RoomForGdiObjects();
