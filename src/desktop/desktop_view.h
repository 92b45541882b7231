// The shell's desktop icon view and the transparency of its icon text.
#pragma once
#include <windows.h>

// The cached desktop icon view; written only by the operations that look for it again.
extern HWND desktopView;

// Walks the top-level windows at the level of startWindow for the shell's desktop
// ("Progman" titled "Program Manager") and returns its icon list view, or null.
HWND FindDesktopView(HWND startWindow);

// True when the view's text background is CLR_NONE; a window that is gone counts as opaque.
bool IsTextTransparent(HWND view);

// Sets the text background of desktopView, the matching text colour, and repaints it.
void SetViewColors(COLORREF background);

// Hands the view, colour and style to the core module, then makes the text transparent.
void ApplyTransparency();

// Undoes the core module's effect, then gives the text the desktop colour behind it.
void RestoreOpaque();

// True when an "Internet Explorer_Server" window sits beside desktopView.
bool IsActiveDesktop();
