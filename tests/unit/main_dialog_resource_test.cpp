#include <doctest.h>

#include "../../src/common/resource.h"
#include "expected_dialog.h"

namespace {

// Dialog 105 in template (tab) order.
const ExpectedItem kMainItems[] = {
    {IDC_COLOR_BUTTON, "BUTTON", "文字颜色(&C)...", 0x50010000, 7, 7, 68, 19},
    {IDC_DROPDOWN, "BUTTON", "▼", 0x5000000B, 75, 7, 14, 19},
    {IDC_PREVIEW, "STATIC", "", 0x50021000, 91, 7, 117, 19},
    {IDC_MAIN_BUTTON, "BUTTON", "确认设置(&O)", 0x50010001, 7, 30, 52, 19},
    {IDC_RESTORE, "BUTTON", "还原设置", 0x50010000, 61, 30, 52, 19},
    {IDC_ABOUT, "BUTTON", "关于...", 0x50010000, 115, 30, 46, 19},
    {IDC_ADVANCED, "BUTTON", "高级(&V)>>", 0x50010000, 164, 30, 44, 19},
    {IDC_COLLAPSED_MARK, "STATIC", "", 0x40000012, 7, 57, 201, 3},
    {-1, "BUTTON", "桌面文字状态(&T)", 0x50020007, 7, 61, 201, 66},
    {IDC_OPAQUE, "BUTTON", "不透明(&R)", 0x50021009, 20, 73, 88, 19},
    {IDC_TRANSPARENT, "BUTTON", "透明化(&S)", 0x50001009, 108, 73, 88, 19},
    {IDC_STYLE_NORMAL, "BUTTON", "正常字样", 0x50020009, 20, 95, 48, 10},
    {IDC_STYLE_SHADOW, "BUTTON", "阴影字", 0x50000009, 20, 112, 40, 10},
    {IDC_STYLE_EMBOSSED, "BUTTON", "浮雕字", 0x50000009, 75, 112, 40, 10},
    {IDC_STYLE_ENGRAVED, "BUTTON", "凹刻字", 0x50000009, 130, 112, 40, 10},
    {-1, "BUTTON", "选项(&O)", 0x50000007, 7, 131, 201, 36},
    {IDC_AUTOSTART, "BUTTON", "启动Windows时设置桌面文字为透明(&A)", 0x50010003, 13, 141, 185, 10},
    {IDC_TRAY_CHECK, "BUTTON", "在任务栏显示小图标(&I)", 0x50010003, 13, 153, 186, 10},
    {IDC_EXPANDED_MARK, "STATIC", "", 0x40000010, 7, 175, 196, 1},
};

} // namespace

TEST_CASE("main dialog 105 is built exactly as designed") {
    DialogTemplate dialog;
    REQUIRE(LoadDialogTemplate(IDD_MAIN, &dialog));
    CHECK(dialog.extended);
    CHECK(dialog.style == 0x10CA0040);
    CHECK(dialog.exStyle == WS_EX_CLIENTEDGE);
    CHECK(dialog.cx == 215);
    CHECK(dialog.cy == 194);
    CHECK(dialog.title == "Quillmere  1.5");
    CHECK(dialog.pointSize == 9);
    CHECK(dialog.weight == 0);
    CHECK(dialog.italic == 0);
    CHECK(dialog.charset == 1);
    CHECK(dialog.font == "宋体");

    CheckDialogItems(dialog, kMainItems);
}
