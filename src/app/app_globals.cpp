#include "app.h"
#include "../tray/tray_icon.h"

HINSTANCE appInstance;
const char* commandArgs = "";
HANDLE mutexHandle;
HICON appIcon;

// Lives in a shared section, so a second start of the same executable reads the
// running instance's window from it. The section holds nothing else.
HWND sharedMainWindow __attribute__((section("ShareDat"), shared)) = nullptr;

// Both are initialised here, in one translation unit, so that the message is
// registered before the tray icon exists, whatever order the files are linked in.
UINT showWindowMessage = RegisterWindowMessageA(kInstanceName);
TrayIcon trayIcon;
