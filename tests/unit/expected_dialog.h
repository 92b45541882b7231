// The controls a dialog template must hold, and the check of a loaded template against them.
#pragma once
#include <doctest.h>

#include "dialog_template.h"

struct ExpectedItem {
    int id;
    const char* className;
    const char* text; // null: not checked here
    DWORD style;
    short x, y, cx, cy;
};

// Every control in template order: id, class, text, style, no extended style, rectangle.
template <size_t count>
void CheckDialogItems(const DialogTemplate& dialog, const ExpectedItem (&expected)[count]) {
    REQUIRE(dialog.items.size() == count);
    for (size_t i = 0; i < count; ++i) {
        const DialogItem& item = dialog.items[i];
        CAPTURE(i);
        CHECK(item.id == expected[i].id);
        CHECK(item.className == expected[i].className);
        if (expected[i].text) CHECK(item.text == expected[i].text);
        CHECK(item.style == expected[i].style);
        CHECK(item.exStyle == 0);
        CHECK(item.x == expected[i].x);
        CHECK(item.y == expected[i].y);
        CHECK(item.cx == expected[i].cx);
        CHECK(item.cy == expected[i].cy);
    }
}
