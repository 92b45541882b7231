// A recording stand-in for QuillCore.dll used by the end-to-end tests: every call of
// an export appends one line to "corecalls.log" beside this DLL.
//   apply <view handle in hex> <colour in hex> <style>
//   undo
// Loaded into the program before its first window exists, it also watches the loading
// thread's windows and logs every top-level window that becomes visible:
//   shown <class>|<title>
// Built with FAKECORE_WITHOUT_UNDO it lacks the undo export, as a damaged module would.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#define FAKECORE_EXPORT extern "C" __declspec(dllexport)

// What each area of the program adds to the log, in files of their own.
void WatchTrayRequests(void (*log)(const char*)); // fakecore_tray.cpp
void WatchMenus(const CWPRETSTRUCT* message);     // fakecore_tray.cpp
void WatchColorMessages(const CWPRETSTRUCT* message,
                        void (*log)(const char*));                         // fakecore_color.cpp
void WatchAboutBox(const CWPRETSTRUCT* message, void (*log)(const char*)); // fakecore_about.cpp

namespace {

HMODULE selfModule;

void LogLine(const char* line) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(selfModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = strrchr(path, '\\');
    if (!slash) return;
    strcpy(slash + 1, "corecalls.log");
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

bool IsTopLevel(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

void LogShownWindow(HWND window) {
    char className[64] = "", title[128] = "", line[224];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    snprintf(line, sizeof line, "shown %s|%s\r\n", className, title);
    LogLine(line);
}

// Runs after each message sent to a window of the watched thread.
LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION) WatchMenus(message);
    if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGED && IsTopLevel(message->hwnd)) {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
        if (pos->flags & SWP_SHOWWINDOW) LogShownWindow(message->hwnd);
    }
    if (code == HC_ACTION) WatchColorMessages(message, LogLine);
    if (code == HC_ACTION) WatchAboutBox(message, LogLine);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        selfModule = instance;
        SetWindowsHookExA(WH_CALLWNDPROCRET, WatchWindows, nullptr, GetCurrentThreadId());
        WatchTrayRequests(LogLine);
    }
    return TRUE;
}

FAKECORE_EXPORT void __cdecl Quillmere(HWND view, COLORREF textColor, int textStyle) {
    char line[96];
    snprintf(line, sizeof line, "apply %llx %06lx %d\r\n",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(view)),
             static_cast<unsigned long>(textColor), textStyle);
    LogLine(line);
}

#ifndef FAKECORE_WITHOUT_UNDO
FAKECORE_EXPORT void __cdecl Unquillmere() {
    LogLine("undo\r\n");
}
#endif
