#include "module_reference.h"

HMODULE selfModule;

namespace {

// A desktop that does not answer in this time is treated as hung: the reference stays.
constexpr UINT kIdleWaitMs = 30000;
// While a frame of the module is on the stack, the release looks again this often, for
// at most this long; a modal loop that outlasts it keeps the reference.
constexpr DWORD kRetryMs = 100;
constexpr DWORD kGiveUpMs = 10 * 60 * 1000;

// Frames of the module's window procedure on the stack of the thread it subclasses.
volatile LONG moduleFrames;

bool NoModuleFrames() {
    return InterlockedCompareExchange(&moduleFrames, 0, 0) == 0;
}

DWORD WINAPI ReleaseThread(LPVOID parameter) {
    HWND anchor = static_cast<HWND>(parameter);
    for (DWORD waited = 0; waited < kGiveUpMs; waited += kRetryMs) {
        // The count is read before the round trip. The subclass is gone, so no new frame
        // can start; a message sent from another thread is handled only where the owner
        // waits for messages, so its answer comes after the last frame has returned in
        // full, epilogue included.
        const bool idle = NoModuleFrames();
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(anchor, WM_NULL, 0, 0, SMTO_NORMAL, kIdleWaitMs, &ignored))
            return 0;
        if (idle) FreeLibraryAndExitThread(selfModule, 0);
        Sleep(kRetryMs);
    }
    return 0;
}

} // namespace

bool HoldSelf() {
    HMODULE held = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCSTR>(&HoldSelf), &held) != FALSE;
}

void EnterModuleFrame() {
    InterlockedIncrement(&moduleFrames);
}

void LeaveModuleFrame() {
    InterlockedDecrement(&moduleFrames);
}

void ReleaseSelfWhenIdle(HWND anchor) {
    if (!anchor) return;
    HANDLE thread = CreateThread(nullptr, 0, ReleaseThread, anchor, 0, nullptr);
    if (thread) CloseHandle(thread);
}
