// Process-wide values of the application shell, set by the entry function.
#pragma once
#include <windows.h>

#include "../common/program.h"

extern const wchar_t* commandArgs; // the command line's arguments, without the program name
extern UINT showWindowMessage; // registered message: "show your main window", from a second start
extern HANDLE mutexHandle;     // single-instance marker; null once closed at session end
extern HWND sharedMainWindow;  // the main window, one value shared by every process of this exe
extern HICON appIcon;          // icon 103, null until the main window has loaded it

// Names both the single-instance mutex and the show-window message.
constexpr char kInstanceName[] = "{51157910-06A0-11d6-91CB-00002503188C}";
