#include "tray_icon.h"

// The icon does not reach the notification area yet: every operation sends nothing.
TrayIcon::~TrayIcon() {}

BOOL TrayIcon::Add(UINT id, HICON, const char*) {
    iconId = id;
    return FALSE;
}

void TrayIcon::SetIcon(HICON) {}

void TrayIcon::Remove() {}
