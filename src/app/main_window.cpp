#include "main_window.h"

#include "../about/about_dialog.h"
#include "../color/color_menu.h"
#include "../color/color_preview.h"
#include "../common/dpi.h"
#include "../common/message_filter.h"
#include "../common/resource.h"
#include "../common/settings_record.h"
#include "../desktop/desktop_view.h"
#include "../settings/autostart.h"
#include "../tray/tray_icon.h"
#include "../tray/tray_menu.h"
#include "app.h"
#include "command_line.h"
#include "session.h"
#include "settings_view.h"

bool windowVisible;
bool exitOnClose;
bool expanded;

namespace {

constexpr wchar_t kNoDesktopText[] = L"无法找到桌面,请与开发者联系";
constexpr wchar_t kConfirmCaption[] = L"确认设置(&O)";
constexpr wchar_t kExitCaption[] = L"退出程序(&X)";
constexpr wchar_t kExpandCaption[] = L"高级(&V)>>";
constexpr wchar_t kCollapseCaption[] = L"<<标准(&V)";
constexpr UINT kSysCommandMask = 0xFFF0;
// Posted to itself on a DPI change, to run once the dialog manager has rescaled the window.
constexpr UINT kAfterDpiChangeMessage = WM_APP + 1;

// The icons loaded for a DPI above 96, destroyed once others have replaced them; icon 103
// is shared by the system and never destroyed.
HICON sizedBigIcon;
HICON sizedSmallIcon;
// Sent by the shell when a new taskbar has started.
UINT taskbarCreatedMessage;

HWND Control(int id) {
    return GetDlgItem(sharedMainWindow, id);
}

// Resizes the window so that it ends at a marker control's top or bottom edge, and moves
// it to `place` in the same call when one is given.
void FitHeightToMarker(int markerId, bool toBottomEdge, const POINT* place = nullptr) {
    RECT marker, window;
    GetWindowRect(Control(markerId), &marker);
    GetWindowRect(sharedMainWindow, &window);
    const int height = (toBottomEdge ? marker.bottom : marker.top) - window.top;
    SetWindowPos(sharedMainWindow, nullptr, place ? place->x : 0, place ? place->y : 0,
                 window.right - window.left, height, SWP_NOZORDER | (place ? 0 : SWP_NOMOVE));
}

HICON LoadSizedIcon(int metric, UINT dpi) {
    const int size = SystemMetricForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(IDI_APP_SIZES), IMAGE_ICON, size, size, 0));
}

// At 96 DPI icon 103, as always. Above it the sizes that the system asks for at that DPI,
// each drawn for its size, instead of the 16-colour images stretched.
void LoadAppIcon(UINT dpi) {
    const HICON oldBig = sizedBigIcon, oldSmall = sizedSmallIcon;
    HICON bigIcon;
    if (dpi <= kBaseDpi) {
        appIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP));
        bigIcon = appIcon;
        sizedBigIcon = sizedSmallIcon = nullptr;
    } else {
        sizedBigIcon = bigIcon = LoadSizedIcon(SM_CXICON, dpi);
        sizedSmallIcon = appIcon = LoadSizedIcon(SM_CXSMICON, dpi);
    }
    SendMessageA(sharedMainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageA(sharedMainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));
    if (settings.showTrayIcon) trayIcon.SetIcon(appIcon);
    // Only now that neither the window nor the tray shows them any more.
    if (oldBig) DestroyIcon(oldBig);
    if (oldSmall) DestroyIcon(oldSmall);
}

void MakePreviewOwnerDrawn() {
    HWND preview = Control(IDC_PREVIEW);
    SetWindowLongA(preview, GWL_STYLE, GetWindowLongA(preview, GWL_STYLE) | SS_OWNERDRAW);
}

void EnableRestoreButton() {
    EnableWindow(Control(IDC_RESTORE), TRUE);
}

// The colour and style chosen now reach the desktop at once while its text is transparent.
void ApplyChoiceIfTransparent() {
    ApplyIfTransparent(settings.textColor, settings.textStyle);
}

