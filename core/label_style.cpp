#include "label_style.h"

#include "bitmap32.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kMaxLabelLength = 260;
constexpr int kBaseDpi = 96;
// Glyphs of a label shown whole may reach a little past the rectangle DrawText measures.
constexpr int kOverhang = 2;

// How the list view draws a label in icon view: the focused label of a focused view is
// shown whole, every other one is cut to its rectangle with an ellipsis.
constexpr UINT kLabelFormat = DT_TOP | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
constexpr UINT kCutLabelFormat = kLabelFormat | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS;
constexpr UINT kWholeLabelFormat = kLabelFormat | DT_NOCLIP;

struct Label {
    wchar_t text[kMaxLabelLength];
    RECT rect;
    UINT format;
};

bool ReadLabel(HWND view, int item, Label* label) {
    LVITEMW request = {};
    request.iSubItem = 0;
    request.pszText = label->text;
    request.cchTextMax = kMaxLabelLength;
    label->text[0] = L'\0';
    SendMessageW(view, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
    if (!label->text[0]) return false;
    label->rect.left = LVIR_LABEL;
    if (!SendMessageW(view, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&label->rect)))
        return false;
    const bool focused =
        GetFocus() == view && (ListView_GetItemState(view, item, LVIS_FOCUSED) & LVIS_FOCUSED);
    label->format = focused ? kWholeLabelFormat : kCutLabelFormat;
    return true;
}

bool IsIconView(HWND view) {
    return (GetWindowLongPtrW(view, GWL_STYLE) & LVS_TYPEMASK) == LVS_ICON;
}

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// Windows 10 1607 and later give each window its monitor's DPI; before, one DPI holds for
// the whole session, the DC's.
int DpiOfView(HWND view, HDC dc) {
    const auto dpiForWindow = reinterpret_cast<DpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = dpiForWindow ? dpiForWindow(view) : 0;
    return dpi ? static_cast<int>(dpi) : GetDeviceCaps(dc, LOGPIXELSY);
}

