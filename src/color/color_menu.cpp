#include "color_menu.h"

#include "../common/dpi.h"
#include "../common/resource.h"
#include "../common/settings_record.h"
#include "gdi_scope.h"
#include "palette.h"

bool dropDownOpen;

namespace {

// At 96 DPI; every size is scaled to the window's DPI where it is used.
constexpr int kItemHeight = 15;
constexpr int kLabelOffset = 40; // the swatch and the space around it, left of the name
constexpr int kSwatchLeft = 10;
constexpr int kSwatchWidth = 20;
constexpr int kSwatchHeight = 10;
constexpr int kSwatchFrame = 1;
constexpr COLORREF kSwatchFrameColor = RGB(255, 255, 255);
// The size of NONCLIENTMETRICSW before iPaddedBorderWidth was added; every Windows
// version accepts it, and the fields read here are all within it.
constexpr UINT kNonClientMetricsSize = 500;

// The palette entry of a colour menu item, or null for any other item.
const PaletteEntry* EntryOfItem(UINT itemId) {
    const UINT index = itemId - IDM_COLOR_FIRST; // unsigned: identifiers below wrap around
    return index < kPaletteSize ? &palette[index] : nullptr;
}

// The menu font at `dpi`, created for one request; the caller deletes it. The system
// gives it at its own DPI, which a window on another monitor may not have.
HFONT CreateMenuFont(UINT dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0);
    metrics.lfMenuFont.lfHeight = SystemSizeForDpi(metrics.lfMenuFont.lfHeight, dpi);
    return CreateFontIndirectW(&metrics.lfMenuFont);
}

// The swatch: 20 x 10 at 96 DPI, 10 from the item's left edge, centred vertically.
RECT SwatchRect(const RECT& item, UINT dpi) {
    const int height = ScaleForDpi(kSwatchHeight, dpi);
    RECT swatch;
    swatch.left = item.left + ScaleForDpi(kSwatchLeft, dpi);
    swatch.right = swatch.left + ScaleForDpi(kSwatchWidth, dpi);
    swatch.top = item.top + (item.bottom - item.top - height) / 2;
    swatch.bottom = swatch.top + height;
    return swatch;
}

// A white frame, one pixel at 96 DPI, around the colour, which keeps dark colours visible
// on the menu.
void DrawSwatch(HDC dc, RECT swatch, COLORREF color, UINT dpi) {
    CreatedGdiObject frame(CreateSolidBrush(kSwatchFrameColor));
    CreatedGdiObject brush(CreateSolidBrush(color));
    FillRect(dc, &swatch, frame.Brush());
    const int frameWidth = ScaleForDpi(kSwatchFrame, dpi);
    InflateRect(&swatch, -frameWidth, -frameWidth);
    FillRect(dc, &swatch, brush.Brush());
}

} // namespace

HMENU BuildColorMenu(const PaletteEntry* entries, unsigned count) {
    HMENU menu = CreatePopupMenu();
    for (unsigned index = 0; index < count; ++index) {
        AppendMenuW(menu, MF_OWNERDRAW, IDM_COLOR_FIRST + index, nullptr);
        // A separator parts a run of system colours from the plain colours after it.
        if (index + 1 < count && entries[index].isSysColor && !entries[index + 1].isSysColor)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
    return menu;
}

void ShowColorMenu(HWND owner, HWND arrow) {
    HMENU menu = BuildColorMenu(palette, kPaletteSize);
    RECT arrowRect;
    GetWindowRect(arrow, &arrowRect);
    // The arrow stays drawn pushed for as long as the menu is open, wherever the mouse is.
    dropDownOpen = true;
    InvalidateRect(arrow, nullptr, FALSE);
    TrackPopupMenuEx(menu, TPM_VERTICAL, arrowRect.left, arrowRect.bottom, owner, nullptr);
    dropDownOpen = false;
    InvalidateRect(arrow, nullptr, FALSE);
    DestroyMenu(menu);
}

bool SelectPaletteEntry(unsigned index) {
    if (index >= kPaletteSize) return false;
    const PaletteEntry& entry = palette[index];
    settings.textColor = PaletteColor(entry);
    lstrcpynW(settings.textColorDesc, entry.name, kColorDescSize);
    return true;
}

void MeasureColorMenuItem(HWND window, MEASUREITEMSTRUCT* item, UINT dpi) {
    const PaletteEntry* entry = EntryOfItem(item->itemID);
    if (!entry) return;
    WindowDC dc(window);
    CreatedGdiObject font(CreateMenuFont(dpi));
    RECT text = {0, 0, 0, 0};
    {
        SelectedGdiObject menuFont(dc.Get(), font.Get());
        DrawTextW(dc.Get(), entry->name, -1, &text, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    }
    item->itemWidth = text.right - text.left + ScaleForDpi(kLabelOffset, dpi);
    // Fixed for the DPI, whatever the menu font: the swatch is laid out for this height.
    item->itemHeight = ScaleForDpi(kItemHeight, dpi);
}

void DrawColorMenuItem(const DRAWITEMSTRUCT* item, UINT dpi) {
    const PaletteEntry* entry = EntryOfItem(item->itemID);
    if (!entry) return;
    HDC dc = item->hDC;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    // System colour brushes belong to the system and are never deleted.
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    FillRect(dc, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    DrawSwatch(dc, SwatchRect(item->rcItem, dpi), PaletteColor(*entry), dpi);
    RECT label = item->rcItem;
    label.left += ScaleForDpi(kLabelOffset, dpi);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, entry->name, -1, &label, DT_SINGLELINE | DT_VCENTER);
}
