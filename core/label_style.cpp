#include "label_style.h"

#include "bitmap32.h"

#include <string.h>

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

// Where and how a label is drawn: compared whole with a kept image's, so it is zeroed
// before use. The item's bounds, which the custom draw gives, stand for the label's
// rectangle: asking the list view for that makes it measure the text again.
struct LabelPlace {
    int item;
    int style;
    int dpi;
    RECT bounds;
    UINT format;
    HGDIOBJ font; // the shell makes the view a new font only on a change of settings
};

// A label and all its copies' image depends on.
struct Label {
    LabelPlace place;
    wchar_t text[kMaxLabelLength];
};

// What holds for every label of one paint, looked up once at its start.
struct LabelPaint {
    int style; // StyleNormal: no copies in this paint
    int dpi;
    int focusedItem; // the label shown whole, or -1
};

LabelPaint labelPaint;

// Counts the messages that may have changed a label's text (see DoubtKeptLabels): a kept
// image is used without reading its label again only while this has not moved since.
ULONGLONG labelDoubts;

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

// Where DrawText puts the text's pixels. A cut label is clipped to its rectangle, which
// the list view makes to hold its lines. A label shown whole is as wide and as tall as it
// measures, centred on its rectangle, with room for glyphs that reach past the lines.
RECT TextBounds(HDC dc, const wchar_t* text, const RECT& rect, UINT format) {
    if (!(format & DT_NOCLIP)) return rect;
    RECT measured = rect;
    DrawTextW(dc, text, -1, &measured, format | DT_CALCRECT);
    const int width = measured.right - measured.left;
    RECT bounds = {rect.left + (rect.right - rect.left - width) / 2, rect.top, 0, measured.bottom};
    bounds.right = bounds.left + width;
    InflateRect(&bounds, kOverhang, kOverhang);
    return bounds;
}

// A 32-bpp bitmap in a memory DC with the label's font, where each copy is drawn and made
// its premultiplied image. It is kept from one label to the next until EndLabelPaint: a DC
// and a bitmap made for every label would cost several times the drawing itself.
struct Mask {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HGDIOBJ oldFont;
    RGBQUAD* pixels;
    int width; // of the bitmap; a label uses the top left part
    int height;
    RECT imageAt; // where the image at its top left was blended; empty when none was
};

Mask paintMask;

// The paint's mask, made or enlarged to hold width x height, with the target's font.
const Mask* MaskFor(HDC target, int width, int height) {
    Mask& mask = paintMask;
    if (!mask.dc) {
        mask.dc = CreateCompatibleDC(target);
        if (!mask.dc) return nullptr;
        mask.oldFont = GetCurrentObject(mask.dc, OBJ_FONT);
        SetBkMode(mask.dc, TRANSPARENT);
    }
    if (width > mask.width || height > mask.height) {
        const int newWidth = width > mask.width ? width : mask.width;
        const int newHeight = height > mask.height ? height : mask.height;
        RGBQUAD* pixels = nullptr;
        HBITMAP bitmap = CreateBitmap32(target, newWidth, newHeight, &pixels);
        if (!bitmap) return nullptr;
        HGDIOBJ previous = SelectObject(mask.dc, bitmap);
        if (mask.bitmap)
            DeleteObject(mask.bitmap);
        else
            mask.oldBitmap = previous;
        mask = {mask.dc, bitmap, mask.oldBitmap, mask.oldFont, pixels, newWidth, newHeight, {}};
    }
    HGDIOBJ font = GetCurrentObject(target, OBJ_FONT);
    if (GetCurrentObject(mask.dc, OBJ_FONT) != font) SelectObject(mask.dc, font);
    return &mask;
}

BYTE Premultiplied(BYTE channel, BYTE alpha) {
    return static_cast<BYTE>((channel * alpha + 127) / 255);
}

