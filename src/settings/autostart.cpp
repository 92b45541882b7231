#include "autostart.h"

#include <windows.h>

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"Quillmere";
// Leaves room in kRunDataSize for the quotes and " /AUTOSET".
constexpr DWORD kExePathLimit = 492;
// The size-only query of the Run value starts from this buffer size.
constexpr DWORD kRunValueQuerySize = 512;

void BuildRunData(wchar_t* data) {
    wchar_t exePath[kRunDataSize] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, exePath, kExePathLimit);
    exePath[length < kExePathLimit ? length : kExePathLimit - 1] = '\0';
    FormatRunData(exePath, data, kRunDataSize);
}

} // namespace

void FormatRunData(const wchar_t* exePath, wchar_t* data, size_t size) {
    constexpr wchar_t kClosingQuoteAndArgument[] = L"\" /AUTOSET";
    constexpr size_t kClosingLength = sizeof kClosingQuoteAndArgument / sizeof(wchar_t);
    if (size <= kClosingLength) {
        if (size > 0) data[0] = L'\0';
        return;
    }
    data[0] = L'"';
    lstrcpynW(data + 1, exePath, static_cast<int>(size - kClosingLength));
    lstrcatW(data, kClosingQuoteAndArgument);
}

bool SetAutoStart(bool enable) {
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) return false;
    bool done;
    if (enable) {
        wchar_t data[kRunDataSize];
        BuildRunData(data);
        const DWORD size = static_cast<DWORD>((lstrlenW(data) + 1) * sizeof(wchar_t));
        done = RegSetValueExW(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                              size) == ERROR_SUCCESS;
    } else {
        // A value that is not there is what the user asked for; one that stays, as
        // without administrator rights, would tick the box again at the next start.
        const LONG deleted = RegDeleteValueW(key, kRunValueName);
        done = deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    RegCloseKey(key);
    return done;
}

bool HasAutoStartValue() {
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) return false;
    DWORD size = kRunValueQuerySize;
    const bool exists =
        RegQueryValueExW(key, kRunValueName, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}
