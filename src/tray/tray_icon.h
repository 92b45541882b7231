// The notification-area icon and the hidden window that receives its mouse messages.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <stddef.h>

// Called for every mouse message the shell reports for the icon: the icon identifier,
// the mouse message, and the user value given to TrayIcon::Add.
using TrayCallback = void (*)(WPARAM iconId, LPARAM mouseMessage, int userValue);

// The callback message that the shell sends to the hidden window.
constexpr UINT kTrayNotifyMessage = WM_USER + 122; // 1146

// The record size that ends with the 64-character tip: 152 bytes in the 32-bit program.
// Every shell that knows the notification area accepts it.
constexpr int kTrayTipSize = 64; // the tip field in characters, terminating zero included
constexpr DWORD kNotifyIconDataSize =
    offsetof(NOTIFYICONDATAW, szTip) + kTrayTipSize * sizeof(wchar_t);
static_assert(sizeof(void*) != 4 || kNotifyIconDataSize == 152, "32-bit record is 152 bytes");

// The callback and user value of the last Add that got past window creation; the hidden
// window's procedure reads them from here.
extern TrayCallback trayCallback;
extern int trayUserValue;

// Where every request to the shell goes; the tests put a recorder here.
using ShellNotifyFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
extern ShellNotifyFunction shellNotifyIcon;

class TrayIcon {
  public:
    // Releases nothing: the icon goes away through Remove, and the window lives until
    // the process ends.
    virtual ~TrayIcon();

    // Adds the icon; nonzero when the shell accepted it. The callback, user value and
    // identifier are in force even when the shell refuses, and a refused icon is asked
    // for again every 2 seconds for up to a minute, until Remove.
    BOOL Add(UINT id, HICON icon, const wchar_t* tip, TrayCallback callback, int userValue);
    // Changes only the picture. Nothing happens before the first Add.
    void SetIcon(HICON icon);
    // Takes the icon out of the notification area, ends the retries and keeps the window.
    void Remove();

    // A new taskbar has lost every icon: adds ours again if it was shown.
    void OnTaskbarCreated();
    // One more try at an icon the shell refused.
    void OnRetryTimer();

    HWND window = nullptr; // hidden window; created by the first Add, never destroyed
    UINT iconId = 0;       // the shell's identifier, from the last Add

  private:
    BOOL CreateHiddenWindow();
    BOOL AddToShell();
    bool IsInShell() const;
    BOOL AddOrRetry();
    void StopRetrying();

    // What the last Add and SetIcon gave the shell, to add the icon again after the
    // taskbar was re-created.
    bool shown = false; // an Add came after window creation, and no Remove after it
    HICON icon = nullptr;
    wchar_t tip[kTrayTipSize] = L"";
    int retriesLeft = 0; // tries left at an icon the shell refused
};

// The message that the shell sends every top-level window when a new taskbar has started.
UINT TaskbarCreatedMessage();

LRESULT CALLBACK TrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program's one tray icon, built during static initialisation.
extern TrayIcon trayIcon;
