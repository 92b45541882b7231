#include "program_resources.h"

#include <string.h>

namespace {

constexpr WORD kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::string ProgramBesideThisOne() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "Quillmere.exe");
    return path;
}

} // namespace

ProgramResources::ProgramResources(const std::string& exePath)
    : module(LoadLibraryExA((exePath.empty() ? ProgramBesideThisOne() : exePath).c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE)) {}

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
