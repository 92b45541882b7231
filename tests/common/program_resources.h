// Quillmere.exe loaded as data, for reading its resources.
#pragma once
#include <windows.h>

#include <string>

class ProgramResources {
  public:
    // The executable at exePath (code page 936, code_page.h); by default the one beside the
    // test program.
    explicit ProgramResources(const std::string& exePath = "");
    ~ProgramResources();
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    // The bytes of resource `id` of `type` in the Chinese (PRC) resources, or null.
    const BYTE* Find(LPCSTR type, int id, DWORD* size = nullptr) const;

    HMODULE module;
};
