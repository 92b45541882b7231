#include "core_messages.h"

namespace {

// Registered by name, so every copy of the module in every process gets the same numbers.
constexpr char kAttachMessageName[] = "QuillCore.AttachLabelStyle";
constexpr char kDetachMessageName[] = "QuillCore.DetachLabelStyle";

} // namespace

// Asked afresh each time: the answer never changes, and a function-local static would
// pull the C++ run time's thread-safe initialisation (and its exception support, some
// 100 KiB) into the module.
UINT AttachMessage() {
    return RegisterWindowMessageA(kAttachMessageName);
}

UINT DetachMessage() {
    return RegisterWindowMessageA(kDetachMessageName);
}
