#include "icon_view.h"

namespace {

constexpr int kIconViewId = 1;
constexpr int kClassNameLength = 32;

// Window classes are named without regard to letter case.
bool HasClass(HWND window, const wchar_t* name) {
    wchar_t className[kClassNameLength] = L"";
    return window && GetClassNameW(window, className, kClassNameLength) &&
           lstrcmpiW(className, name) == 0;
}

} // namespace

bool IsDesktopIconView(HWND window) {
    if (!IsWindow(window) || GetDlgCtrlID(window) != kIconViewId ||
        !HasClass(window, L"SysListView32"))
        return false;
    // GA_PARENT, unlike GetParent, never answers with the owner of a top-level window.
    if (!HasClass(GetAncestor(window, GA_PARENT), L"SHELLDLL_DefView")) return false;
    HWND top = GetAncestor(window, GA_ROOT);
    return HasClass(top, L"Progman") || HasClass(top, L"WorkerW");
}