void ApplyChoice() {
    ApplyTransparency(settings.textColor, settings.textStyle);
}

// A new colour: the preview repaints, and the view, looked up again, takes the colour
// while its text is transparent.
void ShowNewColor() {
    InvalidateRect(sharedMainWindow, nullptr, TRUE);
    LookUpAndApplyIfTransparent(sharedMainWindow, settings.textColor, settings.textStyle);
}

BOOL OnInitDialog(HWND window) {
    windowVisible = true;
    exitOnClose = true;
    if (!LookUpDesktopView(window)) {
        MessageBoxW(window, kNoDesktopText, kErrorCaption, MB_ICONERROR);
        PostQuitMessage(0);
        return TRUE;
    }
    sharedMainWindow = window;
    // Started elevated, the program would not hear a second start by the user otherwise.
    LetMessageThrough(window, showWindowMessage);
    LoadSettings(true);
    if (HasAutosetArgument(commandArgs)) {
        // Hidden before the dialog manager shows the window; the posted WM_CLOSE then
        // saves the settings once, as every confirmation does.
        HideMainWindow();
        exitOnClose = false;
        PostMessageA(sharedMainWindow, WM_CLOSE, 0, 0);
    }
    ApplyChoice();
    transparencyChosen = true;
    CheckDlgButton(window, IDC_TRANSPARENT, BST_CHECKED);
    LoadAppIcon(WindowDpi(window));
    // A new taskbar may come with a new DPI (after a log-on, say): the icons are reloaded.
    taskbarCreatedMessage = TaskbarCreatedMessage();
    LetMessageThrough(window, taskbarCreatedMessage);
    MakePreviewOwnerDrawn();
    SetTimer(sharedMainWindow, kWatchdogTimerId, kWatchdogIntervalMs, nullptr);
    // Folded already, when the settings placed the window.
    expanded = false;
    return TRUE;
}

// The main button confirms while the text is transparent and exits while it is opaque,
// whatever its caption says; only here does box 1000 reach the registry.
void ConfirmOrExit() {
    const bool autoStart = IsDlgButtonChecked(sharedMainWindow, IDC_AUTOSTART) == BST_CHECKED;
    if (IsTextTransparent(desktopView)) {
        exitOnClose = false;
        PostMessageA(sharedMainWindow, WM_CLOSE, 0, 0);
        SetAutoStartOrReport(autoStart);
    } else {
        // Before the quit message: a failure box opened after it would end at once, unseen.
        SetAutoStartOrReport(autoStart);
        PostQuitMessage(0);
        trayIcon.Remove();
    }
}

void SetMainButtonCaption(const wchar_t* caption) {
    SetWindowTextW(Control(IDC_MAIN_BUTTON), caption);
    SetFocus(Control(IDC_MAIN_BUTTON));
}

void OnStateCommand(int id) {
    LookUpDesktopView(sharedMainWindow);
    switch (id) {
    case IDC_MAIN_BUTTON: ConfirmOrExit(); break;
    case IDC_TRANSPARENT:
        ApplyChoice();
        transparencyChosen = true;
        CheckDlgButton(sharedMainWindow, IDC_TRANSPARENT, BST_CHECKED);
        CheckDlgButton(sharedMainWindow, IDC_OPAQUE, BST_UNCHECKED);
        SetMainButtonCaption(kConfirmCaption);
        break;
    case IDC_OPAQUE:
        RestoreOpaque();
        transparencyChosen = false;
        CheckDlgButton(sharedMainWindow, IDC_TRANSPARENT, BST_UNCHECKED);
        CheckDlgButton(sharedMainWindow, IDC_OPAQUE, BST_CHECKED);
        SetMainButtonCaption(kExitCaption);
        break;
    }
}

void RestoreSavedSettings() {
    if (!IsWindowEnabled(Control(IDC_RESTORE))) return;
    LoadSettings(false);
    InvalidateRect(sharedMainWindow, nullptr, TRUE);
    ApplyChoiceIfTransparent();
}

