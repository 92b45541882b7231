// The colour preview, the drop-down arrow, and the GDI objects of every draw request.
#include <doctest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "../../src/app/main_window.h"
#include "../../src/color/color_menu.h"
#include "../../src/color/color_preview.h"
#include "../../src/common/resource.h"
#include "../../src/common/settings_record.h"
#include "../common/canvas.h"
#include "../common/code_page.h"
#include "test_windows.h"

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr int kPreviewWidth = 160;
constexpr int kPreviewHeight = 30;
constexpr int kArrowWidth = 21;
constexpr int kArrowHeight = 31;

void DrawPreview(Canvas& canvas, COLORREF color, const char* description) {
    settings.textColor = color;
    ToWide(description, settings.textColorDesc, kColorDescSize);
    DRAWITEMSTRUCT item =
        DrawRequest(canvas, ODT_STATIC, IDC_PREVIEW, {0, 0, canvas.Width(), canvas.Height()});
    DrawColorPreview(&item);
}

struct ArrowCanvas : Canvas {
    ArrowCanvas() : Canvas(kArrowWidth, kArrowHeight, kUntouched) {}
};

void DrawArrow(Canvas& canvas, UINT state) {
    DRAWITEMSTRUCT item =
        DrawRequest(canvas, ODT_BUTTON, IDC_DROPDOWN, {0, 0, kArrowWidth, kArrowHeight}, state);
    DrawDropDownArrow(&item);
}

// The bounding box of the pixels that are not the fill colour.
RECT InkBounds(const Canvas& canvas, COLORREF fill) {
    RECT box = {canvas.Width(), canvas.Height(), -1, -1};
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) == fill) continue;
            if (x < box.left) box.left = x;
            if (y < box.top) box.top = y;
            if (x > box.right) box.right = x;
            if (y > box.bottom) box.bottom = y;
        }
    return box;
}

bool Between(int value, int a, int b) {
    return (value >= a && value <= b) || (value >= b && value <= a);
}

// Every pixel is the fill, the text colour or, where the font smooths its edges, a blend
// of the two.
bool OnlyFillAndText(const Canvas& canvas, COLORREF fill, COLORREF text) {
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const COLORREF pixel = canvas.Pixel(x, y);
            if (!Between(GetRValue(pixel), GetRValue(fill), GetRValue(text)) ||
                !Between(GetGValue(pixel), GetGValue(fill), GetGValue(text)) ||
                !Between(GetBValue(pixel), GetBValue(fill), GetBValue(text)))
                return false;
        }
    return true;
}

} // namespace

TEST_CASE("the inverse colour inverts red, green and blue and clears the high byte") {
    CHECK(InverseColor(RGB(255, 255, 255)) == RGB(0, 0, 0));
    CHECK(InverseColor(RGB(0, 0, 0)) == RGB(255, 255, 255));
    CHECK(InverseColor(RGB(127, 127, 127)) == RGB(128, 128, 128));
    CHECK(InverseColor(RGB(255, 104, 32)) == RGB(0, 151, 223));
    CHECK(InverseColor(0x02123456) == 0x00EDCBA9);
}

TEST_CASE("the preview is filled with the colour and names it in the inverse colour") {
    Canvas canvas(kPreviewWidth, kPreviewHeight, kUntouched);
    struct Case {
        COLORREF fill, text;
        const char* description;
    };
    const Case cases[] = {
        {RGB(255, 255, 255), RGB(0, 0, 0), "白色"},
        {RGB(0, 0, 0), RGB(255, 255, 255), "黑色"},
        {RGB(127, 127, 127), RGB(128, 128, 128), "灰色50%"},
        {RGB(255, 128, 0), RGB(0, 127, 255), "自定义颜色:(255,128,0)"},
    };
    for (const Case& c : cases) {
        const std::string description = c.description;
        CAPTURE(description);
        DrawPreview(canvas, c.fill, c.description);
        CHECK(canvas.Pixel(0, 0) == c.fill);
        CHECK(canvas.Pixel(kPreviewWidth - 1, kPreviewHeight - 1) == c.fill);
        CHECK(OnlyFillAndText(canvas, c.fill, c.text));
        CHECK(canvas.Count({0, 0, kPreviewWidth, kPreviewHeight}, c.text) > 10);
        // One line, centred both ways.
        const RECT ink = InkBounds(canvas, c.fill);
        CHECK(abs(ink.left - (kPreviewWidth - 1 - ink.right)) <= 2);
        CHECK(abs(ink.top - (kPreviewHeight - 1 - ink.bottom)) <= 3);
        CHECK(ink.bottom - ink.top < kPreviewHeight / 2 + 4);
    }
}

TEST_CASE("the arrow is drawn pushed while held down or while the menu is open") {
    ArrowCanvas normal, held, open, focused, reference, after;
    ScopedSet<bool> closed(dropDownOpen, false);
    DrawArrow(normal, 0);
    DrawArrow(held, ODS_SELECTED);
    DrawArrow(focused, ODS_FOCUS);
    dropDownOpen = true;
    DrawArrow(open, 0);
    dropDownOpen = false;

    CHECK(normal.Count({0, 0, kArrowWidth, kArrowHeight}, kUntouched) == 0);
    CHECK_FALSE(normal.SameAs(held));
    CHECK(open.SameAs(held));
    CHECK(focused.SameAs(normal)); // no focus rectangle
    // The scroll bar's down arrow, and nothing else.
    RECT all = {0, 0, kArrowWidth, kArrowHeight};
    DrawFrameControl(reference.Dc(), &all, DFC_SCROLL, DFCS_SCROLLDOWN);
    CHECK(normal.SameAs(reference));
    DrawArrow(after, 0);
    CHECK(after.SameAs(normal));
}

