#include "tray_menu.h"

#include "../common/program.h"
#include "../common/resource.h"

namespace {

constexpr wchar_t kHideItemText[] = L"隐藏主窗口(&H)";

// The loaded copy of the menu is changed: the first item hides while the window shows,
// and the check mark follows the view's real text background.
void PrepareTrayMenu(HMENU popup, const TrayMenuState& state) {
    if (state.windowVisible) {
        ModifyMenuW(popup, IDM_SHOW_WINDOW, MF_BYCOMMAND | MF_STRING, IDM_HIDE_WINDOW,
                    kHideItemText);
    }
    const UINT checkedItem = state.textTransparent ? IDC_TRANSPARENT : IDC_OPAQUE;
    CheckMenuItem(popup, checkedItem, MF_BYCOMMAND | MF_CHECKED);
}

// The menu closes on a click elsewhere only while the program owns the foreground, even
// with its main window hidden. The posted WM_NULL lets the menu loop end properly, so the
// next menu does not vanish at once.
void TrackTrayMenu(HMENU popup, HWND owner, POINT cursor) {
    SetForegroundWindow(owner);
    SetMenuDefaultItem(popup, 0, TRUE);
    TrackPopupMenuEx(popup, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
}

} // namespace

// A fresh copy of menu 110 each time, destroyed whatever happened.
void ShowTrayMenu(const TrayMenuState& state) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    HMENU menu = LoadMenuW(appInstance, MAKEINTRESOURCEW(IDR_TRAY_MENU));
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (popup) {
        PrepareTrayMenu(popup, state);
        TrackTrayMenu(popup, state.owner, cursor);
    }
    if (menu) DestroyMenu(menu);
}
