// Tray additions to the recording core module. It watches the program's requests to the
// notification area by taking over Shell_NotifyIconA in the program's import table, and
// the popup menus that the program opens, since neither can be seen from outside:
//   shell add <id> <flags in hex> icon|noicon <tip>
//   shell modify <id> <flags in hex> icon|noicon
//   shell delete <id>
//   menu open <item count>
//   menu <position> <id> <marks> <text>   marks: c checked, d default, g grayed item,
//                                         s separator, - none
//   menu closed
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "../common/import_patch.h"

namespace {

using LogFunction = void (*)(const char*);
using ShellNotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);

LogFunction logLine;
ShellNotifyFunction realShellNotify;

void LogShellRequest(DWORD message, const NOTIFYICONDATAA* data) {
    char line[160];
    const char* picture = data->hIcon ? "icon" : "noicon";
    const unsigned id = data->uID, flags = data->uFlags;
    switch (message) {
    case NIM_ADD:
        snprintf(line, sizeof line, "shell add %u %x %s %s\r\n", id, flags, picture, data->szTip);
        break;
    case NIM_MODIFY:
        snprintf(line, sizeof line, "shell modify %u %x %s\r\n", id, flags, picture);
        break;
    case NIM_DELETE: snprintf(line, sizeof line, "shell delete %u\r\n", id); break;
    default: snprintf(line, sizeof line, "shell %lu\r\n", static_cast<unsigned long>(message));
    }
    logLine(line);
}

// Logged before the shell answers, so the line is there before anything that follows.
BOOL WINAPI RecordShellNotify(DWORD message, PNOTIFYICONDATAA data) {
    LogShellRequest(message, data);
    return realShellNotify(message, data);
}

void LogMenuItem(HMENU menu, int position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    char marks[8] = "", text[128] = "", line[192];
    if (info.fState & MFS_CHECKED) strcat(marks, "c");
    if (info.fState & MFS_DEFAULT) strcat(marks, "d");
    // Separators count as grayed; only the type is of interest there.
    if (info.fType & MFT_SEPARATOR)
        strcat(marks, "s");
    else if (info.fState & MFS_GRAYED)
        strcat(marks, "g");
    if (!marks[0]) strcat(marks, "-");
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    snprintf(line, sizeof line, "menu %d %u %s %s\r\n", position, info.wID, marks, text);
    logLine(line);
}

void LogMenu(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    char line[48];
    snprintf(line, sizeof line, "menu open %d\r\n", count);
    logLine(line);
    for (int position = 0; position < count; ++position) LogMenuItem(menu, position);
}

} // namespace

// Called once when the module is loaded, with the module's line writer.
void WatchTrayRequests(LogFunction log) {
    logLine = log;
    ReplaceImport(GetModuleHandleA(nullptr), "shell32.dll", "Shell_NotifyIconA",
                  reinterpret_cast<void*>(RecordShellNotify),
                  reinterpret_cast<void**>(&realShellNotify));
}

// Called after each message sent to a window of the program's thread.
void WatchMenus(const CWPRETSTRUCT* message) {
    if (!logLine) return;
    if (message->message == WM_INITMENUPOPUP) {
        LogMenu(reinterpret_cast<HMENU>(message->wParam));
    } else if (message->message == WM_EXITMENULOOP) {
        logLine("menu closed\r\n");
    }
}
