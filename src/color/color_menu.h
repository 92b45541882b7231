// The drop-down menu of named colours, and the owner-draw requests of the main window.
#pragma once
#include <windows.h>

// Opens the named colour menu under the arrow button; returns when it has closed.
void ShowColorMenu();

struct PaletteEntry;

// A fresh popup menu with one owner-drawn item per entry, command IDM_COLOR_FIRST + index;
// the caller destroys it.
HMENU BuildColorMenu(const PaletteEntry* entries, unsigned count);

// Makes palette entry `index` the text colour; indexes past the palette are ignored.
void SelectPaletteEntry(unsigned index);

// Size and look of one colour menu item; items of other menus are left alone.
void MeasureColorMenuItem(MEASUREITEMSTRUCT* item);
void DrawColorMenuItem(const DRAWITEMSTRUCT* item);

// WM_MEASUREITEM and WM_DRAWITEM of the main window: colour menu items, preview and arrow.
BOOL OnMeasureItem(MEASUREITEMSTRUCT* item);
BOOL OnDrawItem(DRAWITEMSTRUCT* item);