// GDI smooths dark text on a light ground and light text on a dark ground by different
// curves, each a blend between text and ground. So the copy is drawn in black on white or
// in white on black, after its own brightness; how far a pixel moved from the ground is the
// copy's coverage there, which AlphaBlend then applies to whatever lies below as GDI would.
// With subpixel smoothing the green channel, the middle one, stands for the pixel. The
// image fills `band`, `rect` being where the text lies in it.
void RenderCopyImage(const Mask& mask, const RECT& band, const wchar_t* text, RECT rect,
                     UINT format, COLORREF color) {
    const bool dark = GetRValue(color) + 2 * GetGValue(color) + GetBValue(color) < 2 * 255;
    PatBlt(mask.dc, band.left, band.top, band.right, band.bottom - band.top,
           dark ? WHITENESS : BLACKNESS);
    SetTextColor(mask.dc, dark ? kBlack : kWhite);
    DrawTextW(mask.dc, text, -1, &rect, format);
    GdiFlush();
    for (int y = band.top; y < band.bottom; ++y) {
        RGBQUAD* row = mask.pixels + y * mask.width;
        for (RGBQUAD* pixel = row; pixel < row + band.right; ++pixel) {
            const BYTE alpha = dark ? 255 - pixel->rgbGreen : pixel->rgbGreen;
            pixel->rgbRed = Premultiplied(GetRValue(color), alpha);
            pixel->rgbGreen = Premultiplied(GetGValue(color), alpha);
            pixel->rgbBlue = Premultiplied(GetBValue(color), alpha);
            pixel->rgbReserved = alpha;
        }
    }
}

BYTE Over(BYTE above, BYTE aboveAlpha, BYTE below) {
    return static_cast<BYTE>(above + (below * (255 - aboveAlpha) + 127) / 255);
}

// Lays the premultiplied image `rows` below the top of the mask over the one at its top,
// as a second AlphaBlend would: both copies then take one blend into the target.
void LayOver(const Mask& mask, int rows, int width) {
    for (int y = 0; y < rows; ++y) {
        RGBQUAD* below = mask.pixels + y * mask.width;
        const RGBQUAD* above = mask.pixels + (y + rows) * mask.width;
        for (int x = 0; x < width; ++x) {
            const BYTE alpha = above[x].rgbReserved;
            below[x].rgbRed = Over(above[x].rgbRed, alpha, below[x].rgbRed);
            below[x].rgbGreen = Over(above[x].rgbGreen, alpha, below[x].rgbGreen);
            below[x].rgbBlue = Over(above[x].rgbBlue, alpha, below[x].rgbBlue);
            below[x].rgbReserved = Over(alpha, alpha, below[x].rgbReserved);
        }
    }
}

// Blends the image in the top left of the paint's mask into the target at `at` (left, top,
// width, height) and remembers where; false when the DC refuses the blend.
bool BlendMask(HDC dc, const RECT& at) {
    Mask& mask = paintMask;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    mask.imageAt = {};
    if (!GdiAlphaBlend(dc, at.left, at.top, at.right, at.bottom, mask.dc, 0, 0, at.right, at.bottom,
                       blend))
        return false;
    mask.imageAt = at;
    return true;
}

// Draws the copies as one premultiplied image of the text in each copy's colour at each
// copy's offset, later copies over earlier ones, blended into the target: AlphaBlend writes
// alpha where GDI text would leave 0. False when no image could be made or the DC refuses
// the blend.
bool BlendCopies(HDC dc, const RECT& rect, const wchar_t* text, UINT format,
                 const LabelCopy copies[], int count) {
    const RECT bounds = TextBounds(dc, text, rect, format);
    RECT reach = {copies[0].dx, copies[0].dy, copies[0].dx, copies[0].dy};
    for (int i = 1; i < count; ++i) {
        RECT offset = {copies[i].dx, copies[i].dy, copies[i].dx, copies[i].dy};
        UnionRect(&reach, &reach, &offset);
    }
    const int width = bounds.right - bounds.left + reach.right - reach.left;
    const int height = bounds.bottom - bounds.top + reach.bottom - reach.top;
    const bool empty = bounds.right <= bounds.left || bounds.bottom <= bounds.top;
    const Mask* mask = empty ? nullptr : MaskFor(dc, width, count * height);
    if (!mask) return false;
    for (int i = 0; i < count; ++i) {
        const RECT band = {0, i * height, width, (i + 1) * height};
        RECT inBand = rect;
        OffsetRect(&inBand, copies[i].dx - reach.left - bounds.left,
                   copies[i].dy - reach.top - bounds.top + band.top);
        RenderCopyImage(*mask, band, text, inBand, format, copies[i].color);
        if (i > 0) LayOver(*mask, height, width);
    }
    const RECT at = {bounds.left + reach.left, bounds.top + reach.top, width, height};
    return BlendMask(dc, at);
}

