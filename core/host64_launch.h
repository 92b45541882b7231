// The 32-bit module's way into a 64-bit shell: it cannot be loaded there, so it starts the
// 64-bit helper QuillHost64.exe from its own folder, which loads the 64-bit module there.
#pragma once
#include <windows.h>

// True when this process is 32-bit on 64-bit Windows and `view` belongs to a 64-bit
// process; false whenever that cannot be told.
bool IsViewInWiderProcess(HWND view);

// Starts QuillHost64.exe from the folder of `beside` (null: this process's program) to
// apply the colour and style to `view`, and waits for it at most 5 seconds. True when the
// helper ended in that time having applied them; nothing is shown when it did not.
bool ApplyThroughHost64(HMODULE beside, HWND view, COLORREF textColor, int textStyle);
