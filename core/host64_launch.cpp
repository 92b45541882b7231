#include "host64_launch.h"

#include "host64_command.h"

namespace {

// The program's window waits unanswered meanwhile. A helper still running after this ends
// by itself: its own wait for the desktop is bounded as well.
constexpr DWORD kHost64WaitMs = 5000;

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);

template <typename Function> Function Kernel32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// An x64 program runs where the machine is AMD64. On ARM64 Windows IsWow64Process calls a
// 32-bit program WOW64 as on AMD64, and only IsWow64Process2 (Windows 10 1709 on) tells
// the machine; a system without it predates ARM64 Windows that runs x64 code.
bool MachineRunsHost64() {
    const auto isWow64Process2 = Kernel32Function<IsWow64Process2Function>("IsWow64Process2");
    USHORT processMachine = 0, nativeMachine = 0;
    if (!isWow64Process2 || !isWow64Process2(GetCurrentProcess(), &processMachine, &nativeMachine))
        return true;
    return nativeMachine == IMAGE_FILE_MACHINE_AMD64;
}

// Opens a process for IsWow64Process; the limited right exists from Vista on.
HANDLE OpenForQuery(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    return process ? process : OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
}

} // namespace

bool IsViewInWiderProcess(HWND view) {
    // Looked up, not imported: systems without WOW64 lack it and would refuse the module.
    const auto isWow64 = Kernel32Function<IsWow64ProcessFunction>("IsWow64Process");
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
    // The labels stay plain there rather than fail to start the helper at every apply.
    if (!MachineRunsHost64()) return false;
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