void SelectNamedColor(unsigned index) {
    EnableRestoreButton();
    if (SelectPaletteEntry(index)) ShowNewColor();
}

void ChooseColorInDialog() {
    if (!ChooseCustomColor(sharedMainWindow)) return;
    ShowNewColor();
    EnableRestoreButton();
}

void OnTrayCheckClicked() {
    settings.showTrayIcon = IsDlgButtonChecked(sharedMainWindow, IDC_TRAY_CHECK) == BST_CHECKED;
    SetTrayIconVisible(settings.showTrayIcon);
}

void ShowAboutBox() {
    AboutDialog about;
    about.DoModal(sharedMainWindow);
}

void ExitFromTray() {
    exitOnClose = true;
    PostMessageA(sharedMainWindow, WM_CLOSE, 0, 0);
}

BOOL OnCommand(WPARAM wParam) {
    if (wParam >= IDM_COLOR_FIRST && wParam <= IDM_COLOR_LAST) {
        SelectNamedColor(static_cast<unsigned>(wParam - IDM_COLOR_FIRST));
        return TRUE;
    }
    const int id = LOWORD(wParam);
    const bool clicked = HIWORD(wParam) == BN_CLICKED;
    switch (id) {
    case IDC_TRAY_CHECK:
        if (clicked) OnTrayCheckClicked();
        break;
    case IDC_AUTOSTART:
        if (clicked) EnableRestoreButton();
        break;
    case IDC_STYLE_NORMAL:
    case IDC_STYLE_EMBOSSED:
    case IDC_STYLE_ENGRAVED:
    case IDC_STYLE_SHADOW:
        if (clicked) SelectTextStyle(id);
        break;
    case IDC_MAIN_BUTTON:
    case IDC_OPAQUE:
    case IDC_TRANSPARENT: OnStateCommand(id); break;
    case IDC_ESCAPE:
    case IDC_RESTORE: RestoreSavedSettings(); break;
    case IDC_COLOR_BUTTON: ChooseColorInDialog(); break;
    case IDC_DROPDOWN: ShowColorMenu(sharedMainWindow, Control(IDC_DROPDOWN)); break;
    case IDC_ADVANCED: ToggleAdvanced(); break;
    case IDC_ABOUT: ShowAboutBox(); break;
    case IDM_SHOW_WINDOW: ShowMainWindow(); break;
    case IDM_EXIT: ExitFromTray(); break;
    case IDM_HIDE_WINDOW: HideMainWindow(); break;
    }
    return TRUE;
}

BOOL OnSysCommand(WPARAM command) {
    switch (command & kSysCommandMask) {
    case SC_CLOSE: OnStateCommand(IDC_MAIN_BUTTON); return TRUE;
    case SC_MINIMIZE: HideMainWindow(); return TRUE;
    }
    return FALSE;
}

BOOL OnClose() {
    if (!exitOnClose) {
        HideMainWindow();
        SaveSettings();
        exitOnClose = true;
        return TRUE;
    }
    KillTimer(sharedMainWindow, kWatchdogTimerId);
    PostQuitMessage(0);
    SaveSettings();
    trayIcon.Remove();
    return TRUE;
}

// The dialog manager shows the window after initialisation: while the window is meant
// to be hidden, every such show becomes a hide.
BOOL OnWindowPosChanging(WINDOWPOS* pos) {
    if (!windowVisible) {
        pos->flags &= ~SWP_SHOWWINDOW;
        pos->flags |= SWP_HIDEWINDOW;
    }
    return TRUE;
}

// The watchdog: a desktop view that is gone means the shell has restarted, one outside the
// desktop's windows that the shell has moved it; the view found then comes up transparent,
// whatever the user had chosen before. A view that stayed may have had its opaque colours
// put back by a shell the core module could not reach.
BOOL OnTimer() {
    if (IsViewOnDesktop(desktopView)) {
        ReapplyIfShellTookBack(settings.textColor, settings.textStyle);
        return FALSE;
    }
    LookUpDesktopView(sharedMainWindow);
    ApplyChoice();
    return FALSE;
}

