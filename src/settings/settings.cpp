#include "settings.h"

#include <commctrl.h>
#include <string.h>

#include "../app/app.h"
#include "../app/resource.h"
#include "../desktop/desktop_view.h"
#include "../desktop/text_style.h"
#include "../tray/tray_menu.h"
#include "autostart.h"
#include "settings_file.h"

Settings settings;

namespace {

constexpr char kCustomColorDescFormat[] = "自定义颜色:(%d,%d,%d)";
constexpr char kShowTrayIconDefault[] = "1";
constexpr char kTextStyleDefault[] = "0";
constexpr char kEmptyText[] = "";

RECT MainWindowRect() {
    RECT window;
    GetWindowRect(sharedMainWindow, &window);
    return window;
}

// The window centred on the screen's work area for the size it has now; each half is
// taken on its own, truncated toward zero.
POINT CentredPosition() {
    const RECT window = MainWindowRect();
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    return {GetSystemMetrics(SM_CXFULLSCREEN) / 2 - width / 2,
            GetSystemMetrics(SM_CYFULLSCREEN) / 2 - height / 2};
}

// The stored position; a missing entry reads as the given default.
POINT ReadStoredPosition(const char* path, POINT fallback) {
    char left[kNumberReadSize], top[kNumberReadSize];
    wsprintfA(left, "%d", static_cast<int>(fallback.x));
    wsprintfA(top, "%d", static_cast<int>(fallback.y));
    return {ReadSavedNumber(path, kLeftKey, left), ReadSavedNumber(path, kTopKey, top)};
}

void LoadTextColor(const char* path) {
    char text[kNumberReadSize];
    ReadSavedText(path, kTextColorKey, kViewTextColorText, text, kNumberReadSize);
    settings.textColor = static_cast<COLORREF>(ParseSignedDecimal(text));
    if (MeansViewTextColor(text)) {
        settings.textColor =
            static_cast<COLORREF>(SendMessageA(desktopView, LVM_GETTEXTCOLOR, 0, 0));
    }
}

void LoadTextColorDesc(const char* path) {
    char desc[kDescReadSize];
    ReadSavedText(path, kTextColorDescKey, kEmptyText, desc, kDescReadSize);
    if (desc[0]) {
        strcpy(settings.textColorDesc, desc);
    } else {
        FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
    }
}

void CheckAutoStartBox(bool checked) {
    CheckDlgButton(sharedMainWindow, IDC_AUTOSTART, checked ? BST_CHECKED : BST_UNCHECKED);
}

void DisableRestoreButton() {
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), FALSE);
}

// The first run registers the program to start with Windows, once. The box is checked
// even when the registration failed; the failure has been shown already.
void PerformFirstRunActions(const char* path) {
    SetAutoStart(true);
    CheckAutoStartBox(true);
    MarkFirstRunDone(path);
}

} // namespace

void ResetCustomColors() {
    for (COLORREF& color : settings.custColors) color = RGB(255, 255, 255);
}

void FormatCustomColorDesc(COLORREF color, char* desc) {
    // wsprintfA rather than snprintf throughout: MinGW's own printf family would add
    // some 17 KiB to a program of 40. Every text formatted here is short and bounded.
    wsprintfA(desc, kCustomColorDescFormat, GetRValue(color), GetGValue(color), GetBValue(color));
}

void LoadSettings(bool moveWindow) {
    const POINT centred = CentredPosition();
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    const POINT stored = ReadStoredPosition(path, centred);
    LoadTextColor(path);
    LoadTextColorDesc(path);
    settings.showTrayIcon = ReadSavedNumber(path, kShowTrayIconKey, kShowTrayIconDefault) != 0;
    settings.textStyle = ReadSavedNumber(path, kTextStyleKey, kTextStyleDefault);
    SyncStyleRadios();
    // Only whether the value exists counts, not where it points.
    CheckAutoStartBox(HasAutoStartValue());
    if (moveWindow) {
        SetWindowPos(sharedMainWindow, nullptr, stored.x, stored.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
    }
    ReadCustomColors(path, settings.custColors);
    if (IsFirstRun(path)) PerformFirstRunActions(path);
    SetTrayIconVisible(settings.showTrayIcon);
    DisableRestoreButton();
}

void SaveSettings() {
    // Without an initialised main window nothing was loaded, so there is nothing to keep.
    if (!sharedMainWindow) return;
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    const RECT window = MainWindowRect();
    WriteSavedSettings(path, settings, {window.left, window.top});
    DisableRestoreButton();
}
