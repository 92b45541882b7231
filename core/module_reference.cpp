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

// The thread whose stack may hold the module's frames, and a window of it to send to.
struct ReleaseWatch {
    HWND anchor;
    DWORD threadId;
    HANDLE thread; // SYNCHRONIZE access: signalled once the thread has ended
};

BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Another top-level window of the thread, once the anchor is gone; or null.
HWND WindowOfThread(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, TakeFirstWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool ThreadEnded(HANDLE thread) {
    return thread && WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

DWORD WINAPI ReleaseThread(LPVOID parameter) {
    ReleaseWatch watch = *static_cast<ReleaseWatch*>(parameter);
    LocalFree(parameter);
    bool release = false;
    for (DWORD waited = 0; !release && waited < kGiveUpMs; waited += kRetryMs) {
        // A thread that has ended has no stack left to hold a frame of the module.
        if (ThreadEnded(watch.thread)) {
            release = true;
            break;
        }
        if (!IsWindow(watch.anchor)) watch.anchor = WindowOfThread(watch.threadId);
        // The count is read before the round trip. The subclass is gone, so no new frame
        // can start; a message sent from another thread is handled only where the owner
        // waits for messages, so its answer comes after the last frame has returned in
        // full, epilogue included. A send that fails because its window went meanwhile
        // proves nothing and is tried again with another window.
        const bool idle = NoModuleFrames();
        DWORD_PTR ignored = 0;
        if (watch.anchor && SendMessageTimeoutW(watch.anchor, WM_NULL, 0, 0, SMTO_NORMAL,
                                                kIdleWaitMs, &ignored)) {
            release = idle;
        } else if (IsWindow(watch.anchor)) {
            break; // the thread is hung: the reference stays
        }
        if (!release) Sleep(kRetryMs);
    }
    if (watch.thread) CloseHandle(watch.thread);
    if (release) FreeLibraryAndExitThread(selfModule, 0);
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
    auto* watch = static_cast<ReleaseWatch*>(LocalAlloc(LMEM_FIXED, sizeof(ReleaseWatch)));
    if (!watch) return;
    watch->anchor = anchor;
    watch->threadId = GetWindowThreadProcessId(anchor, nullptr);
    watch->thread = OpenThread(SYNCHRONIZE, FALSE, watch->threadId);
    HANDLE thread = CreateThread(nullptr, 0, ReleaseThread, watch, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    if (watch->thread) CloseHandle(watch->thread);
    LocalFree(watch);
}
