#include "label_style.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kMaxLabelLength = 260;

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

void DrawCopy(HDC dc, Label& label, const LabelCopy& copy) {
    RECT rect = label.rect;
    OffsetRect(&rect, copy.dx, copy.dy);
    SetTextColor(dc, copy.color);
    DrawTextW(dc, label.text, -1, &rect, label.format);
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

void PaintLabelCopies(const NMLVCUSTOMDRAW& draw, int style) {
    LabelCopy copies[2];
    const int count = CopiesOfStyle(style, copies);
    HWND view = draw.nmcd.hdr.hwndFrom;
    // Other layouts than icon view place their labels differently: they stay plain.
    if (count == 0 || !IsIconView(view)) return;
    Label label;
    if (!ReadLabel(view, static_cast<int>(draw.nmcd.dwItemSpec), &label)) return;
    HDC dc = draw.nmcd.hdc;
    // The list view draws the label right after this with the same DC and font.
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    for (int i = 0; i < count; ++i) DrawCopy(dc, label, copies[i]);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}
