#include "module_count.h"

#include <stddef.h>
#include <stdlib.h>
#include <winternl.h>

namespace {

// The start of the loader's record of one module, as Windows and Wine lay it out.
struct LoaderEntry {
    LIST_ENTRY inLoadOrder;
    LIST_ENTRY inMemoryOrder;
    LIST_ENTRY inInitializationOrder;
    void* base;
    void* entryPoint;
    ULONG imageSize;
    UNICODE_STRING fullName;
    UNICODE_STRING baseName;
    ULONG flags;
    SHORT loadCount;
};

template <typename T> bool ReadRemote(HANDLE process, const void* address, T* value) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, address, value, sizeof *value, &read) &&
           read == sizeof *value;
}

bool SameBaseName(HANDLE process, const UNICODE_STRING& name, const wchar_t* wanted) {
    wchar_t text[MAX_PATH] = L"";
    const SIZE_T bytes = name.Length < sizeof text - sizeof(wchar_t) ? name.Length : 0;
    SIZE_T read = 0;
    if (!bytes || !ReadProcessMemory(process, name.Buffer, text, bytes, &read)) return false;
    return lstrcmpiW(text, wanted) == 0;
}

} // namespace

int ModuleLoadCount(DWORD processId, const wchar_t* fileName) {
    using QueryFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!query || !process) return -1;
    int count = 0;
    PROCESS_BASIC_INFORMATION basic = {};
    PEB peb = {};
    PEB_LDR_DATA loader = {};
    if (query(process, 0, &basic, sizeof basic, nullptr) == 0 &&
        ReadRemote(process, basic.PebBaseAddress, &peb) && ReadRemote(process, peb.Ldr, &loader)) {
        // The list head sits in the remote loader data; InMemoryOrderModuleList links
        // the second field of each record.
        const BYTE* head = reinterpret_cast<const BYTE*>(peb.Ldr) +
                           offsetof(PEB_LDR_DATA, InMemoryOrderModuleList);
        const BYTE* link = reinterpret_cast<const BYTE*>(loader.InMemoryOrderModuleList.Flink);
        for (int guard = 0; link && link != head && guard < 1000; ++guard) {
            LoaderEntry entry;
            if (!ReadRemote(process, link - offsetof(LoaderEntry, inMemoryOrder), &entry)) break;
            if (SameBaseName(process, entry.baseName, fileName)) count = entry.loadCount;
            link = reinterpret_cast<const BYTE*>(entry.inMemoryOrder.Flink);
        }
    }
    CloseHandle(process);
    return count;
}

int ModuleLoadCount64(DWORD processId, const char* fileName) {
#ifdef _WIN64
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, fileName, -1, wide, MAX_PATH);
    return ModuleLoadCount(processId, wide);
#else
    char folder[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    char* name = folder + (length < MAX_PATH ? length : 0);
    while (name > folder && name[-1] != '\\') --name;
    *name = '\0';
    char command[2 * MAX_PATH];
    wsprintfA(command, "\"%sx64\\ModuleCount.exe\" %lu %s", folder, processId, fileName);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    DWORD count = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &count);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(count);
#endif
}
