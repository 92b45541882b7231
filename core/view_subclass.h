// The part of the module that runs inside the process owning the icon view: it subclasses
// the view's parent, which receives the view's custom draw notifications, and draws the
// text style under each label. Its state lives in that process only.
#pragma once
#include <windows.h>

// Attaches to `view` (or updates the attachment) with the label colour and style, and
// repaints the view. Runs on the view's thread.
void AttachToView(HWND view, COLORREF textColor, int textStyle);
