#include "module_reference.h"

HMODULE selfModule;

namespace {

// A desktop that does not answer in this time is treated as hung: the reference stays.
constexpr UINT kIdleWaitMs = 30000;

DWORD WINAPI ReleaseThread(LPVOID parameter) {
    HWND anchor = static_cast<HWND>(parameter);
    DWORD_PTR ignored = 0;
    // A message sent from another thread is handled only when the owner waits for
    // messages, which it never does inside this module.
    if (SendMessageTimeoutA(anchor, WM_NULL, 0, 0, SMTO_NORMAL, kIdleWaitMs, &ignored)) {
        FreeLibraryAndExitThread(selfModule, 0);
    }
    return 0;
}

} // namespace

bool HoldSelf() {
    HMODULE held = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCSTR>(&HoldSelf), &held) != FALSE;
}

void ReleaseSelfWhenIdle(HWND anchor) {
    if (!anchor) return;
    HANDLE thread = CreateThread(nullptr, 0, ReleaseThread, anchor, 0, nullptr);
    if (thread) CloseHandle(thread);
}
