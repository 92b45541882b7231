#include "canvas.h"

#include "../../core/bitmap32.h"

Canvas::Canvas(int width, int height, COLORREF fill) : width(width), height(height) {
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateBitmap32(dc, width, height, &pixels);
    previousBitmap = SelectObject(dc, bitmap);
    Fill(fill);
}

Canvas::~Canvas() {
    SelectObject(dc, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

COLORREF Canvas::Pixel(int x, int y) const {
    return GetPixel(dc, x, y);
}

void Canvas::Fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

void Canvas::SetAlpha(BYTE alpha) {
    GdiFlush();
    for (int i = 0; i < width * height; ++i) pixels[i].rgbReserved = alpha;
}

bool Canvas::SameAs(const Canvas& other) const {
    if (width != other.width || height != other.height) return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
    return true;
}

int Canvas::Count(const RECT& area, COLORREF color) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += Pixel(x, y) == color;
    return count;
}

DRAWITEMSTRUCT DrawRequest(const Canvas& canvas, UINT type, UINT id, const RECT& rect, UINT state) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = type;
    (type == ODT_MENU ? item.itemID : item.CtlID) = id;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hDC = canvas.Dc();
    item.rcItem = rect;
    return item;
}

int RoomForGdiObjects() {
    constexpr int kLimit = 100000; // above any system's per-process quota
    static HGDIOBJ objects[kLimit];
    int count = 0;
    while (count < kLimit && (objects[count] = CreateSolidBrush(RGB(1, 2, 3))) != nullptr) ++count;
    for (int i = 0; i < count; ++i) DeleteObject(objects[i]);
    return count;
}
