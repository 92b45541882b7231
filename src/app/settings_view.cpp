#include "settings_view.h"

#include "../common/resource.h"
#include "../../core/text_style.h"
#include "../desktop/desktop_view.h"
#include "../settings/autostart.h"
#include "../settings/settings.h"
#include "../tray/tray_icon.h"
#include "app.h"
#include "main_window.h"

namespace {

constexpr UINT kTrayIconId = 0;
constexpr int kTrayUserValue = 0;
constexpr wchar_t kTrayTip[] = L"Quillmere  1.4";
constexpr wchar_t kRegistryFailedText[] = L"注册表操作失败!";

struct StyleRadio {
    int style;
    int radioId;
};

constexpr StyleRadio kStyleRadios[] = {
    {StyleNormal, IDC_STYLE_NORMAL},
    {StyleShadow, IDC_STYLE_SHADOW},
    {StyleEmbossed, IDC_STYLE_EMBOSSED},
    {StyleEngraved, IDC_STYLE_ENGRAVED},
};

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

void CheckBox(int id, bool checked) {
    CheckDlgButton(sharedMainWindow, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableRestoreButton(bool enable) {
    EnableWindow(GetDlgItem(sharedMainWindow, IDC_RESTORE), enable);
}

// The first run registers the program to start with Windows, once. The box is checked
// even when the registration failed; the failure has been shown already.
void PerformFirstRunActions() {
    SetAutoStartOrReport(true);
    CheckBox(IDC_AUTOSTART, true);
    EndFirstRun();
}

} // namespace

void LoadSettings(bool moveWindow) {
    // Centred for the full height, which the window has until it is folded.
    const LoadedSettings loaded = LoadSettingsRecord(CentredPosition(), ViewTextColor);
    SyncStyleRadios();
    // Only whether the value exists counts, not where it points.
    CheckBox(IDC_AUTOSTART, HasAutoStartValue());
    if (moveWindow) PlaceCollapsed(loaded.position);
    if (loaded.firstRunDue) PerformFirstRunActions();
    SetTrayIconVisible(settings.showTrayIcon);
    EnableRestoreButton(false);
}

void SaveSettings() {
    if (!sharedMainWindow) return;
    const RECT window = MainWindowRect();
    SaveSettingsRecord({window.left, window.top});
    EnableRestoreButton(false);
}

void SetAutoStartOrReport(bool enable) {
    if (!SetAutoStart(enable))
        MessageBoxW(sharedMainWindow, kRegistryFailedText, kErrorCaption, MB_ICONERROR);
}

int StyleOfRadio(int radioId) {
    for (const StyleRadio& entry : kStyleRadios) {
        if (entry.radioId == radioId) return entry.style;
    }
    return StyleShadow;
}

int RadioOfStyle(int style) {
    for (const StyleRadio& entry : kStyleRadios) {
        if (entry.style == style) return entry.radioId;
    }
    return IDC_STYLE_SHADOW;
}

void SyncStyleRadios() {
    CheckRadioButton(sharedMainWindow, IDC_STYLE_NORMAL, IDC_STYLE_SHADOW,
                     RadioOfStyle(settings.textStyle));
    settings.textStyle = NormalizedStyle(settings.textStyle);
}

void SelectTextStyle(int radioId) {
    settings.textStyle = StyleOfRadio(radioId);
    SyncStyleRadios();
    ApplyIfTransparent(settings.textColor, settings.textStyle);
}

void SetTrayIconVisible(bool show) {
    EnableRestoreButton(true);
    if (show) {
        trayIcon.Add(kTrayIconId, appIcon, kTrayTip, OnTrayNotify, kTrayUserValue);
    } else {
        trayIcon.Remove();
    }
    CheckBox(IDC_TRAY_CHECK, show);
}
