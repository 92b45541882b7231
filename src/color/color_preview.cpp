#include "color_preview.h"

#include <commdlg.h>

#include "../app/app.h"
#include "../app/main_window.h"
#include "../app/resource.h"
#include "../desktop/desktop_view.h"
#include "../settings/settings.h"
#include "gdi_scope.h"

#ifndef _WIN64
static_assert(sizeof(CHOOSECOLORA) == 36, "the 32-bit colour dialog record is 36 bytes");
#endif

COLORREF InverseColor(COLORREF color) {
    return (color ^ 0x00FFFFFF) & 0x00FFFFFF;
}

void DrawColorPreview(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    CreatedGdiObject brush(CreateSolidBrush(settings.textColor));
    FillRect(dc, &item->rcItem, brush.Brush());
    // No contrast rule: a middle grey is written in a grey one step away from it.
    SetTextColor(dc, InverseColor(settings.textColor));
    SetBkMode(dc, TRANSPARENT);
    RECT text = item->rcItem;
    DrawTextA(dc, settings.textColorDesc, -1, &text,
              DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}

void DrawDropDownArrow(const DRAWITEMSTRUCT* item) {
    UINT state = DFCS_SCROLLDOWN;
    if ((item->itemState & ODS_SELECTED) || dropDownOpen) state |= DFCS_PUSHED;
    RECT frame = item->rcItem;
    DrawFrameControl(item->hDC, &frame, DFC_SCROLL, state);
}

void ChooseCustomColor() {
    CHOOSECOLORA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = sharedMainWindow;
    dialog.rgbResult = settings.textColor;
    dialog.lpCustColors = settings.custColors;
    dialog.Flags = CC_RGBINIT;
    // Cancelled or failed: nothing changes; the custom colours keep what the dialog left.
    if (!ChooseColorA(&dialog)) return;
    settings.textColor = dialog.rgbResult;
    InvalidateRect(sharedMainWindow, nullptr, TRUE);
    // Even a colour of the named menu gets the custom description when chosen here.
    FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
    desktopView = FindDesktopView(sharedMainWindow);
    if (IsTextTransparent(desktopView)) ApplyTransparency();
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), TRUE);
}

BOOL OnPreviewDoubleClick() {
    RECT preview;
    GetWindowRect(GetDlgItem(sharedMainWindow, IDC_PREVIEW), &preview);
    // The cursor now, not the message's position: the sunken edge counts as the preview.
    POINT cursor;
    GetCursorPos(&cursor);
    if (PtInRect(&preview, cursor)) ChooseCustomColor();
    return FALSE;
}
