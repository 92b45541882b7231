#include "simdesk_client.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

constexpr DWORD kStartWaitMs = 10000;
constexpr DWORD kPollMs = 20;
constexpr DWORD kRequestWaitMs = 60000;
constexpr DWORD kStopWaitMs = 3000;
constexpr char kDesktopTitle[] = "Program Manager";

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// The desktop window of the process once it is shown, which it is only when complete.
bool DesktopShown(DWORD processId) {
    for (HWND top = FindWindowExA(nullptr, nullptr, "Progman", nullptr); top;
         top = FindWindowExA(nullptr, top, "Progman", nullptr)) {
        char title[32] = "";
        GetWindowTextA(top, title, sizeof title);
        if (ProcessOf(top) == processId && strcmp(title, kDesktopTitle) == 0 &&
            IsWindowVisible(top))
            return true;
    }
    return false;
}

template <typename Function> Function LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

bool StartSimDesktop(const char* arguments, SimDesktopRun* run, const char* program) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    strcpy(strrchr(exe, '\\') + 1, program);
    char commandLine[MAX_PATH + 128];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", exe, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *run = SimDesktopRun{};
    if (!CreateProcessA(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &run->process))
        return false;
    const DWORD processId = run->process.dwProcessId;
    bool shown = false;
    for (DWORD waited = 0; !shown && waited < kStartWaitMs; waited += kPollMs) {
        Sleep(kPollMs);
        shown = DesktopShown(processId);
    }
    run->view = FindIconView(processId);
    return shown;
}

void StopSimDesktop(SimDesktopRun* run) {
    if (!run->process.hProcess) return;
    TerminateProcess(run->process.hProcess, 0);
    WaitForSingleObject(run->process.hProcess, kStopWaitMs);
    CloseHandle(run->process.hThread);
    CloseHandle(run->process.hProcess);
    *run = SimDesktopRun{};
}

HWND FindIconView(DWORD processId) {
    const char* const holders[] = {"Progman", "WorkerW"};
    for (const char* holder : holders) {
        for (HWND top = FindWindowExA(nullptr, nullptr, holder, nullptr); top;
             top = FindWindowExA(nullptr, top, holder, nullptr)) {
            if (ProcessOf(top) != processId) continue;
            HWND defView = FindWindowExA(top, nullptr, "SHELLDLL_DefView", nullptr);
            if (HWND view = defView ? GetDlgItem(defView, 1) : nullptr) return view;
        }
    }
    return nullptr;
}

LRESULT SendSimDesktopRequest(HWND view, SimDesktopRequest request, const void* data, DWORD size) {
    COPYDATASTRUCT copy = {request, size, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetAncestor(view, GA_ROOT), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                        SMTO_NORMAL, kRequestWaitMs, &result);
    return static_cast<LRESULT>(result);
}

bool CaptureViewToFile(HWND view, const char* path) {
    return SendSimDesktopRequest(view, kRequestCapture, path,
                                 static_cast<DWORD>(strlen(path) + 1)) != 0;
}

DWORD RepaintViewTimed(HWND view, DWORD count) {
    return static_cast<DWORD>(SendSimDesktopRequest(view, kRequestRepaint, &count, sizeof count));
}

void SetTransparentLabels(HWND view, COLORREF color) {
    SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    SendMessageA(view, LVM_SETTEXTCOLOR, 0, color);
    InvalidateRect(view, nullptr, TRUE);
}

bool LoadCore(CoreExports* core, const char* file) {
    core->module = LoadLibraryA(file);
    core->apply = LookUp<decltype(core->apply)>(core->module, "Quillmere");
    core->undo = LookUp<decltype(core->undo)>(core->module, "Unquillmere");
    return core->apply && core->undo;
}
