// Watching a module's calls into a system DLL: its import of one function is pointed at a
// replacement. Shared by the recording core module and the tests.
#pragma once
#include <windows.h>

// Points `module`'s import of `function` from `dll` at `replacement`; the address it had
// goes to *original. False when the module does not import it by name.
bool ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement,
                   void** original);
