// Quillmere: makes the text under the desktop icons transparent.
// The entry point: single instance, the core module, and the main window's modal loop.
#include <windows.h>

#include "../color/color_menu.h"
#include "../common/settings_record.h"
#include "../desktop/core_module.h"
#include "app.h"
#include "command_line.h"
#include "main_window.h"
#include "../common/resource.h"
#include "session.h"
#include "single_instance.h"

namespace {

constexpr wchar_t kCoreMissingText[] =
    L"无法装载核心模块 QuillCore.dll,\n该文件可能损坏或被删除，请重新安装本软件.";

// A second start hands over to the running instance: posted, never sent, so that it
// never waits for the first one. A start with AUTOSET does nothing.
int HandOverToFirstInstance() {
    if (HasAutosetArgument(commandArgs)) return 0;
    HWND firstWindow = sharedMainWindow;
    DWORD firstProcess = 0;
    if (!IsRunningInstance(firstWindow, &firstProcess)) return 0;
    // The first instance runs in the background, and Windows lets only the foreground
    // process hand the foreground on: without this its window would open behind others.
    AllowSetForegroundWindow(firstProcess);
    PostMessageA(firstWindow, showWindowMessage, 0, 0);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    commandArgs = ArgumentsOf(GetCommandLineW());
    appInstance = instance;
    dropDownOpen = false;

    mutexHandle = CreateMutexA(nullptr, TRUE, kInstanceName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) return HandOverToFirstInstance();

    ResetCustomColors();
    HMODULE coreModule = LoadCoreModule();
    if (!coreModule) {
        MessageBoxW(nullptr, kCoreMissingText, kErrorCaption, MB_ICONERROR);
        return 0;
    }
    DialogBoxParamW(appInstance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    ShutDown(coreModule);
    return 0;
}
