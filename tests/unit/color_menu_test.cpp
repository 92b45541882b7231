// The named colours, the menu built from them, and the measuring and drawing of its items.
#include <doctest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "../../src/app/main_window.h"
#include "../../src/color/color_menu.h"
#include "../../src/color/palette.h"
#include "../../src/common/resource.h"
#include "../../src/common/settings_record.h"
#include "../../core/text_style.h"
#include "../../src/desktop/desktop_view.h"
#include "../common/canvas.h"
#include "../common/code_page.h"
#include "test_windows.h"

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr int kItemWidth = 150;
// Items of other menus: around the palette's commands and in the rest of their range.
constexpr UINT kOtherItems[] = {0, IDM_COLOR_FIRST - 1, IDM_COLOR_FIRST + kPaletteSize,
                                IDM_COLOR_LAST, 0xFFFFFFFF};

// An item's layout at a DPI, counted from its top-left corner: a white frame around the
// swatch, left of the label. At 144 DPI everything is 1.5 times as large, rounded.
struct ItemLayout {
    UINT dpi;
    int height;                            // of the item
    int left, right, top, bottom;          // the frame's outer pixels, inclusive
    int frame;                             // its width
    int labelLeft;                         // where the name begins
};
constexpr ItemLayout kLayouts[] = {{96, 15, 10, 29, 2, 11, 1, 40}, {144, 23, 15, 44, 4, 18, 2, 60}};

void DrawMenuItem(Canvas& canvas, UINT itemId, const RECT& rect, UINT dpi, UINT state = 0) {
    DRAWITEMSTRUCT item = DrawRequest(canvas, ODT_MENU, itemId, rect, state);
    DrawColorMenuItem(&item, dpi);
}

// Checks every pixel of an item drawn at (left, top) left of the label: the frame around
// the swatch, on the background.
void CheckItemLayout(const Canvas& canvas, int left, int top, COLORREF swatch,
                     COLORREF background, const ItemLayout& layout) {
    char firstWrong[80] = "";
    const int f = layout.frame;
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.labelLeft; ++x) {
            const bool inFrame =
                x >= layout.left && x <= layout.right && y >= layout.top && y <= layout.bottom;
            const bool inSwatch = x >= layout.left + f && x <= layout.right - f &&
                                  y >= layout.top + f && y <= layout.bottom - f;
            const COLORREF expected = inSwatch ? swatch : inFrame ? RGB(255, 255, 255) : background;
            const COLORREF pixel = canvas.Pixel(left + x, top + y);
            if (pixel != expected && !*firstWrong)
                snprintf(firstWrong, sizeof firstWrong, "pixel (%d,%d) is %06lx, expected %06lx", x,
                         y, static_cast<unsigned long>(pixel),
                         static_cast<unsigned long>(expected));
        }
    }
    CHECK(std::string(firstWrong) == "");
}

// Pixels of the label area whose colour is nearer the text colour than the background.
int LabelPixels(const Canvas& canvas, const RECT& label, COLORREF text, COLORREF background) {
    auto distance = [](COLORREF a, COLORREF b) {
        return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
               abs(GetBValue(a) - GetBValue(b));
    };
    int count = 0;
    for (int y = label.top; y < label.bottom; ++y)
        for (int x = label.left; x < label.right; ++x) {
            const COLORREF pixel = canvas.Pixel(x, y);
            count += distance(pixel, text) < distance(pixel, background);
        }
    return count;
}

int MenuFontTextWidth(const wchar_t* text) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    REQUIRE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx;
}

// The items of a colour menu built from the entries.
std::vector<MENUITEMINFOA> MenuItemsOf(const PaletteEntry* entries, unsigned count) {
    HMENU menu = BuildColorMenu(entries, count);
    std::vector<MENUITEMINFOA> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) items.push_back(MenuItemAt(menu, i));
    DestroyMenu(menu);
    return items;
}

} // namespace

