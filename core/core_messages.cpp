#include "core_messages.h"

namespace {

// Registered by name, so every copy of the module in every process gets the same numbers.
constexpr char kAttachMessageName[] = "QuillCore.AttachLabelStyle";
constexpr char kDetachMessageName[] = "QuillCore.DetachLabelStyle";

} // namespace

UINT AttachMessage() {
    static const UINT message = RegisterWindowMessageA(kAttachMessageName);
    return message;
}

UINT DetachMessage() {
    static const UINT message = RegisterWindowMessageA(kDetachMessageName);
    return message;
}
