// A recording stand-in for QuillCore.dll used by the end-to-end tests: every call of
// an export appends one line to "corecalls.log" beside this DLL.
//   apply <view handle in hex> <colour in hex> <style>
//   undo
// Loaded into the program before its first window exists, it also watches the loading
// thread's windows and logs every top-level window that becomes visible:
//   shown <class>|<title>
// Built with FAKECORE_WITHOUT_UNDO it lacks the undo export, as a damaged module would.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "../common/code_page.h"

#define FAKECORE_EXPORT extern "C" __declspec(dllexport)

void Log(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
// What each area of the program adds to the log, in files of their own.
void WatchTrayRequests();                             // fakecore_tray.cpp, once at load
void WatchMenus(const CWPRETSTRUCT* message);         // fakecore_tray.cpp
void WatchIcons(const CWPRETSTRUCT* message);         // fakecore_tray.cpp
void WatchColorMessages(const CWPRETSTRUCT* message); // fakecore_color.cpp
void WatchAboutBox(const CWPRETSTRUCT* message);      // fakecore_about.cpp

namespace {

HMODULE selfModule;

bool IsTopLevel(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

// Runs after each message sent to a window of the watched thread.
LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code != HC_ACTION) return CallNextHookEx(nullptr, code, wParam, lParam);
    WatchMenus(message);
    WatchIcons(message);
    if (message->message == WM_WINDOWPOSCHANGED && IsTopLevel(message->hwnd) &&
        (reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_SHOWWINDOW)) {
        char className[64] = "", title[128] = "";
        wchar_t wideTitle[128] = L"";
        GetClassNameA(message->hwnd, className, sizeof className);
        GetWindowTextW(message->hwnd, wideTitle, 128);
        ToNarrow(wideTitle, title, sizeof title);
        Log("shown %s|%s", className, title);
    }
    WatchColorMessages(message);
    WatchAboutBox(message);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// The path of file `name` beside this DLL; false when it does not fit.
bool BesideModule(const wchar_t* name, wchar_t (&path)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameW(selfModule, path, MAX_PATH);
    wchar_t* slash = length > 0 && length < MAX_PATH ? wcsrchr(path, L'\\') : nullptr;
    if (!slash || slash + 1 + wcslen(name) >= path + MAX_PATH) return false;
    wcscpy(slash + 1, name);
    return true;
}

// Appends one line, printf-style, to the log.
void Log(const char* format, ...) {
    char line[256];
    wchar_t path[MAX_PATH];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line - 2, format, arguments);
    va_end(arguments);
    strcat(line, "\r\n");
    if (!BesideModule(L"corecalls.log", path)) return;
    HANDLE file =
        CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        selfModule = instance;
        SetWindowsHookExA(WH_CALLWNDPROCRET, WatchWindows, nullptr, GetCurrentThreadId());
        WatchTrayRequests();
    }
    return TRUE;
}

FAKECORE_EXPORT void __cdecl Quillmere(HWND view, COLORREF textColor, int textStyle) {
    Log("apply %llx %06lx %d", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(view)),
        static_cast<unsigned long>(textColor), textStyle);
}

#ifndef FAKECORE_WITHOUT_UNDO
FAKECORE_EXPORT void __cdecl Unquillmere() {
    Log("undo");
}
#endif
