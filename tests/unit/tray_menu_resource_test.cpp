#include <doctest.h>

#include <windows.h>
#include <string.h>

#include <string>

#include "../../src/common/resource.h"
#include "../common/program_resources.h"

namespace {

struct ExpectedItem {
    UINT id;
    const char* text; // empty for the separator
};

const ExpectedItem kTrayItems[] = {
    {IDM_SHOW_WINDOW, "显示主窗口(&M)"},
    {IDC_TRANSPARENT, "桌面文字变透明(&T)"},
    {IDC_OPAQUE, "桌面文字恢复为不透明(&R)"},
    {IDC_ABOUT, "关于(&A) ..."},
    {0, ""},
    {IDM_EXIT, "退出程序(&X)"},
};

std::string ItemText(HMENU menu, UINT position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

UINT ItemType(HMENU menu, UINT position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info.fType | info.fState;
}

} // namespace

TEST_CASE("tray menu 110 holds the two popups exactly as designed") {
    ProgramResources product;
    REQUIRE(product.module != nullptr);
    CHECK(product.Find(RT_MENU, IDR_TRAY_MENU) != nullptr);
    HMENU menu = LoadMenuA(product.module, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    REQUIRE(menu != nullptr);
    REQUIRE(GetMenuItemCount(menu) == 2);
    CHECK(ItemText(menu, 0) == "任务栏弹出式菜单");
    CHECK(ItemText(menu, 1) == "扩展(只为了有一个ID号)");

    HMENU tray = GetSubMenu(menu, 0);
    REQUIRE(tray != nullptr);
    REQUIRE(GetMenuItemCount(tray) == 6);
    for (UINT i = 0; i < 6; ++i) {
        CAPTURE(i);
        const bool separator = kTrayItems[i].id == 0;
        CHECK(((ItemType(tray, i) & MFT_SEPARATOR) != 0) == separator);
        if (separator) continue;
        CHECK(GetMenuItemID(tray, i) == kTrayItems[i].id);
        CHECK(ItemText(tray, i) == kTrayItems[i].text);
        // Enabled, unchecked and not the default: the program decides those each time.
        CHECK((ItemType(tray, i) & (MFS_CHECKED | MFS_DISABLED | MFS_DEFAULT)) == 0);
    }

    HMENU extra = GetSubMenu(menu, 1);
    REQUIRE(extra != nullptr);
    REQUIRE(GetMenuItemCount(extra) == 1);
    CHECK(GetMenuItemID(extra, 0) == IDM_HIDE_WINDOW);
    CHECK(ItemText(extra, 0) == "隐藏主窗口");
    DestroyMenu(menu);
}
