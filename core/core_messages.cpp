#include "core_messages.h"

namespace {

// Registered by name, so every copy of the module in every process gets the same numbers.
constexpr char kAttachMessageName[] = "QuillCore.AttachLabelStyle";
constexpr char kBackgroundMessageName[] = "QuillCore.HoldLabelBackground";
constexpr char kDetachMessageName[] = "QuillCore.DetachLabelStyle";

// Registered on first use and kept: every message the shell's windows receive is compared
// with the detach message. Plain zero-initialised variables rather than function-local
// statics, which would pull the C++ run time's thread-safe initialisation (and its
// exception support, some 100 KiB) into the module. Two threads that meet here store
// the same number.
UINT attachMessage;
UINT backgroundMessage;
UINT detachMessage;

UINT Registered(UINT* message, const char* name) {
    if (!*message) *message = RegisterWindowMessageA(name);
    return *message;
}

} // namespace

bool CoreMessagesRegistered() {
    return AttachMessage() && BackgroundMessage() && DetachMessage();
}

UINT AttachMessage() {
    return Registered(&attachMessage, kAttachMessageName);
}

UINT BackgroundMessage() {
    return Registered(&backgroundMessage, kBackgroundMessageName);
}

UINT DetachMessage() {
    return Registered(&detachMessage, kDetachMessageName);
}
