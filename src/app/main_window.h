// The main window (dialog 105): the program's controller.
#pragma once
#include <windows.h>

// Main window flags, all false when the process starts.
extern bool windowVisible; // the main window is meant to be visible
extern bool exitOnClose;   // the next WM_CLOSE ends the program instead of hiding the window
extern bool expanded;      // the advanced panel is shown

constexpr UINT_PTR kWatchdogTimerId = 0;
constexpr UINT kWatchdogIntervalMs = 3000;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void ShowMainWindow();
void HideMainWindow();
void ToggleAdvanced();
// Moves the window and folds the advanced panel away in one call: while the window is
// still hidden at the start, each SetWindowPos is a round trip to the window system.
void PlaceCollapsed(POINT place);

// The tray icon's callback: a double-click shows or hides the main window, the right
// button opens the tray menu, whose commands come back to the main window.
void OnTrayNotify(WPARAM iconId, LPARAM mouseMessage, int userValue);
