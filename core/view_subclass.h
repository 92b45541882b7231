// The part of the module that runs inside the process owning the icon view: it subclasses
// the view's parent, which receives the view's custom draw notifications, draws the text
// style under each label and holds the view's text colours against the shell's resets;
// and the view itself, so that a detach reaches it wherever the view has moved. Its state
// lives in that process only.
#pragma once
#include <windows.h>

// Attaches to `view` (or updates the attachment) with the label colour and style. Runs
// on the view's thread; only a view whose parent belongs to that thread is attached.
void AttachToView(HWND view, COLORREF textColor, int textStyle);

// The text background that the attachment to `view` holds on it with the label colour,
// from the next paint on; repaints the view.
void HoldTextBackground(HWND view, COLORREF textBackground);
