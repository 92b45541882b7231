#include "simdesk_client.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "simdesk_requests.h"

namespace {

constexpr DWORD kStartWaitMs = 10000;
constexpr DWORD kPollMs = 50;
constexpr DWORD kRequestWaitMs = 60000;
constexpr DWORD kStopWaitMs = 3000;

struct ViewSearch {
    DWORD processId;
    HWND view;
};

BOOL CALLBACK FindViewOfProcess(HWND window, LPARAM lParam) {
    ViewSearch* search = reinterpret_cast<ViewSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (processId != search->processId || strcmp(className, "Progman") != 0) return TRUE;
    HWND defView = FindWindowExA(window, nullptr, "SHELLDLL_DefView", nullptr);
    search->view = defView ? GetDlgItem(defView, 1) : nullptr;
    return search->view ? FALSE : TRUE;
}

LRESULT SendRequest(HWND view, SimDesktopRequest request, const void* data, DWORD size) {
    COPYDATASTRUCT copy = {request, size, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetAncestor(view, GA_ROOT), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                        SMTO_NORMAL, kRequestWaitMs, &result);
    return static_cast<LRESULT>(result);
}

template <typename Function> Function LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

bool StartSimDesktop(const char* arguments, SimDesktopRun* run) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    strcpy(strrchr(exe, '\\') + 1, "SimDesktop.exe");
    char commandLine[MAX_PATH + 128];
    snprintf(commandLine, sizeof commandLine, "\"%s\" %s", exe, arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *run = SimDesktopRun{};
    if (!CreateProcessA(exe, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &run->process))
        return false;
    ViewSearch search = {run->process.dwProcessId, nullptr};
    for (DWORD waited = 0; !search.view && waited < kStartWaitMs; waited += kPollMs) {
        Sleep(kPollMs);
        EnumWindows(FindViewOfProcess, reinterpret_cast<LPARAM>(&search));
    }
    run->view = search.view;
    return run->view != nullptr;
}

void StopSimDesktop(SimDesktopRun* run) {
    if (!run->process.hProcess) return;
    TerminateProcess(run->process.hProcess, 0);
    WaitForSingleObject(run->process.hProcess, kStopWaitMs);
    CloseHandle(run->process.hThread);
    CloseHandle(run->process.hProcess);
    *run = SimDesktopRun{};
}

bool CaptureViewToFile(HWND view, const char* path) {
    return SendRequest(view, kRequestCapture, path, static_cast<DWORD>(strlen(path) + 1)) != 0;
}

DWORD RepaintViewTimed(HWND view, DWORD count) {
    return static_cast<DWORD>(SendRequest(view, kRequestRepaint, &count, sizeof count));
}

void SetTransparentLabels(HWND view, COLORREF color) {
    SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    SendMessageA(view, LVM_SETTEXTCOLOR, 0, color);
}

bool LoadCore(CoreExports* core) {
    core->module = LoadLibraryA("QuillCore.dll");
    core->apply = LookUp<decltype(core->apply)>(core->module, "Quillmere");
    core->undo = LookUp<decltype(core->undo)>(core->module, "Unquillmere");
    return core->apply && core->undo;
}
