// Tray additions to the recording core module. It watches the program's requests to the
// notification area by taking over Shell_NotifyIconW in the program's import table, and
// the popup menus that the program opens, since neither can be seen from outside:
//   shell add <id> <flags in hex> icon|noicon <tip>
//   shell modify <id> <flags in hex> icon|noicon
//   shell delete <id>
//   menu open <item count>
//   menu <position> <id> <marks> <text>   marks: c checked, d default, g grayed item,
//                                         s separator, - none
//   menu closed
//   icon tray|small|big <size>             the picture given to the shell (with NIF_ICON),
//                                         or as the window's small or big icon (WM_SETICON)
#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "../common/code_page.h"
#include "../common/import_patch.h"

void Log(const char* format, ...) __attribute__((format(gnu_printf, 1, 2))); // fakecore.cpp

namespace {

using ShellNotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
ShellNotifyFunction realShellNotify;

// The width of an icon's picture, 0 for none.
int IconSize(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Logged before the shell answers, so the line is there before anything that follows.
BOOL WINAPI RecordShellNotify(DWORD message, PNOTIFYICONDATAW data) {
    const char* picture = data->hIcon ? "icon" : "noicon";
    const unsigned id = data->uID, flags = data->uFlags;
    char tip[128];
    ToNarrow(data->szTip, tip, sizeof tip);
    switch (message) {
    case NIM_ADD: Log("shell add %u %x %s %s", id, flags, picture, tip); break;
    case NIM_MODIFY: Log("shell modify %u %x %s", id, flags, picture); break;
    case NIM_DELETE: Log("shell delete %u", id); break;
    default: Log("shell %lu", static_cast<unsigned long>(message));
    }
    if ((data->uFlags & NIF_ICON) && data->hIcon) Log("icon tray %d", IconSize(data->hIcon));
    return realShellNotify(message, data);
}

void LogMenuItem(HMENU menu, int position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    char marks[8] = "", text[128] = "";
    if (info.fState & MFS_CHECKED) strcat(marks, "c");
    if (info.fState & MFS_DEFAULT) strcat(marks, "d");
    // Separators count as grayed; only the type is of interest there.
    if (info.fType & MFT_SEPARATOR)
        strcat(marks, "s");
    else if (info.fState & MFS_GRAYED)
        strcat(marks, "g");
    if (!marks[0]) strcat(marks, "-");
    wchar_t wideText[128] = L"";
    GetMenuStringW(menu, position, wideText, 128, MF_BYPOSITION);
    ToNarrow(wideText, text, sizeof text);
    Log("menu %d %u %s %s", position, info.wID, marks, text);
}

} // namespace

// Called once when the module is loaded.
void WatchTrayRequests() {
    ReplaceImport(GetModuleHandleA(nullptr), "shell32.dll", "Shell_NotifyIconW",
                  reinterpret_cast<void*>(RecordShellNotify),
                  reinterpret_cast<void**>(&realShellNotify));
}

// Called after each message sent to a window of the program's thread.
void WatchIcons(const CWPRETSTRUCT* message) {
    if (message->message != WM_SETICON) return;
    const HICON icon = reinterpret_cast<HICON>(message->lParam);
    Log("icon %s %d", message->wParam == ICON_SMALL ? "small" : "big", IconSize(icon));
}

// Called after each message sent to a window of the program's thread.
void WatchMenus(const CWPRETSTRUCT* message) {
    if (message->message == WM_INITMENUPOPUP) {
        const HMENU menu = reinterpret_cast<HMENU>(message->wParam);
        const int count = GetMenuItemCount(menu);
        Log("menu open %d", count);
        for (int position = 0; position < count; ++position) LogMenuItem(menu, position);
    } else if (message->message == WM_EXITMENULOOP) {
        Log("menu closed");
    }
}
