// Showing the tray icon, and what its mouse messages do.
#pragma once
#include <windows.h>

// Adds or removes the tray icon; check box 1003 follows the wish, not the outcome.
void SetTrayIconVisible(bool show);

// The tray icon's callback: a double-click shows or hides the main window, the right
// button opens the tray menu, whose commands go to the main window.
void OnTrayNotify(WPARAM iconId, LPARAM mouseMessage, int userValue);
