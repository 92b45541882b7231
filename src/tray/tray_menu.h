// The tray icon's menu (menu 110): show or hide the main window, transparent or opaque
// text, About, exit. Its commands go to the main window.
#pragma once
#include <windows.h>

// What the menu shows as it opens.
struct TrayMenuState {
    HWND owner;           // the main window, which gets the chosen command
    bool windowVisible;   // the first item hides the window instead of showing it
    bool textTransparent; // the check mark is on "transparent" instead of "opaque"
};

// Opens a fresh copy of menu 110 at the cursor and returns when it has closed; the chosen
// item's command reaches the owner as WM_COMMAND.
void ShowTrayMenu(const TrayMenuState& state);