TEST_CASE("the palette: 31 distinct named colours whose names fit the description") {
    static_assert(kPaletteSize == 31, "the palette has 31 entries");
    std::set<std::string> names;
    std::set<DWORD> colors;
    for (unsigned i = 0; i < kPaletteSize; ++i) {
        CAPTURE(i);
        CHECK_FALSE(palette[i].isSysColor);
        CHECK((palette[i].value >> 24) == 0);
        // Whole within the 59 bytes of code page 936 that the settings file reads back.
        CHECK(Narrow(palette[i].name).size() <= 59u);
        names.insert(Narrow(palette[i].name));
        colors.insert(palette[i].value);
    }
    CHECK(names.size() == kPaletteSize);
    CHECK(colors.size() == kPaletteSize);
    // From black at the top to white at the bottom; red in the low byte, and its name
    // compiled to code page 936 ("红色" is BA EC C9 AB).
    CHECK(palette[0].value == RGB(0, 0, 0));
    CHECK(palette[30].value == RGB(255, 255, 255));
    CHECK(palette[14].value == 0x0000FF);
    CHECK(Narrow(palette[14].name) == "\xBA\xEC\xC9\xAB");
}

TEST_CASE("the colour menu has one owner-drawn item per colour and no separator") {
    const std::vector<MENUITEMINFOA> items = MenuItemsOf(palette, kPaletteSize);
    REQUIRE(items.size() == kPaletteSize);
    for (unsigned i = 0; i < kPaletteSize; ++i) {
        CAPTURE(i);
        CHECK((items[i].fType & MFT_OWNERDRAW) != 0);
        CHECK((items[i].fType & MFT_SEPARATOR) == 0);
        CHECK(items[i].wID == IDM_COLOR_FIRST + i);
    }
}

TEST_CASE("a separator follows a system colour only where a plain colour comes next") {
    const PaletteEntry entries[] = {
        {true, COLOR_WINDOW, L"a"},   {true, COLOR_MENU, L"b"},      {false, RGB(1, 2, 3), L"c"},
        {false, RGB(4, 5, 6), L"d"},  {true, COLOR_HIGHLIGHT, L"e"}, {false, RGB(7, 8, 9), L"f"},
        {true, COLOR_MENUTEXT, L"g"},
    };
    const std::vector<MENUITEMINFOA> items = MenuItemsOf(entries, 7);
    REQUIRE(items.size() == 9u);
    const int entryOfItem[] = {0, 1, -1, 2, 3, 4, -1, 5, 6}; // -1: a separator
    for (size_t i = 0; i < items.size(); ++i) {
        CAPTURE(i);
        CHECK(((items[i].fType & MFT_SEPARATOR) != 0) == (entryOfItem[i] < 0));
        if (entryOfItem[i] >= 0) CHECK(items[i].wID == IDM_COLOR_FIRST + entryOfItem[i]);
    }
    // A system colour entry stands for the colour the system uses now.
    CHECK(PaletteColor(entries[4]) == GetSysColor(COLOR_HIGHLIGHT));
    CHECK(PaletteColor(entries[5]) == RGB(7, 8, 9));
}

TEST_CASE("measuring a colour item: 15 high, the name's width in the menu font plus 40") {
    MainWindowStandIn main;
    for (unsigned i = 0; i < kPaletteSize; ++i) {
        CAPTURE(i);
        MEASUREITEMSTRUCT item = {ODT_MENU, 0, IDM_COLOR_FIRST + i, 0, 0, 0};
        MeasureColorMenuItem(main, &item, 96);
        CHECK(item.itemHeight == 15u);
        CHECK(item.itemWidth == static_cast<UINT>(MenuFontTextWidth(palette[i].name) + 40));
        // At 144 DPI: 22.5 rounded, and the name in a menu font 1.5 times as large.
        MEASUREITEMSTRUCT large = {ODT_MENU, 0, IDM_COLOR_FIRST + i, 0, 0, 0};
        MeasureColorMenuItem(main, &large, 144);
        CHECK(large.itemHeight == 23u);
        const double nameWidth = 1.5 * (item.itemWidth - 40);
        CHECK(large.itemWidth - 60 >= nameWidth - 3);
        CHECK(large.itemWidth - 60 <= nameWidth + 3);
    }
    SUBCASE("items of other menus are not measured") {
        for (UINT id : kOtherItems) {
            MEASUREITEMSTRUCT item = {ODT_MENU, 0, id, 1234, 567, 0};
            MeasureColorMenuItem(main, &item, 96);
            CHECK(item.itemWidth == 1234u);
            CHECK(item.itemHeight == 567u);
        }
    }
}

