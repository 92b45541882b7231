#include "tray_menu.h"

#include "../app/app.h"
#include "../app/main_window.h"
#include "../app/resource.h"
#include "../desktop/desktop_view.h"
#include "tray_icon.h"

namespace {

constexpr UINT kTrayIconId = 0;
constexpr int kTrayUserValue = 0;
constexpr char kTrayTip[] = "Quillmere  1.4";
constexpr char kHideItemText[] = "隐藏主窗口(&H)";

void ToggleMainWindow() {
    if (windowVisible) {
        HideMainWindow();
    } else {
        ShowMainWindow();
    }
}

// The loaded copy of the menu is changed: the first item hides while the window shows,
// and the check mark follows the view's real text background.
void PrepareTrayMenu(HMENU popup) {
    if (windowVisible) {
        ModifyMenuA(popup, IDM_SHOW_WINDOW, MF_BYCOMMAND | MF_STRING, IDM_HIDE_WINDOW,
                    kHideItemText);
    }
    const UINT checkedItem = IsTextTransparent(desktopView) ? IDC_TRANSPARENT : IDC_OPAQUE;
    CheckMenuItem(popup, checkedItem, MF_BYCOMMAND | MF_CHECKED);
}

// The menu closes on a click elsewhere only while the program owns the foreground, even
// with its main window hidden. The posted WM_NULL lets the menu loop end properly, so the
// next menu does not vanish at once.
void TrackTrayMenu(HMENU popup, POINT cursor) {
    SetForegroundWindow(sharedMainWindow);
    SetMenuDefaultItem(popup, 0, TRUE);
    TrackPopupMenuEx(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, sharedMainWindow,
                     nullptr);
    PostMessageA(sharedMainWindow, WM_NULL, 0, 0);
}

// A fresh copy of menu 110 each time, destroyed whatever happened.
void ShowTrayMenu() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    HMENU menu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (popup) {
        PrepareTrayMenu(popup);
        TrackTrayMenu(popup, cursor);
    }
    if (menu) DestroyMenu(menu);
}

} // namespace

void SetTrayIconVisible(bool show) {
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), TRUE);
    if (show) {
        trayIcon.Add(kTrayIconId, appIcon, kTrayTip, OnTrayNotify, kTrayUserValue);
    } else {
        trayIcon.Remove();
    }
    CheckDlgButton(sharedMainWindow, IDC_TRAY_CHECK, show ? BST_CHECKED : BST_UNCHECKED);
}

void OnTrayNotify(WPARAM, LPARAM mouseMessage, int) {
    switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDBLCLK: ToggleMainWindow(); break;
    case WM_RBUTTONDOWN: ShowTrayMenu(); break;
    }
}
