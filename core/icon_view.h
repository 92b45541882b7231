// What the module accepts to style: only the desktop's icon view, in a label colour. The
// 32-bit module's apply and QuillHost64.exe both check a request with these before it
// changes anything, since the module subclasses the parent of the window it is given.
#pragma once
#include <windows.h>

// A list view with control id 1 whose parent is "SHELLDLL_DefView" and whose top-level
// window is "Progman" or "WorkerW": the desktop's icon view in every tree the shell builds.
bool IsDesktopIconView(HWND window);

// A plain RGB colour, 0x00BBGGRR; palette and special values are refused.
inline bool IsLabelColor(COLORREF color) {
    return color <= 0x00FFFFFF;
}
