// The colour preview, the drop-down arrow and the system colour dialog.
#pragma once
#include <windows.h>

// The colour with each of its red, green and blue bytes inverted.
COLORREF InverseColor(COLORREF color);

// The preview: filled with the text colour, its description written in the inverse colour.
void DrawColorPreview(const DRAWITEMSTRUCT* item);

// The arrow button: a scroll bar's down arrow, pushed while held or while the menu is open.
void DrawDropDownArrow(const DRAWITEMSTRUCT* item);

// Runs the colour dialog, owned by `owner`, on the custom colours. An accepted colour
// becomes the text colour, with its values as the description, even for a colour the named
// menu holds. False when the dialog was cancelled or failed: nothing changes then, but the
// custom colours keep what the dialog left in them.
bool ChooseCustomColor(HWND owner);
