// Template part of harness.h.
#pragma once

void PumpMessages();

template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return condition();
        PumpMessages();
        Sleep(20);
    }
}
