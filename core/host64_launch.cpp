#include "host64_launch.h"

#include "host64_command.h"

namespace {

// The program's window waits unanswered meanwhile. A helper still running after this ends
// by itself: its own wait for the desktop is bounded as well.
constexpr DWORD kHost64WaitMs = 5000;

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);

// Opens a process for IsWow64Process; the limited right exists from Vista on.
HANDLE OpenForQuery(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    return process ? process : OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
}

} // namespace

bool IsViewInWiderProcess(HWND view) {
    // Looked up, not imported: systems without WOW64 lack it and would refuse the module.
    const auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL selfWow64 = FALSE;
    if (!isWow64 || !isWow64(GetCurrentProcess(), &selfWow64) || !selfWow64) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(view, &processId);
    HANDLE process = processId ? OpenForQuery(processId) : nullptr;
    if (!process) return false;
    BOOL viewWow64 = TRUE;
    const bool answered = isWow64(process, &viewWow64) != FALSE;
    CloseHandle(process);
    return answered && !viewWow64;
}

bool ApplyThroughHost64(HMODULE beside, HWND view, COLORREF textColor, int textStyle) {
    // A full path from this module's folder: never the current folder or the search path.
    wchar_t exe[MAX_PATH];
    if (!PathBesideModule(beside, kHost64FileName, exe)) return false;
    wchar_t commandLine[kHost64CommandLength];
    FormatHost64Command(exe, {view, textColor, textStyle}, commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    // No busy cursor for a start the user does not see, at every change of colour or style.
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION helper = {};
    if (!CreateProcessW(exe, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &helper))
        return false;
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(helper.hProcess, kHost64WaitMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(helper.hProcess, &exitCode);
    CloseHandle(helper.hThread);
    CloseHandle(helper.hProcess);
    return exitCode == kHost64Applied;
}
