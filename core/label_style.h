// The text styles as extra copies of an icon label, drawn under the label itself.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "text_style.h"

// One copy of the label text: moved by (dx, dy) and drawn in `color`.
struct LabelCopy {
    int dx;
    int dy;
    COLORREF color;
};

// The copies that `style` draws under a label, at most two; returns their number.
// Any code but the four known ones draws as StyleShadow.
int CopiesOfStyle(int style, LabelCopy copies[2]);

// At item pre-paint: draws the style's copies of the item's label into the custom draw DC,
// with the label's own rectangle, text, font and format, before the list view draws the
// label itself on its transparent background.
void PaintLabelCopies(const NMLVCUSTOMDRAW& draw, int style);
