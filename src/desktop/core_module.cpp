#include "core_module.h"

CoreApplyFunction coreApply;
CoreUndoFunction coreUndo;

namespace {

constexpr wchar_t kCoreModuleName[] = L"QuillCore.dll";
constexpr char kApplyExport[] = "Quillmere";
constexpr char kUndoExport[] = "Unquillmere";

HMODULE LoadFromSafeDirectories() {
    // The current directory may be anyone's: a DLL planted there must never load.
    HMODULE module = LoadLibraryExW(kCoreModuleName, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // Systems without the search flags: take the current directory out of the search.
    SetDllDirectoryW(L"");
    return LoadLibraryW(kCoreModuleName);
}

template <typename Function> Function LookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

HMODULE LoadCoreModule() {
    HMODULE module = LoadFromSafeDirectories();
    if (!module) return nullptr;
    coreUndo = LookUp<CoreUndoFunction>(module, kUndoExport);
    coreApply = LookUp<CoreApplyFunction>(module, kApplyExport);
    if (coreUndo && coreApply) return module;
    UnloadCoreModule(module);
    return nullptr;
}

void UnloadCoreModule(HMODULE module) {
    coreApply = nullptr;
    coreUndo = nullptr;
    FreeLibrary(module);
}
