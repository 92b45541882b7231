// The drop-down menu of named colours, and the owner-draw requests of the main window.
#pragma once
#include <windows.h>

// Opens the named colour menu under the arrow button.
void ShowColorMenu();

// Makes palette entry `index` the text colour; indexes past the palette are ignored.
void SelectPaletteEntry(unsigned index);

// WM_MEASUREITEM and WM_DRAWITEM of the main window: colour menu items, preview and arrow.
BOOL OnMeasureItem(MEASUREITEMSTRUCT* item);
BOOL OnDrawItem(DRAWITEMSTRUCT* item);
