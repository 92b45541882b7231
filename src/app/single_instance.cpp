#include "single_instance.h"

namespace {

constexpr DWORD kPathSize = MAX_PATH * 2;

using QueryImageFunction = BOOL(WINAPI*)(HANDLE process, DWORD flags, LPWSTR path, PDWORD size);

// QueryFullProcessImageNameW exists from Vista on; older systems cannot tell.
bool QueryProcessImage(DWORD processId, wchar_t* path, DWORD size) {
    const auto query = reinterpret_cast<QueryImageFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameW")));
    if (!query) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    const bool known = query(process, 0, path, &size) != FALSE;
    CloseHandle(process);
    return known;
}

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

bool IdentityOf(const wchar_t* path, FileIdentity* identity) {
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    *identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return known;
}

// One file may go by several paths (short names, other letter case), so the files
// themselves are compared; the paths only where a file cannot be opened.
bool SameFile(const wchar_t* first, const wchar_t* second) {
    FileIdentity a, b;
    if (IdentityOf(first, &a) && IdentityOf(second, &b)) {
        return a.volume == b.volume && a.indexHigh == b.indexHigh && a.indexLow == b.indexLow;
    }
    return lstrcmpiW(first, second) == 0;
}

} // namespace

ProcessImageFunction processImagePath = QueryProcessImage;

bool IsRunningInstance(HWND window, DWORD* processId) {
    *processId = 0;
    if (!window || !IsWindow(window)) return false;
    GetWindowThreadProcessId(window, processId);
    if (!*processId) return false;
    wchar_t theirs[kPathSize] = L"";
    if (!processImagePath(*processId, theirs, kPathSize)) return true;
    wchar_t ours[kPathSize] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, ours, kPathSize);
    if (length == 0 || length >= kPathSize) return true;
    return SameFile(ours, theirs);
}
