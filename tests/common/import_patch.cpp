#include "import_patch.h"

#include <string.h>

bool ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement,
                   void** original) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
        if (!entry->OriginalFirstThunk) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
            *original = reinterpret_cast<void*>(slot->u1.Function);
            DWORD protection;
            VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), protection, &protection);
            return true;
        }
    }
    return false;
}
