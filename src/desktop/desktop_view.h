// The shell's desktop icon view and the transparency of its icon text.
#pragma once
#include <windows.h>

// The cached desktop icon view; written only by LookUpDesktopView, null included.
extern HWND desktopView;

// Walks the top-level windows at the level of startWindow for the shell's desktop
// ("Progman" titled "Program Manager") and returns its icon list view. When the desktop
// holds none, the icon view of a top-level "WorkerW" is taken instead. Null when neither.
HWND FindDesktopView(HWND startWindow);

// Looks for the view again, since the shell may have replaced or moved it, and keeps what
// it found in desktopView, null included.
HWND LookUpDesktopView(HWND startWindow);

// True while `view` is a window inside the shell's desktop or a top-level "WorkerW"; false
// once it is gone or has been moved elsewhere.
bool IsViewOnDesktop(HWND view);

// True when the view's text background is CLR_NONE; a window that is gone counts as opaque.
bool IsTextTransparent(HWND view);

// Sets the text background of desktopView and repaints it: textColor on CLR_NONE, white
// on any other background. Without a view it does nothing.
void SetViewColors(COLORREF background, COLORREF textColor);

// Hands the view, colour and style to the core module, then makes the text transparent.
void ApplyTransparency(COLORREF textColor, int textStyle);

// ApplyTransparency at once, but only while the view's text is transparent: how every
// change of colour or style reaches the desktop.
void ApplyIfTransparent(COLORREF textColor, int textStyle);

// LookUpDesktopView, then ApplyIfTransparent on the view it found.
void LookUpAndApplyIfTransparent(HWND startWindow, COLORREF textColor, int textStyle);

// The user's last choice between transparent and opaque text: set at start-up and by the
// transparent and opaque commands. The view's own answer can be the shell's doing.
extern bool transparencyChosen;

// Where no core module could attach to hold the view's colours, the shell may put its
// opaque ones back: ApplyTransparency again while transparency is the choice and the view
// answers an opaque background.
void ReapplyIfShellTookBack(COLORREF textColor, int textStyle);

// Undoes the core module's effect, then makes the text opaque.
void RestoreOpaque();

// White text on the desktop colour.
void MakeOpaque();

// The text colour the view has now; 0 without a view.
COLORREF ViewTextColor();

// True when an "Internet Explorer_Server" window sits beside desktopView.
bool IsActiveDesktop();