// Plain GDI text, as the copies were drawn before: it leaves alpha 0 in a 32-bpp surface,
// so it only stands in when the alpha-correct path cannot run.
void DrawCopyWithText(HDC dc, const wchar_t* text, RECT rect, UINT format, const LabelCopy& copy) {
    OffsetRect(&rect, copy.dx, copy.dy);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, copy.color);
    DrawTextW(dc, text, -1, &rect, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

// Where DrawText may put pixels: the rectangle itself when it clips to it, else what it
// measures, centred on the rectangle as it draws it.
RECT TextBounds(HDC dc, const wchar_t* text, const RECT& rect, UINT format) {
    if (!(format & DT_NOCLIP)) return rect;
    RECT measured = rect;
    DrawTextW(dc, text, -1, &measured, format | DT_CALCRECT);
    RECT bounds = rect;
    const int extraWidth = (measured.right - measured.left) - (rect.right - rect.left);
    if (extraWidth > 0) InflateRect(&bounds, (extraWidth + 1) / 2, 0);
    if (measured.bottom > bounds.bottom) bounds.bottom = measured.bottom;
    InflateRect(&bounds, kOverhang, kOverhang);
    return bounds;
}

// A 32-bpp top-down DIB section selected into a memory DC compatible with `target`, with
// the target's font: a copy's coverage is drawn there and turned into its premultiplied
// image.
struct Mask {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HGDIOBJ oldFont;
    RGBQUAD* pixels;
    int width;
    int height;
};

bool CreateMask(HDC target, int width, int height, Mask* mask) {
    mask->bitmap = CreateBitmap32(target, width, height, &mask->pixels);
    if (!mask->bitmap) return false;
    mask->dc = CreateCompatibleDC(target);
    if (!mask->dc) {
        DeleteObject(mask->bitmap);
        return false;
    }
    mask->oldBitmap = SelectObject(mask->dc, mask->bitmap);
    mask->oldFont = SelectObject(mask->dc, GetCurrentObject(target, OBJ_FONT));
    SetBkMode(mask->dc, TRANSPARENT);
    mask->width = width;
    mask->height = height;
    return true;
}

void DeleteMask(const Mask& mask) {
    SelectObject(mask.dc, mask.oldFont);
    SelectObject(mask.dc, mask.oldBitmap);
    DeleteDC(mask.dc);
    DeleteObject(mask.bitmap);
}

BYTE Premultiplied(BYTE channel, BYTE alpha) {
    return static_cast<BYTE>((channel * alpha + 127) / 255);
}

// GDI smooths dark text on a light ground and light text on a dark ground by different
// curves, each a blend between text and ground. So the copy is drawn in black on white or
// in white on black, after its own brightness; how far a pixel moved from the ground is the
// copy's coverage there, which AlphaBlend then applies to whatever lies below as GDI would.
// With subpixel smoothing the green channel, the middle one, stands for the pixel.
void RenderCopyImage(const Mask& mask, const wchar_t* text, RECT rect, UINT format,
                     COLORREF color) {
    const bool dark = GetRValue(color) + 2 * GetGValue(color) + GetBValue(color) < 2 * 255;
    PatBlt(mask.dc, 0, 0, mask.width, mask.height, dark ? WHITENESS : BLACKNESS);
    SetTextColor(mask.dc, dark ? kBlack : kWhite);
    DrawTextW(mask.dc, text, -1, &rect, format);
    GdiFlush();
    const int count = mask.width * mask.height;
    for (RGBQUAD* pixel = mask.pixels; pixel < mask.pixels + count; ++pixel) {
        const BYTE alpha = dark ? 255 - pixel->rgbGreen : pixel->rgbGreen;
        pixel->rgbRed = Premultiplied(GetRValue(color), alpha);
        pixel->rgbGreen = Premultiplied(GetGValue(color), alpha);
        pixel->rgbBlue = Premultiplied(GetBValue(color), alpha);
        pixel->rgbReserved = alpha;
    }
}

// Draws each copy as a premultiplied image of the text in its colour, blended at its
// offset: AlphaBlend writes alpha where GDI text would leave 0. A copy the DC refuses to
// blend is drawn as plain text. False when no image could be made.
bool BlendCopies(HDC dc, const RECT& rect, const wchar_t* text, UINT format,
                 const LabelCopy copies[], int count) {
    const RECT bounds = TextBounds(dc, text, rect, format);
    Mask mask;
    if (IsRectEmpty(&bounds) ||
        !CreateMask(dc, bounds.right - bounds.left, bounds.bottom - bounds.top, &mask))
        return false;
    RECT inMask = rect;
    OffsetRect(&inMask, -bounds.left, -bounds.top);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (int i = 0; i < count; ++i) {
        RenderCopyImage(mask, text, inMask, format, copies[i].color);
        if (!GdiAlphaBlend(dc, bounds.left + copies[i].dx, bounds.top + copies[i].dy, mask.width,
                           mask.height, mask.dc, 0, 0, mask.width, mask.height, blend))
            DrawCopyWithText(dc, text, rect, format, copies[i]);
    }
    DeleteMask(mask);
    return true;
}

} // namespace

int CopiesOfStyle(int style, LabelCopy copies[2]) {
    switch (style) {
    case StyleNormal: return 0;
    case StyleEmbossed:
        copies[0] = {-1, -1, kWhite};
        copies[1] = {1, 1, kBlack};
        return 2;
    case StyleEngraved:
        copies[0] = {-1, -1, kBlack};
        copies[1] = {1, 1, kWhite};
        return 2;
    default: copies[0] = {1, 1, kBlack}; return 1;
    }
}

int CopyOffset(int dpi) {
    return dpi / kBaseDpi > 1 ? dpi / kBaseDpi : 1;
}

void DrawLabelCopies(HDC dc, const RECT& rect, const wchar_t* text, UINT format, int style,
                     int dpi) {
    LabelCopy copies[2];
    const int count = CopiesOfStyle(style, copies);
    const int offset = CopyOffset(dpi);
    for (int i = 0; i < count; ++i) {
        copies[i].dx *= offset;
        copies[i].dy *= offset;
    }
    if (count == 0 || BlendCopies(dc, rect, text, format, copies, count)) return;
    for (int i = 0; i < count; ++i) DrawCopyWithText(dc, text, rect, format, copies[i]);
}

void PaintLabelCopies(const NMLVCUSTOMDRAW& draw, int style) {
    HWND view = draw.nmcd.hdr.hwndFrom;
    // Other layouts than icon view place their labels differently: they stay plain.
    if (style == StyleNormal || !IsIconView(view)) return;
    Label label;
    if (!ReadLabel(view, static_cast<int>(draw.nmcd.dwItemSpec), &label)) return;
    // The list view draws the label right after this with the same DC and font.
    HDC dc = draw.nmcd.hdc;
    DrawLabelCopies(dc, label.rect, label.text, label.format, style, DpiOfView(view, dc));
}