TEST_CASE("of its controls the main window draws the preview and the arrow, and no other") {
    MainWindowStandIn main;
    Canvas canvas(kPreviewWidth, kPreviewHeight, kUntouched);
    const RECT all = {0, 0, kPreviewWidth, kPreviewHeight};
    auto drawControl = [&](UINT type, UINT id) {
        DRAWITEMSTRUCT item = DrawRequest(canvas, type, id, all);
        return MainDialogProc(main, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
    };
    for (UINT id : {IDC_COLOR_BUTTON, IDC_RESTORE, IDC_MAIN_BUTTON, 0}) {
        CAPTURE(id);
        CHECK(drawControl(ODT_BUTTON, id) == TRUE);
        CHECK(drawControl(ODT_STATIC, id) == TRUE);
        CHECK(canvas.Count(all, kUntouched) == kPreviewWidth * kPreviewHeight);
    }
    // The same requests for the two owner-drawn controls do paint.
    for (UINT id : {IDC_PREVIEW, IDC_DROPDOWN}) {
        CAPTURE(id);
        canvas.Fill(kUntouched);
        CHECK(drawControl(id == IDC_PREVIEW ? ODT_STATIC : ODT_BUTTON, id) == TRUE);
        CHECK(canvas.Count(all, kUntouched) < kPreviewWidth * kPreviewHeight);
    }
}

// Wine counts no GDI objects (GetGuiResources gives 0), so what is counted is how many
// more objects the process could create: one object left behind by 500 requests shows.
TEST_CASE("draw and measure requests leave no GDI object behind") {
    constexpr int kRequests = 500;
    MainWindowStandIn window;
    settings.textColor = RGB(255, 0, 0);
    lstrcpyW(settings.textColorDesc, L"红色");
    Canvas item(100, 15, kUntouched), preview(kPreviewWidth, kPreviewHeight, kUntouched);
    DRAWITEMSTRUCT menuDraw = DrawRequest(item, ODT_MENU, IDM_COLOR_FIRST + 14, {0, 0, 100, 15});
    DRAWITEMSTRUCT previewDraw =
        DrawRequest(preview, ODT_STATIC, IDC_PREVIEW, {0, 0, kPreviewWidth, kPreviewHeight});
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, IDM_COLOR_FIRST + 14, 0, 0, 0};

    // The first requests may make objects the system keeps for good, such as cached fonts.
    auto requestAll = [&] {
        DrawColorMenuItem(&menuDraw, 96);
        DrawColorPreview(&previewDraw);
        MeasureColorMenuItem(window, &measure, 144);
    };
    requestAll();
    const int roomBefore = RoomForGdiObjects();
    REQUIRE(roomBefore > kRequests);
    for (int i = 0; i < kRequests; ++i) requestAll();
    CHECK(RoomForGdiObjects() == roomBefore);
    CHECK(item.Pixel(20, 7) == RGB(255, 0, 0));
    CHECK(preview.Pixel(0, 0) == RGB(255, 0, 0));
    CHECK(measure.itemHeight == 23u);
}

namespace {

// Answers the colour dialog from inside its own modal loop: a thread timer finds the
// dialog, notes its owner and presses the button.
struct DialogAnswer {
    int button;
    bool addCustomColor; // first press the dialog's "add to custom colours" button
    HWND dialog, owner;
    bool accepted;
    UINT_PTR timer;
} answer;

BOOL CALLBACK FindColorDialog(HWND window, LPARAM) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    answer.dialog = window;
    return FALSE;
}

void CALLBACK PressDialogButton(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindColorDialog, 0);
    if (!answer.dialog) return;
    KillTimer(nullptr, answer.timer);
    answer.owner = GetWindow(answer.dialog, GW_OWNER);
    constexpr int kAddCustomColorButton = 712;
    if (answer.addCustomColor) PostMessageA(answer.dialog, WM_COMMAND, kAddCustomColorButton, 0);
    PostMessageA(answer.dialog, WM_COMMAND, answer.button, 0);
}

void RunColorDialog(HWND owner, int button, bool addCustomColor = false) {
    answer = {button, addCustomColor, nullptr, nullptr, false, 0};
    answer.timer = SetTimer(nullptr, 0, 50, PressDialogButton);
    answer.accepted = ChooseCustomColor(owner);
    KillTimer(nullptr, answer.timer);
}

} // namespace

TEST_CASE("the colour dialog") {
    MainWindowStandIn main;
    settings.textColor = RGB(0, 0, 0);
    lstrcpyW(settings.textColorDesc, L"黑色");
    ResetCustomColors();
    SUBCASE("cancelled, it changes nothing") {
        RunColorDialog(main, IDCANCEL);
        REQUIRE(answer.dialog != nullptr);
        CHECK(answer.owner == main.handle);
        CHECK_FALSE(answer.accepted);
        CHECK(settings.textColor == RGB(0, 0, 0));
        CHECK(std::wstring(settings.textColorDesc) == L"黑色");
    }
    SUBCASE("accepted unchanged, black gets the custom description") {
        RunColorDialog(main, IDOK);
        REQUIRE(answer.dialog != nullptr);
        CHECK(answer.accepted);
        CHECK(settings.textColor == RGB(0, 0, 0));
        CHECK(std::wstring(settings.textColorDesc) == L"自定义颜色:(0,0,0)");
    }
    SUBCASE("the dialog edits the program's custom colours, and keeps its edits on cancel") {
        settings.textColor = RGB(10, 20, 30);
        RunColorDialog(main, IDCANCEL, true);
        int found = 0;
        for (COLORREF color : settings.custColors) found += color == RGB(10, 20, 30);
        CHECK(found == 1);
        CHECK(settings.textColor == RGB(10, 20, 30));
    }
}
