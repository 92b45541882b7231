// QuillHost64.exe: a 64-bit program without a window that puts the 64-bit core module
// into a 64-bit shell, where the 32-bit module cannot go. The 32-bit module starts it; it
// loads QuillCore64.dll from its own folder, calls its apply export once with the view,
// colour and style of its command line (core/host64_command.h) and ends. The style stays:
// the module holds itself loaded in the shell's process, as it does when the program ends.
#include <windows.h>

#include "../core/host64_command.h"
#include "../core/icon_view.h"

namespace {

constexpr char kApplyExport[] = "Quillmere";
using ApplyFunction = void(__cdecl*)(HWND view, COLORREF textColor, int textStyle);

DWORD Apply(const Host64Request& request) {
    // By full path: never from the current folder or the search path.
    wchar_t path[MAX_PATH];
    HMODULE core = PathBesideModule(nullptr, kCore64FileName, path) ? LoadLibraryW(path) : nullptr;
    const auto apply = reinterpret_cast<ApplyFunction>(
        reinterpret_cast<void*>(core ? GetProcAddress(core, kApplyExport) : nullptr));
    if (!apply) return kHost64NoCore;
    apply(request.view, request.textColor, request.textStyle);
    return kHost64Applied;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Nobody sits at this program: a damaged module must not bring up a system error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Host64Request request;
    // Only the desktop's icon view is styled: the module would subclass the parent of any
    // window given.
    if (!ParseHost64Command(GetCommandLineW(), &request) || !IsDesktopIconView(request.view) ||
        !IsLabelColor(request.textColor))
        return kHost64BadCommand;
    return static_cast<int>(Apply(request));
}
