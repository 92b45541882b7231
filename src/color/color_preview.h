// The colour preview and the system colour dialog.
#pragma once
#include <windows.h>

// Runs the colour dialog with the custom colours and applies an accepted colour.
void ChooseCustomColor();

// A double-click in the main window: opens the colour dialog when it was on the preview.
BOOL OnPreviewDoubleClick();