// The finished images of the labels, kept across paints: a desktop's labels rarely change
// between repaints, and a kept image is drawn again with one blend where making it takes a
// DrawText per copy. A label's slot follows from its item; an image is used again only for
// the same text, item bounds, format, font, style and DPI, and all go when the module
// detaches or the system's settings or theme change (text smoothing and fonts among them).
constexpr int kKeptLabels = 256;
constexpr int kKeptBytes = 4 << 20;

struct LabelImage {
    Label label;
    ULONGLONG readAt; // labelDoubts when the label's text was last read and found the same
    RECT at;          // left, top, width, height in the target
    RGBQUAD pixels[1];
};

// The text that the view's parent gave last for a label, as the list view asked for it to
// draw the label (a shell keeps its labels' texts and gives them at every paint).
struct GivenLabel {
    bool held; // false: none, or not given whole
    int item;
    ULONGLONG at; // labelDoubts right after it was given
    wchar_t text[kMaxLabelLength];
};

// The kept images by slot, and the text given last; made when a paint first needs them.
struct KeptLabels {
    LabelImage* images[kKeptLabels];
    GivenLabel given;
};

KeptLabels* keptLabels;
int labelImageBytes;

void ForgetLabelImage(LabelImage*& image) {
    if (!image) return;
    labelImageBytes -= image->at.right * image->at.bottom * 4;
    LocalFree(image);
    image = nullptr;
}

void CopyRows(RGBQUAD* to, int toWidth, const RGBQUAD* from, int fromWidth, const RECT& at) {
    for (int y = 0; y < at.bottom; ++y)
        CopyMemory(to + y * toWidth, from + y * fromWidth, at.right * sizeof(RGBQUAD));
}

KeptLabels* TheKeptLabels() {
    if (!keptLabels) keptLabels = static_cast<KeptLabels*>(LocalAlloc(LPTR, sizeof(KeptLabels)));
    return keptLabels;
}

// The slot of the item's kept image; null when no table of them could be made.
LabelImage** SlotOf(int item) {
    KeptLabels* kept = TheKeptLabels();
    return kept ? &kept->images[static_cast<UINT>(item) % kKeptLabels] : nullptr;
}

// The label's text: as its parent has just given it to the list view, when nothing came
// since that could have changed it, or else asked of the list view.
bool ReadLabelText(HWND view, int item, wchar_t text[kMaxLabelLength]) {
    const GivenLabel* given = keptLabels ? &keptLabels->given : nullptr;
    if (given && given->held && given->item == item && given->at == labelDoubts) {
        // Up to its end only: what lies beyond stays zero, as the label is compared whole.
        lstrcpyW(text, given->text);
        return text[0] != 0;
    }
    LVITEMW request = {};
    request.iSubItem = 0;
    request.pszText = text;
    request.cchTextMax = kMaxLabelLength;
    SendMessageW(view, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
    return text[0] != 0;
}

// Keeps the image that the mask holds from the label just drawn, in place of the slot's.
void KeepLabelImage(LabelImage*& image, const Label& label) {
    ForgetLabelImage(image);
    const Mask& mask = paintMask;
    const RECT& at = mask.imageAt;
    const int bytes = at.right * at.bottom * 4;
    if (!bytes || labelImageBytes + bytes > kKeptBytes) return;
    image = static_cast<LabelImage*>(LocalAlloc(LMEM_FIXED, sizeof(LabelImage) + bytes));
    if (!image) return;
    labelImageBytes += bytes;
    image->label = label;
    image->readAt = labelDoubts;
    image->at = at;
    CopyRows(image->pixels, at.right, mask.pixels, mask.width, at);
}

bool BlendLabelImage(HDC dc, const LabelImage& image) {
    const RECT& at = image.at;
    const Mask* mask = MaskFor(dc, at.right, at.bottom);
    if (!mask) return false;
    CopyRows(mask->pixels, mask->width, image.pixels, at.right, at);
    return BlendMask(dc, at);
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

void EndLabelPaint() {
    labelPaint = LabelPaint{};
    Mask& mask = paintMask;
    if (!mask.dc) return;
    SelectObject(mask.dc, mask.oldFont);
    if (mask.bitmap) {
        SelectObject(mask.dc, mask.oldBitmap);
        DeleteObject(mask.bitmap);
    }
    DeleteDC(mask.dc);
    mask = Mask{};
}

void ForgetLabelImages() {
    if (!keptLabels) return;
    for (LabelImage*& image : keptLabels->images) ForgetLabelImage(image);
    LocalFree(keptLabels);
    keptLabels = nullptr;
}

void BeginLabelPaint(HWND view, HDC dc, int style) {
    labelPaint = LabelPaint{};
    // Other layouts than icon view place their labels differently: they stay plain.
    if (style == StyleNormal || !IsIconView(view)) return;
    labelPaint.style = style;
    labelPaint.dpi = DpiOfView(view, dc);
    // The list view shows the focused label of a focused view whole, every other one cut.
    labelPaint.focusedItem =
        GetFocus() == view ? static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, -1, LVNI_FOCUSED))
                           : -1;
}

