#include "program_resources.h"

#include <string.h>

#include "code_page.h"

namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::string ProgramBesideThisOne() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wcscpy(wcsrchr(path, L'\\') + 1, L"Quillmere.exe");
    return Narrow(path);
}

} // namespace

ProgramResources::ProgramResources(const std::string& exePath)
    : module(LoadLibraryExW(Wide(exePath.empty() ? ProgramBesideThisOne() : exePath).c_str(),
                            nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}

ProgramResources::~ProgramResources() {
    if (module) FreeLibrary(module);
}

const BYTE* ProgramResources::Find(LPCSTR type, int id, DWORD* size) const {
    HRSRC resource =
        module ? FindResourceExA(module, type, MAKEINTRESOURCEA(id), kChinesePrc) : nullptr;
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    if (size) *size = resource ? SizeofResource(module, resource) : 0;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}
