// QuillCore.dll: the core module that draws the text style of the desktop icon labels.
//
// The icon view belongs to the shell's process. "Quillmere" gets this module into that
// process with a hook on the view's thread; there it subclasses the view's parent and
// draws the style under each label at item pre-paint. "Unquillmere" asks it to let go.
// Only values travel between the processes, in registered messages.
//
// A 32-bit module cannot be loaded into a 64-bit shell. There "Quillmere" starts the
// 64-bit helper QuillHost64.exe from this module's folder, which does the same with
// QuillCore64.dll, these sources built for x86_64. Undo needs no helper: its registered
// message reaches the 64-bit subclass as well.
#include <windows.h>

#include "host64_launch.h"
#include "icon_view.h"
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
// Anything but the desktop's icon view in a plain colour is refused and changes nothing:
// the module subclasses the parent of the window it is given.
QUILLCORE_EXPORT void __cdecl Quillmere(HWND view, COLORREF textColor, int textStyle) {
    if (!IsDesktopIconView(view) || !IsLabelColor(textColor)) return;
    ForgetGoneView();
    if (appliedView && appliedView != view) DetachFromView(appliedView);
    // Kept even when nothing could be attached: undo then asks a copy attached earlier to go.
    appliedView = view;
    if (IsViewInWiderProcess(view))
        ApplyThroughHost64(selfModule, view, textColor, textStyle);
    else
        AttachThroughHook(view, textColor, textStyle);
}

// Undo: harmless twice in a row or without an apply before it.
QUILLCORE_EXPORT void __cdecl Unquillmere() {
    ForgetGoneView();
    if (appliedView) DetachFromView(appliedView);
    appliedView = nullptr;
}
