#include "autostart.h"

#include <windows.h>
#include <string.h>

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValueName[] = "Quillmere";
// Leaves room in kRunDataSize for the quotes and " /AUTOSET".
constexpr DWORD kExePathLimit = 492;
// The size-only query of the Run value starts from this buffer size.
constexpr DWORD kRunValueQuerySize = 512;

void BuildRunData(char* data) {
    char exePath[kRunDataSize] = "";
    const DWORD length = GetModuleFileNameA(nullptr, exePath, kExePathLimit);
    exePath[length < kExePathLimit ? length : kExePathLimit - 1] = '\0';
    FormatRunData(exePath, data, kRunDataSize);
}

} // namespace

void FormatRunData(const char* exePath, char* data, size_t size) {
    constexpr char kClosingQuoteAndArgument[] = "\" /AUTOSET";
    if (size <= sizeof kClosingQuoteAndArgument) {
        if (size > 0) data[0] = '\0';
        return;
    }
    data[0] = '"';
    lstrcpynA(data + 1, exePath, static_cast<int>(size - sizeof kClosingQuoteAndArgument));
    lstrcatA(data, kClosingQuoteAndArgument);
}

bool SetAutoStart(bool enable) {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) return false;
    bool done;
    if (enable) {
        char data[kRunDataSize];
        BuildRunData(data);
        const DWORD size = static_cast<DWORD>(strlen(data) + 1);
        done = RegSetValueExA(key, kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                              size) == ERROR_SUCCESS;
    } else {
        // A value that is not there is what the user asked for; one that stays, as
        // without administrator rights, would tick the box again at the next start.
        const LONG deleted = RegDeleteValueA(key, kRunValueName);
        done = deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    RegCloseKey(key);
    return done;
}

bool HasAutoStartValue() {
    HKEY key;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) return false;
    DWORD size = kRunValueQuerySize;
    const bool exists =
        RegQueryValueExA(key, kRunValueName, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}
