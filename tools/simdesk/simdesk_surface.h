// How SimDesktop's icon view reaches the screen and the captures: painted straight, or, with
// /alpha, onto a 32-bpp surface with per-pixel alpha that is composed over the wallpaper,
// as newer shells have the compositor show their icon view.
#pragma once
#include <windows.h>

// From now on the view paints onto a transparent 32-bpp surface (its own background drawn
// black, which is transparent there), composed with premultiplied alpha over `wallpaper`.
bool ComposeViewOverWallpaper(HWND view, COLORREF wallpaper);

// Draws the view's client area into `target` at (0, 0), composed if the view is.
void RenderView(HWND view, HDC target);
