// The drop-down menu of named colours.
#pragma once
#include <windows.h>

// The named colour menu is open; the arrow button is drawn pushed meanwhile.
extern bool dropDownOpen;

// Opens the named colour menu under the arrow button; the owner gets the chosen item's
// command, IDM_COLOR_FIRST + index. Returns when the menu has closed.
void ShowColorMenu(HWND owner, HWND arrow);

struct PaletteEntry;

// A fresh popup menu with one owner-drawn item per entry, command IDM_COLOR_FIRST + index;
// the caller destroys it.
HMENU BuildColorMenu(const PaletteEntry* entries, unsigned count);

// Makes palette entry `index` the text colour and its name the description. False for an
// index past the palette, which changes nothing.
bool SelectPaletteEntry(unsigned index);

// Size and look of one colour menu item at `dpi`, the DPI of the window that owns the menu,
// measured with a device context of `window`; items of other menus are left alone.
void MeasureColorMenuItem(HWND window, MEASUREITEMSTRUCT* item, UINT dpi);
void DrawColorMenuItem(const DRAWITEMSTRUCT* item, UINT dpi);
