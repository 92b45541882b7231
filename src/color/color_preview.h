// The colour preview, the drop-down arrow and the system colour dialog.
#pragma once
#include <windows.h>

// The colour with each of its red, green and blue bytes inverted.
COLORREF InverseColor(COLORREF color);

// The preview: filled with the text colour, its description written in the inverse colour.
void DrawColorPreview(const DRAWITEMSTRUCT* item);

// The arrow button: a scroll bar's down arrow, pushed while held or while the menu is open.
void DrawDropDownArrow(const DRAWITEMSTRUCT* item);

// Runs the colour dialog with the custom colours and applies an accepted colour.
void ChooseCustomColor();

// A double-click in the main window: opens the colour dialog when it was on the preview.
BOOL OnPreviewDoubleClick();
