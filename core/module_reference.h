// The module's reference to itself in the view's process: it keeps the code of the
// subclass loaded however the program that put it there ends.
#pragma once
#include <windows.h>

// This module's own handle, set when it is loaded.
extern HMODULE selfModule;

// Adds one reference to this module; false when that failed.
bool HoldSelf();

// Around every call of the module's window procedure: the shell runs modal loops (menus,
// drag and drop, message boxes) inside the procedure it was given, so the module's frames
// can stay on the thread's stack long after the subclass is gone.
void EnterModuleFrame();
void LeaveModuleFrame();

// Gives the reference back from a short thread of its own, once the thread that owns
// `anchor` has none of this module's frames on its stack and is back in a message loop
// (asked through another window of that thread once `anchor` is gone), or has ended.
// When that cannot be made sure, the reference is kept: a module that stays loaded does
// no harm, one unloaded under running code would crash the desktop.
void ReleaseSelfWhenIdle(HWND anchor);