void DoubtKeptLabels() {
    ++labelDoubts;
}

void NoteLabelGiven(const NMLVDISPINFOW& answer) {
    // Only a paint with copies to draw takes the texts given.
    KeptLabels* kept = labelPaint.style == StyleNormal ? nullptr : TheKeptLabels();
    if (!kept) return;
    GivenLabel& given = kept->given;
    given.held = false;
    const LVITEMW& item = answer.item;
    // A shorter buffer may have cut the text; one of the parent's own is read the same way.
    if (!(item.mask & LVIF_TEXT) || item.iSubItem != 0 || !item.pszText ||
        item.pszText == LPSTR_TEXTCALLBACKW || item.cchTextMax < kMaxLabelLength)
        return;
    // Copied by hand: lstrcpynW would be one more import for a module at its size limit.
    int length = 0;
    while (length < kMaxLabelLength - 1 && item.pszText[length]) {
        given.text[length] = item.pszText[length];
        ++length;
    }
    given.text[length] = L'\0';
    given.held = true;
    given.item = item.iItem;
    given.at = labelDoubts;
}

void PaintLabelCopies(const NMLVCUSTOMDRAW& draw) {
    if (labelPaint.style == StyleNormal) return;
    HWND view = draw.nmcd.hdr.hwndFrom;
    // The list view draws the label right after this with the same DC and font.
    HDC dc = draw.nmcd.hdc;
    // Zeroed whole, padding included: kept labels are compared byte for byte.
    Label label;
    ZeroMemory(&label, sizeof label);
    LabelPlace& place = label.place;
    place.item = static_cast<int>(draw.nmcd.dwItemSpec);
    place.style = labelPaint.style;
    place.dpi = labelPaint.dpi;
    place.bounds = draw.nmcd.rc;
    place.format = place.item == labelPaint.focusedItem ? kWholeLabelFormat : kCutLabelFormat;
    place.font = GetCurrentObject(dc, OBJ_FONT);
    // Without memory for the table the labels stay plain.
    LabelImage** slot = SlotOf(place.item);
    if (!slot) return;
    LabelImage* kept = *slot;
    const bool samePlace = kept && memcmp(&kept->label.place, &place, sizeof place) == 0;
    // Nothing that could change the text came since it was read: no need to read it again.
    if (samePlace && kept->readAt == labelDoubts && BlendLabelImage(dc, *kept)) return;
    if (!ReadLabelText(view, place.item, label.text)) return;
    if (samePlace && memcmp(kept->label.text, label.text, sizeof label.text) == 0) {
        kept->readAt = labelDoubts;
        if (BlendLabelImage(dc, *kept)) return;
    }
    RECT rect;
    rect.left = LVIR_LABEL;
    if (!SendMessageW(view, LVM_GETITEMRECT, place.item, reinterpret_cast<LPARAM>(&rect))) return;
    paintMask.imageAt = {};
    DrawLabelCopies(dc, rect, label.text, place.format, place.style, place.dpi);
    KeepLabelImage(*slot, label);
}
