#include "color_menu.h"

// The named colours are not offered yet: the menu does not open and nothing is drawn.
void ShowColorMenu() {}

void SelectPaletteEntry(unsigned) {}

BOOL OnMeasureItem(MEASUREITEMSTRUCT*) {
    return TRUE;
}

BOOL OnDrawItem(DRAWITEMSTRUCT*) {
    return TRUE;
}
