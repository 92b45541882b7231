#include "view_hook.h"

#include <commctrl.h>

#include "core_messages.h"
#include "module_reference.h"
#include "view_subclass.h"

namespace {

// A desktop that does not handle a request in this time is left alone.
constexpr UINT kRequestWaitMs = 5000;

// Runs on the view's thread, in the view's process, before each message sent there.
LRESULT CALLBACK ViewThreadHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (IsCoreMessage(message->message, AttachMessage())) {
            AttachToView(message->hwnd, static_cast<COLORREF>(message->wParam),
                         static_cast<int>(message->lParam));
        } else if (IsCoreMessage(message->message, BackgroundMessage())) {
            HoldTextBackground(message->hwnd, static_cast<COLORREF>(message->wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SendRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                        kRequestWaitMs, &ignored);
}

} // namespace

void AttachThroughHook(HWND view, COLORREF textColor, int textStyle) {
    if (!CoreMessagesRegistered()) return;
    const DWORD thread = GetWindowThreadProcessId(view, nullptr);
    if (!thread) return;
    // Fails for a view in a process of the other bitness: that view stays plain.
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, ViewThreadHook, selfModule, thread);
    if (!hook) return;
    // The style code travels as a signed value in lParam. While the effect is applied the
    // labels are transparent: that is the background the attached copy holds.
    SendRequest(view, AttachMessage(), textColor, static_cast<LPARAM>(textStyle));
    SendRequest(view, BackgroundMessage(), CLR_NONE, 0);
    UnhookWindowsHookEx(hook);
}

void DetachFromView(HWND view) {
    if (!CoreMessagesRegistered()) return;
    // The view answers wherever the shell has moved it; its parent still answers for a copy
    // of the module that subclassed only the parent.
    HWND parent = GetParent(view);
    SendRequest(view, DetachMessage(), 0, 0);
    if (parent) SendRequest(parent, DetachMessage(), 0, 0);
}
