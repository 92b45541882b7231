// The settings record in its file beside the executable: reading and writing only.
// Showing the record in the main window is the main window's.
#pragma once
#include <windows.h>

#include "../common/settings_record.h"

// Reads colour, description, tray choice and style into the record, and returns the
// stored window position, `centred` where none is stored. A stored colour of exactly "-1"
// stands for the view's own text colour, which viewTextColor then gives.
POINT LoadSettingsRecord(POINT centred, COLORREF (*viewTextColor)());

// Reads the custom colours; a missing or damaged entry leaves them as they are.
void LoadCustomColors();

// True until the first run has been marked done; the first run registers the program to
// start with Windows.
bool FirstRunDue();
void EndFirstRun();

// Writes the window position and the record.
void SaveSettingsRecord(POINT position);
