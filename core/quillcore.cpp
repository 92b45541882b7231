// QuillCore.dll: the core module that draws the text style of the desktop icon labels.
//
// The icon view belongs to the shell's process. "Quillmere" gets this module into that
// process with a hook on the view's thread; there it subclasses the view's parent and
// draws the style under each label at item pre-paint. "Unquillmere" asks it to let go.
// Only values travel between the processes, in registered messages.
#include <windows.h>

#include "module_reference.h"
#include "view_hook.h"

#define QUILLCORE_EXPORT extern "C" __declspec(dllexport)

namespace {

// In the program's process: the view of the latest apply, to be detached by undo.
HWND appliedView;

// A view that no longer exists (the shell restarted) is simply forgotten.
void ForgetGoneView() {
    if (appliedView && !IsWindow(appliedView)) appliedView = nullptr;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        selfModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// Apply: may come again and again without undo in between; the latest call is in force.
QUILLCORE_EXPORT void __cdecl Quillmere(HWND view, COLORREF textColor, int textStyle) {
    if (!view) return;
    ForgetGoneView();
    if (appliedView && appliedView != view) DetachFromView(appliedView);
    appliedView = IsWindow(view) ? view : nullptr;
    // Kept even when no hook could be set: undo then asks a copy attached earlier to go.
    if (appliedView) AttachThroughHook(view, textColor, textStyle);
}

// Undo: harmless twice in a row or without an apply before it.
QUILLCORE_EXPORT void __cdecl Unquillmere() {
    ForgetGoneView();
    if (appliedView) DetachFromView(appliedView);
    appliedView = nullptr;
}
