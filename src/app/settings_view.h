// The settings record as the main window shows it: the style radios, the two check boxes,
// the tray icon, the window's position and the Restore button.
#pragma once
#include <windows.h>

// Reads the settings file and shows the record: style radios, both check boxes and the
// tray icon; moves the window to the stored position and folds the advanced panel away
// when moveWindow is set (at the start, while the window is hidden). The first
// run also registers the program to start with Windows. Disables the Restore button.
void LoadSettings(bool moveWindow);

// Writes the settings and the main window's position, then disables the Restore button.
// Nothing without an initialised main window: nothing was loaded then.
void SaveSettings();

// Registers the program to start with Windows, or takes it off, and tells the user in a
// message box over the main window when Windows refused.
void SetAutoStartOrReport(bool enable);

// The code a style radio button stands for, and the radio that shows a code; any unknown
// code shows as shadow.
int StyleOfRadio(int radioId);
int RadioOfStyle(int style);

// Checks the radio of settings.textStyle and normalises an unknown code to StyleShadow.
void SyncStyleRadios();

// A click on a style radio: store its code and apply it at once while the text is
// transparent. The Restore button stays as it is.
void SelectTextStyle(int radioId);

// Adds or removes the tray icon, enables the Restore button, and sets check box 1003 to
// the wish, not the outcome.
void SetTrayIconVisible(bool show);
