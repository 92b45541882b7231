#include "tray_icon.h"

#include <string.h>

#include "../common/program.h"
#include "../common/message_filter.h"

TrayIcon trayIcon;
TrayCallback trayCallback;
int trayUserValue;

namespace {

constexpr wchar_t kTrayClassName[] = L"_TrayIconWnd_CLASS";
constexpr wchar_t kTrayWindowTitle[] = L"TrayIconWnd";
constexpr int kTrayWindowSize = 10;
constexpr UINT kAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// At log-on the shell may be up but too busy to take an icon, and no "TaskbarCreated"
// follows: a refused add is asked again this often, for up to a minute.
constexpr UINT_PTR kRetryTimerId = 1;
constexpr UINT kRetryIntervalMs = 2000;
constexpr int kRetryCount = 30;

// Sent by the shell to every top-level window when a new taskbar has started.
UINT taskbarCreatedMessage;

// Goes through the import table at each call, so that a test double loaded into the
// process can watch the requests too.
BOOL WINAPI CallShell(DWORD message, PNOTIFYICONDATAW data) {
    return Shell_NotifyIconW(message, data);
}

NOTIFYICONDATAW Record(HWND window, UINT id, UINT flags) {
    NOTIFYICONDATAW data = {};
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = flags;
    return data;
}

void CopyTip(wchar_t* field, const wchar_t* tip) {
    lstrcpynW(field, tip ? tip : L"", kTrayTipSize);
}

} // namespace

ShellNotifyFunction shellNotifyIcon = CallShell;

UINT TaskbarCreatedMessage() {
    return RegisterWindowMessageA("TaskbarCreated");
}

TrayIcon::~TrayIcon() {}

// A class left registered by an earlier failed window creation counts as registered:
// otherwise that one failure would make every later Add fail too.
BOOL TrayIcon::CreateHiddenWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TrayWndProc;
    windowClass.hInstance = appInstance;
    windowClass.lpszClassName = kTrayClassName;
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return FALSE;
    }
    taskbarCreatedMessage = TaskbarCreatedMessage();
    window =
        CreateWindowExW(0, kTrayClassName, kTrayWindowTitle, WS_POPUPWINDOW, 0, 0, kTrayWindowSize,
                        kTrayWindowSize, nullptr, nullptr, appInstance, nullptr);
    if (!window) return FALSE;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The shell runs unelevated; an elevated program would not hear of a new taskbar.
    LetMessageThrough(window, taskbarCreatedMessage);
    return TRUE;
}

BOOL TrayIcon::AddToShell() {
    NOTIFYICONDATAW data = Record(window, iconId, kAddFlags);
    data.uCallbackMessage = kTrayNotifyMessage;
    data.hIcon = icon;
    memcpy(data.szTip, tip, sizeof tip);
    return shellNotifyIcon(NIM_ADD, &data);
}

// An icon refused because it is there already needs no second try.
bool TrayIcon::IsInShell() const {
    NOTIFYICONDATAW data = Record(window, iconId, 0);
    return shellNotifyIcon(NIM_MODIFY, &data) != FALSE;
}

BOOL TrayIcon::AddOrRetry() {
    const BOOL added = AddToShell();
    if (added) {
        StopRetrying();
    } else {
        retriesLeft = kRetryCount;
        SetTimer(window, kRetryTimerId, kRetryIntervalMs, nullptr);
    }
    return added;
}

void TrayIcon::StopRetrying() {
    retriesLeft = 0;
    KillTimer(window, kRetryTimerId);
}

void TrayIcon::OnRetryTimer() {
    if (!shown || retriesLeft <= 0 || IsInShell() || AddToShell() || --retriesLeft == 0)
        StopRetrying();
}

BOOL TrayIcon::Add(UINT id, HICON newIcon, const wchar_t* newTip, TrayCallback callback,
                   int userValue) {
    if (!window && !CreateHiddenWindow()) return FALSE;
    trayCallback = callback;
    trayUserValue = userValue;
    iconId = id;
    icon = newIcon;
    CopyTip(tip, newTip);
    shown = true;
    return AddOrRetry();
}

void TrayIcon::SetIcon(HICON newIcon) {
    if (!window) return;
    icon = newIcon;
    NOTIFYICONDATAW data = Record(window, iconId, NIF_ICON);
    data.hIcon = newIcon;
    shellNotifyIcon(NIM_MODIFY, &data);
}

void TrayIcon::Remove() {
    if (!window) return;
    shown = false;
    StopRetrying();
    NOTIFYICONDATAW data = Record(window, iconId, 0);
    shellNotifyIcon(NIM_DELETE, &data);
}

// The new taskbar starts without any icon; one the user could see before must come back,
// or a program whose main window is hidden could no longer be reached.
void TrayIcon::OnTaskbarCreated() {
    if (window && shown) AddOrRetry();
}

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayNotifyMessage && trayCallback) {
        trayCallback(wParam, lParam, trayUserValue);
        return 0;
    }
    if (message == taskbarCreatedMessage && taskbarCreatedMessage != 0) {
        TrayIcon* tray = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (tray) tray->OnTaskbarCreated();
        return 0;
    }
    if (message == WM_TIMER && wParam == kRetryTimerId) {
        TrayIcon* tray = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (tray) tray->OnRetryTimer();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
