#include "tray_menu.h"

#include <windows.h>

#include "../app/app.h"
#include "../app/resource.h"
#include "tray_icon.h"

void SetTrayIconVisible(bool visible) {
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), TRUE);
    if (visible) {
        trayIcon.Add(0, appIcon, "Quillmere  1.4");
    } else {
        trayIcon.Remove();
    }
    CheckDlgButton(sharedMainWindow, IDC_TRAY_CHECK, visible ? BST_CHECKED : BST_UNCHECKED);
}
