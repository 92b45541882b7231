#include "color_preview.h"

#include <commdlg.h>

#include "../common/settings_record.h"
#include "color_menu.h"
#include "gdi_scope.h"

#ifndef _WIN64
static_assert(sizeof(CHOOSECOLORW) == 36, "the 32-bit colour dialog record is 36 bytes");
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
    DrawTextW(dc, settings.textColorDesc, -1, &text,
              DT_SINGLELINE | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
}

void DrawDropDownArrow(const DRAWITEMSTRUCT* item) {
    UINT state = DFCS_SCROLLDOWN;
    if ((item->itemState & ODS_SELECTED) || dropDownOpen) state |= DFCS_PUSHED;
    RECT frame = item->rcItem;
    DrawFrameControl(item->hDC, &frame, DFC_SCROLL, state);
}

bool ChooseCustomColor(HWND owner) {
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.rgbResult = settings.textColor;
    dialog.lpCustColors = settings.custColors;
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorW(&dialog)) return false;
    settings.textColor = dialog.rgbResult;
    FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
    return true;
}
