#include "settings.h"

#include <commctrl.h>
#include <stdio.h>

#include "../app/app.h"
#include "../app/resource.h"
#include "../desktop/desktop_view.h"
#include "../desktop/text_style.h"
#include "../tray/tray_menu.h"

Settings settings;

namespace {

constexpr char kCustomColorDescFormat[] = "自定义颜色:(%d,%d,%d)";

void CentreMainWindow() {
    RECT window;
    GetWindowRect(sharedMainWindow, &window);
    const int x = GetSystemMetrics(SM_CXFULLSCREEN) / 2 - (window.right - window.left) / 2;
    const int y = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - (window.bottom - window.top) / 2;
    SetWindowPos(sharedMainWindow, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

} // namespace

void ResetCustomColors() {
    for (COLORREF& color : settings.custColors) color = RGB(255, 255, 255);
}

void FormatCustomColorDesc(COLORREF color, char* desc) {
    snprintf(desc, kColorDescSize, kCustomColorDescFormat, GetRValue(color), GetGValue(color),
             GetBValue(color));
}

// Until the settings file is written, every start uses the defaults of a first run,
// kept in memory only: nothing is read from or written to the disk or the registry.
void LoadSettings(bool moveWindow) {
    if (moveWindow) CentreMainWindow();
    settings.textColor = static_cast<COLORREF>(SendMessageA(desktopView, LVM_GETTEXTCOLOR, 0, 0));
    FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
    settings.showTrayIcon = true;
    settings.textStyle = StyleNormal;
    SyncStyleRadios();
    SetTrayIconVisible(settings.showTrayIcon);
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), FALSE);
}

void SaveSettings() {
    // Without an initialised main window nothing was loaded, so there is nothing to keep.
    if (!sharedMainWindow) return;
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), FALSE);
}
