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
#include "test_windows.h"

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr int kItemHeight = 15;
constexpr int kItemWidth = 100;
// Items of other menus: around the palette's commands and in the rest of their range.
constexpr UINT kOtherItems[] = {0, IDM_COLOR_FIRST - 1, IDM_COLOR_FIRST + kPaletteSize,
                                IDM_COLOR_LAST, 0xFFFFFFFF};

void DrawMenuItem(Canvas& canvas, UINT itemId, const RECT& rect, UINT state = 0) {
    DRAWITEMSTRUCT item = DrawRequest(canvas, ODT_MENU, itemId, rect, state);
    DrawColorMenuItem(&item);
}

// Checks every pixel of an item drawn at (left, top), 15 pixels high, left of the label: a
// white frame from (10, 2) to (29, 11) around the swatch, on the background.
void CheckItemLayout(const Canvas& canvas, int left, int top, COLORREF swatch,
                     COLORREF background) {
    char firstWrong[80] = "";
    for (int y = 0; y < kItemHeight; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inFrame = x >= 10 && x <= 29 && y >= 2 && y <= 11;
            const bool inSwatch = x >= 11 && x <= 28 && y >= 3 && y <= 10;
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

int MenuFontTextWidth(const char* text) {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    REQUIRE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
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
    REQUIRE(kPaletteSize == 31);
    std::set<std::string> names;
    std::set<DWORD> colors;
    for (unsigned i = 0; i < kPaletteSize; ++i) {
        CAPTURE(i);
        CHECK_FALSE(palette[i].isSysColor);
        CHECK((palette[i].value >> 24) == 0);
        CHECK(strlen(palette[i].name) < static_cast<size_t>(kColorDescSize));
        names.insert(palette[i].name);
        colors.insert(palette[i].value);
    }
    CHECK(names.size() == kPaletteSize);
    CHECK(colors.size() == kPaletteSize);
    // From black at the top to white at the bottom; red in the low byte, and its name
    // compiled to code page 936 ("红色" is BA EC C9 AB).
    CHECK(palette[0].value == RGB(0, 0, 0));
    CHECK(palette[30].value == RGB(255, 255, 255));
    CHECK(palette[14].value == 0x0000FF);
    CHECK(strcmp(palette[14].name, "\xBA\xEC\xC9\xAB") == 0);
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
        {true, COLOR_WINDOW, "a"},   {true, COLOR_MENU, "b"},      {false, RGB(1, 2, 3), "c"},
        {false, RGB(4, 5, 6), "d"},  {true, COLOR_HIGHLIGHT, "e"}, {false, RGB(7, 8, 9), "f"},
        {true, COLOR_MENUTEXT, "g"},
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
        MeasureColorMenuItem(main, &item);
        CHECK(item.itemHeight == 15u);
        CHECK(item.itemWidth == static_cast<UINT>(MenuFontTextWidth(palette[i].name) + 40));
    }
    SUBCASE("items of other menus are not measured") {
        for (UINT id : kOtherItems) {
            MEASUREITEMSTRUCT item = {ODT_MENU, 0, id, 1234, 567, 0};
            MeasureColorMenuItem(main, &item);
            CHECK(item.itemWidth == 1234u);
            CHECK(item.itemHeight == 567u);
        }
    }
}

TEST_CASE("drawing a colour item: background, framed swatch and label") {
    const COLORREF menu = GetSysColor(COLOR_MENU);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    // Menu colours that equal a swatch colour would hide a misplaced swatch.
    for (unsigned index : {0u, 14u, 19u, 11u}) {
        CAPTURE(index);
        const COLORREF color = palette[index].value;
        REQUIRE(color != menu);
        REQUIRE(color != highlight);
        SUBCASE("at the canvas origin") {
            Canvas canvas(kItemWidth, kItemHeight, kUntouched);
            DrawMenuItem(canvas, IDM_COLOR_FIRST + index, {0, 0, kItemWidth, kItemHeight});
            CheckItemLayout(canvas, 0, 0, color, menu);
            CHECK(LabelPixels(canvas, {40, 0, kItemWidth, kItemHeight}, GetSysColor(COLOR_MENUTEXT),
                              menu) > 0);
        }
        SUBCASE("lower down and to the right, as the second item of a menu") {
            Canvas canvas(kItemWidth + 7, 2 * kItemHeight + 3, kUntouched);
            DrawMenuItem(canvas, IDM_COLOR_FIRST + index,
                         {7, kItemHeight + 3, kItemWidth + 7, 2 * kItemHeight + 3});
            CheckItemLayout(canvas, 7, kItemHeight + 3, color, menu);
            // Nothing outside the item's rectangle.
            CHECK(canvas.Count({0, 0, kItemWidth + 7, kItemHeight + 3}, kUntouched) ==
                  (kItemWidth + 7) * (kItemHeight + 3));
        }
        SUBCASE("highlighted: highlight colours, same swatch") {
            Canvas canvas(kItemWidth, kItemHeight, kUntouched);
            DrawMenuItem(canvas, IDM_COLOR_FIRST + index, {0, 0, kItemWidth, kItemHeight},
                         ODS_SELECTED);
            CheckItemLayout(canvas, 0, 0, color, highlight);
            CHECK(LabelPixels(canvas, {40, 0, kItemWidth, kItemHeight},
                              GetSysColor(COLOR_HIGHLIGHTTEXT), highlight) > 0);
        }
    }
}

TEST_CASE("the swatch stays centred in a taller item") {
    Canvas canvas(kItemWidth, 20, kUntouched);
    DrawMenuItem(canvas, IDM_COLOR_FIRST + 14, {0, 0, kItemWidth, 20});
    // (20 - 10) / 2: the frame spans rows 5 to 14.
    CHECK(canvas.Pixel(10, 4) == GetSysColor(COLOR_MENU));
    CHECK(canvas.Pixel(10, 5) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(10, 14) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(15, 6) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(15, 15) == GetSysColor(COLOR_MENU));
}

TEST_CASE("items outside the colour range draw nothing") {
    Canvas canvas(kItemWidth, kItemHeight, kUntouched);
    const RECT all = {0, 0, kItemWidth, kItemHeight};
    for (UINT id : kOtherItems) {
        CAPTURE(id);
        DrawMenuItem(canvas, id, all, ODS_SELECTED);
        CHECK(canvas.Count(all, kUntouched) == kItemWidth * kItemHeight);
    }
}

TEST_CASE("choosing a named colour sets the colour and its name") {
    settings.textColor = RGB(1, 2, 3);
    strcpy(settings.textColorDesc, "before");
    CHECK(SelectPaletteEntry(14));
    CHECK(settings.textColor == RGB(255, 0, 0));
    CHECK(std::string(settings.textColorDesc) == "红色");
    SUBCASE("an index past the palette changes nothing") {
        for (unsigned index : {31u, 99u, 0xFFFFFFFFu}) CHECK_FALSE(SelectPaletteEntry(index));
        CHECK(settings.textColor == RGB(255, 0, 0));
        CHECK(std::string(settings.textColorDesc) == "红色");
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