// A double-click in the window opens the colour dialog when the cursor is on the preview,
// its sunken edge included; the message's own position is not used.
BOOL OnPreviewDoubleClick() {
    RECT preview;
    GetWindowRect(Control(IDC_PREVIEW), &preview);
    POINT cursor;
    GetCursorPos(&cursor);
    if (PtInRect(&preview, cursor)) ChooseColorInDialog();
    return FALSE;
}

// The window's DPI now: the colour menu opens on the window's monitor.
BOOL OnMeasureItem(MEASUREITEMSTRUCT* item) {
    if (item->CtlType == ODT_MENU)
        MeasureColorMenuItem(sharedMainWindow, item, WindowDpi(sharedMainWindow));
    return TRUE;
}

BOOL OnDrawItem(const DRAWITEMSTRUCT* item) {
    if (item->CtlType == ODT_MENU) {
        DrawColorMenuItem(item, WindowDpi(sharedMainWindow));
        return TRUE;
    }
    switch (item->CtlID) {
    case IDC_PREVIEW: DrawColorPreview(item); break;
    case IDC_DROPDOWN: DrawDropDownArrow(item); break;
    }
    return TRUE;
}

// Declared per-monitor aware, the window is rescaled with its controls and fonts by the
// dialog manager when the default handling follows; the program reloads its icons at the
// new DPI, and fits the height to the marker again after the rescaling, as it was fitted
// at the start. Menu items are measured anew at every opening anyway.
BOOL OnDpiChanged(WPARAM dpis) {
    LoadAppIcon(HIWORD(dpis));
    PostMessageW(sharedMainWindow, kAfterDpiChangeMessage, 0, 0);
    return FALSE;
}

BOOL AfterDpiChange() {
    if (expanded) {
        FitHeightToMarker(IDC_EXPANDED_MARK, true);
    } else {
        FitHeightToMarker(IDC_COLLAPSED_MARK, false);
    }
    return TRUE;
}

} // namespace

void PlaceCollapsed(POINT place) {
    FitHeightToMarker(IDC_COLLAPSED_MARK, false, &place);
}

void ShowMainWindow() {
    windowVisible = true;
    ShowWindow(sharedMainWindow, SW_SHOW);
    SetForegroundWindow(sharedMainWindow);
}

void HideMainWindow() {
    windowVisible = false;
    ShowWindow(sharedMainWindow, SW_HIDE);
}

void OnTrayNotify(WPARAM, LPARAM mouseMessage, int) {
    switch (LOWORD(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
        if (windowVisible) {
            HideMainWindow();
        } else {
            ShowMainWindow();
        }
        break;
    case WM_RBUTTONDOWN:
        ShowTrayMenu({sharedMainWindow, windowVisible, IsTextTransparent(desktopView)});
        break;
    }
}

void ToggleAdvanced() {
    if (expanded) {
        FitHeightToMarker(IDC_COLLAPSED_MARK, false);
        expanded = false;
        SetWindowTextW(Control(IDC_ADVANCED), kExpandCaption);
    } else {
        FitHeightToMarker(IDC_EXPANDED_MARK, true);
        expanded = true;
        SetWindowTextW(Control(IDC_ADVANCED), kCollapseCaption);
    }
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_CLOSE:
    case WM_DESTROY: return OnClose();
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_TIMER: return OnTimer();
    case WM_LBUTTONDBLCLK: return OnPreviewDoubleClick();
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM: return OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_ENDSESSION: return OnEndSession(wParam != FALSE);
    case WM_DPICHANGED: return OnDpiChanged(wParam);
    case kAfterDpiChangeMessage: return AfterDpiChange();
    }
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        LoadAppIcon(WindowDpi(window));
        return FALSE;
    }
    if (message == showWindowMessage && showWindowMessage != 0) {
        ShowMainWindow();
        return TRUE;
    }
    return FALSE;
}