TEST_CASE("drawing a colour item: background, framed swatch and label, at 96 and 144 DPI") {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const ItemLayout& layout : kLayouts) {
        const int height = layout.height;
        const RECT label = {layout.labelLeft, 0, kItemWidth, height};
        // Menu colours that equal a swatch colour would hide a misplaced swatch.
        for (unsigned index : {0u, 14u, 19u, 11u}) {
            CAPTURE(layout.dpi);
            CAPTURE(index);
            const COLORREF color = palette[index].value;
            REQUIRE(color != menu);
            REQUIRE(color != highlight);
            SUBCASE("at the canvas origin") {
                Canvas canvas(kItemWidth, height, kUntouched);
                DrawMenuItem(canvas, IDM_COLOR_FIRST + index, {0, 0, kItemWidth, height},
                             layout.dpi);
                CheckItemLayout(canvas, 0, 0, color, menu, layout);
                CHECK(LabelPixels(canvas, label, GetSysColor(COLOR_MENUTEXT), menu) > 0);
            }
            SUBCASE("lower down and to the right, as the second item of a menu") {
                Canvas canvas(kItemWidth + 7, 2 * height + 3, kUntouched);
                DrawMenuItem(canvas, IDM_COLOR_FIRST + index,
                             {7, height + 3, kItemWidth + 7, 2 * height + 3}, layout.dpi);
                CheckItemLayout(canvas, 7, height + 3, color, menu, layout);
                // Nothing outside the item's rectangle.
                CHECK(canvas.Count({0, 0, kItemWidth + 7, height + 3}, kUntouched) ==
                      (kItemWidth + 7) * (height + 3));
            }
            SUBCASE("highlighted: highlight colours, same swatch") {
                Canvas canvas(kItemWidth, height, kUntouched);
                DrawMenuItem(canvas, IDM_COLOR_FIRST + index, {0, 0, kItemWidth, height},
                             layout.dpi, ODS_SELECTED);
                CheckItemLayout(canvas, 0, 0, color, highlight, layout);
                CHECK(LabelPixels(canvas, label, GetSysColor(COLOR_HIGHLIGHTTEXT), highlight) > 0);
            }
        }
    }
}

TEST_CASE("the swatch stays centred in a taller item") {
    Canvas canvas(kItemWidth, 20, kUntouched);
    DrawMenuItem(canvas, IDM_COLOR_FIRST + 14, {0, 0, kItemWidth, 20}, 96);
    // (20 - 10) / 2: the frame spans rows 5 to 14.
    CHECK(canvas.Pixel(10, 4) == GetSysColor(COLOR_MENU));
    CHECK(canvas.Pixel(10, 5) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(10, 14) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(15, 6) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(15, 15) == GetSysColor(COLOR_MENU));
}

TEST_CASE("items outside the colour range draw nothing") {
    Canvas canvas(kItemWidth, 15, kUntouched);
    const RECT all = {0, 0, kItemWidth, 15};
    for (UINT id : kOtherItems) {
        CAPTURE(id);
        DrawMenuItem(canvas, id, all, 96, ODS_SELECTED);
        CHECK(canvas.Count(all, kUntouched) == kItemWidth * 15);
    }
}

TEST_CASE("choosing a named colour sets the colour and its name") {
    settings.textColor = RGB(1, 2, 3);
    lstrcpyW(settings.textColorDesc, L"before");
    CHECK(SelectPaletteEntry(14));
    CHECK(settings.textColor == RGB(255, 0, 0));
    CHECK(std::wstring(settings.textColorDesc) == L"红色");
    SUBCASE("an index past the palette changes nothing") {
        for (unsigned index : {31u, 99u, 0xFFFFFFFFu}) CHECK_FALSE(SelectPaletteEntry(index));
        CHECK(settings.textColor == RGB(255, 0, 0));
        CHECK(std::wstring(settings.textColorDesc) == L"红色");
    }
}

TEST_CASE("a named colour chosen in the main window goes to the desktop view, looked up again") {
    MainWindowStandIn main;
    FakeShell desktop("Progman", "Program Manager");
    SendMessageA(desktop.view, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    ScopedSet<HWND> forgotten(desktopView, nullptr);
    settings.textStyle = StyleEngraved;
    CoreRecorder core;
    MainDialogProc(main, WM_COMMAND, IDM_COLOR_FIRST + 14, 0);
    CHECK(settings.textColor == RGB(255, 0, 0));
    CHECK(desktopView == desktop.view.handle);
    REQUIRE(coreCalls.size() == 1);
    CHECK(coreCalls[0] == ApplyLine(desktop.view, RGB(255, 0, 0), StyleEngraved));
    CHECK(SendMessageA(desktop.view, LVM_GETTEXTCOLOR, 0, 0) == RGB(255, 0, 0));
}
