#include "message_filter.h"

namespace {

// Looked up rather than imported, so the program still starts on systems without it.
MessageFilterFunction LookUpMessageFilter() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return reinterpret_cast<MessageFilterFunction>(reinterpret_cast<void*>(
        user32 ? GetProcAddress(user32, "ChangeWindowMessageFilterEx") : nullptr));
}

} // namespace

MessageFilterFunction changeMessageFilter = LookUpMessageFilter();

void LetMessageThrough(HWND window, UINT message) {
    if (changeMessageFilter && window && message)
        changeMessageFilter(window, message, MSGFLT_ALLOW, nullptr);
}
