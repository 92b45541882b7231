// The settings record in its file beside the executable: reading and writing only.
// Showing the record in the main window is the main window's.
#pragma once
#include <windows.h>

#include "../common/settings_record.h"

// What a load found besides the record.
struct LoadedSettings {
    POINT position;   // the stored window position
    bool firstRunDue; // the first run registers the program to start with Windows
};

// Reads colour, description, tray choice, style and the custom colours into the record,
// and returns the stored window position, `centred` where none is stored, and whether the
// first run is due. A stored colour of exactly "-1" stands for the view's own text
// colour, which viewTextColor then gives; a missing or damaged custom colours entry
// leaves those colours as they are. All is read from one working copy of the file, which
// is made and removed once per load.
LoadedSettings LoadSettingsRecord(POINT centred, COLORREF (*viewTextColor)());

// Marks the first run done.
void EndFirstRun();

// Writes the window position and the record.
void SaveSettingsRecord(POINT position);
