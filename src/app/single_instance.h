// A second start hands over to the running instance through the shared main window value.
#pragma once
#include <windows.h>

// Reads the executable file of a process into path (size characters); false when the system cannot
// tell. The tests put a stand-in here.
using ProcessImageFunction = bool (*)(DWORD processId, wchar_t* path, DWORD size);
extern ProcessImageFunction processImagePath;

// True when `window`, read from the shared value, is a live window of a process that runs
// this same executable, or of one whose executable the system cannot tell; its process
// goes to *processId. The value is shared by every session and user of the machine, so a
// stale or foreign one must never receive the show message.
bool IsRunningInstance(HWND window, DWORD* processId);
