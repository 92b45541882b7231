// The text styles as extra copies of an icon label, drawn under the label itself.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "text_style.h"

// One copy of the label text: moved by (dx, dy) copy offsets and drawn in `color`.
struct LabelCopy {
    int dx;
    int dy;
    COLORREF color;
};

// The copies that `style` draws under a label, at most two; returns their number.
// Any code but the four known ones draws as StyleShadow.
int CopiesOfStyle(int style, LabelCopy copies[2]);

// The copy offset in pixels at `dpi`: 1 at 96 DPI, in whole steps of 96 DPI above it, so
// that a copy stays as wide as a stroke of the scaled font.
int CopyOffset(int dpi);

// Draws the style's copies of `text`, laid out in `rect` with DrawText's `format` and the
// DC's font, moved by CopyOffset(dpi). Every pixel a copy changes is left fully opaque in
// the alpha channel of a 32-bpp surface, where plain GDI text would leave alpha 0. The
// bitmap it draws them through is kept for the next label until EndLabelPaint.
void DrawLabelCopies(HDC dc, const RECT& rect, const wchar_t* text, UINT format, int style,
                     int dpi);
// Deletes what the labels of a paint were drawn through and lets go of the paint's font;
// called at the end of each paint of the view, and when the view is left.
void EndLabelPaint();
// Frees the labels' images kept across paints (PaintLabelCopies draws each label's copies
// again from its kept image while nothing it depends on changed); called when the view is
// left and when the system's settings change.
void ForgetLabelImages();

// At the start of each paint of the view: looks up what holds for all its labels (the
// style, the view's DPI, the label shown whole), so that each label costs no more.
void BeginLabelPaint(HWND view, HDC dc, int style);

// A message came that may have changed a label's text (an item set, inserted, removed or
// sorted, a label edited, the parent asked for text): each label is read again before its
// kept image is used.
void DoubtKeptLabels();

// The view's parent has answered LVN_GETDISPINFOW: the list view asked it for a label's
// text, which it is about to draw. The next pre-paint of that label takes the text from
// here, while nothing else came between that could have changed it.
void NoteLabelGiven(const NMLVDISPINFOW& answer);

// At item pre-paint: draws the paint's style's copies of the item's label into the custom
// draw DC, with the label's own rectangle, text, font and format and the view's DPI,
// before the list view draws the label itself on its transparent background.
void PaintLabelCopies(const NMLVCUSTOMDRAW& draw);
