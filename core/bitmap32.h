// 32-bpp bitmaps whose pixels the code reads and writes itself, alpha byte included.
#pragma once
#include <windows.h>

// A top-down 32-bpp DIB section of width x height, zeroed, compatible with `dc` (or the
// screen when null); its pixels, row by row from the top, in `*pixels`. Null on failure.
HBITMAP CreateBitmap32(HDC dc, int width, int height, RGBQUAD** pixels);
