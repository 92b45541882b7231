// The core module QuillCore.dll, which draws the text styles on the desktop icon view.
#pragma once
#include <windows.h>

using CoreApplyFunction = void(__cdecl*)(HWND view, COLORREF textColor, int textStyle);
using CoreUndoFunction = void(__cdecl*)();

// The module's exports "Quillmere" (apply) and "Unquillmere" (undo); valid while it is loaded.
extern CoreApplyFunction coreApply;
extern CoreUndoFunction coreUndo;

// Loads the module from the executable's directory or the system directories, never
// from the current one, and looks up both exports. Null when either is missing.
HMODULE LoadCoreModule();

// Releases the module and forgets its exports.
void UnloadCoreModule(HMODULE module);
