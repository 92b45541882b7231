// The loader's count of references to a module of another process, read from that
// process's loader list. A 32-bit process cannot read a 64-bit one's list: there the
// tests ask ModuleCount.exe, a 64-bit program of their own, to read it.
#pragma once
#include <windows.h>

// The count as far as the system keeps it (Wine does); 0 when the module is not loaded,
// -1 when the list cannot be read.
int ModuleLoadCount(DWORD processId, const wchar_t* fileName);

// The same count in a 64-bit process, read directly by a 64-bit caller and through
// ModuleCount.exe in the build folder's x64 subfolder by a 32-bit one.
int ModuleLoadCount64(DWORD processId, const char* fileName);
