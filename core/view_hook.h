// The program's side of the module: it reaches the view's process through a hook on the
// view's thread, which exists only while one request is delivered.
#pragma once
#include <windows.h>

// Loads this module into the view's process with a hook on the view's thread and has
// it attach to the view with the colour and style.
void AttachThroughHook(HWND view, COLORREF textColor, int textStyle);

// Asks the copy of the module attached to the view to let go; it repaints the view and
// releases itself. Needs no hook: an attached copy holds itself loaded.
void DetachFromView(HWND view);
