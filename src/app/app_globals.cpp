#include "app.h"

const wchar_t* commandArgs = L"";
HANDLE mutexHandle;
HICON appIcon;

// Lives in a shared section, so a second start of the same executable reads the
// running instance's window from it. The section holds nothing else.
HWND sharedMainWindow __attribute__((section("ShareDat"), shared)) = nullptr;

UINT showWindowMessage = RegisterWindowMessageA(kInstanceName);
