// The notification-area icon and its hidden message window.
#pragma once
#include <windows.h>

class TrayIcon {
  public:
    virtual ~TrayIcon();
    BOOL Add(UINT id, HICON icon, const char* tip);
    void SetIcon(HICON icon);
    void Remove();

    HWND window = nullptr; // hidden window that receives the icon's mouse messages
    UINT iconId = 0;       // the shell's identifier of the icon
};

// The program's one tray icon, built during static initialisation.
extern TrayIcon trayIcon;
