// Messages that must reach the program even when it runs elevated and the sender does not.
#pragma once
#include <windows.h>

// The system's ChangeWindowMessageFilterEx, or null before Windows 7; the tests put a
// recorder here.
using MessageFilterFunction = BOOL(WINAPI*)(HWND window, UINT message, DWORD action,
                                            PCHANGEFILTERSTRUCT status);
extern MessageFilterFunction changeMessageFilter;

// Lets `message` reach `window` from processes of lower integrity, such as a second start
// by the user or the shell's "TaskbarCreated" broadcast. Does nothing where the system
// has no such filter, or without a window or message.
void LetMessageThrough(HWND window, UINT message);
