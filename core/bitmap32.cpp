#include "bitmap32.h"

HBITMAP CreateBitmap32(HDC dc, int width, int height, RGBQUAD** pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // The memory of a new section comes zeroed from the system.
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<RGBQUAD*>(bits);
    return bitmap;
}
