// The end of the program, and the end of the Windows session.
#pragma once
#include <windows.h>

// After the main window's loop: undo the effect, unload the core module, make the text
// opaque again only under Active Desktop, and give up the single-instance marker.
void ShutDown(HMODULE coreModule);

// WM_ENDSESSION. `ending` is false when the shutdown or log-off was cancelled.
BOOL OnEndSession(bool ending);
