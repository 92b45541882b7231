#include <doctest.h>

#include "../../src/app/app.h"
#include "../../src/app/resource.h"
#include "../../src/desktop/desktop_view.h"
#include "../../src/desktop/text_style.h"
#include "../../src/settings/settings.h"
#include "test_windows.h"

TEST_CASE("style codes and their radio buttons") {
    CHECK(StyleOfRadio(IDC_STYLE_NORMAL) == 0);
    CHECK(StyleOfRadio(IDC_STYLE_SHADOW) == 1);
    CHECK(StyleOfRadio(IDC_STYLE_EMBOSSED) == 4000);
    CHECK(StyleOfRadio(IDC_STYLE_ENGRAVED) == 4001);
    for (int style : {0, 1, 4000, 4001}) {
        CHECK(StyleOfRadio(RadioOfStyle(style)) == style);
        CHECK(NormalizedStyle(style) == style);
    }
    SUBCASE("unknown codes count as shadow") {
        for (int style : {2, -7, 3999, 4002, -1}) {
            CHECK(RadioOfStyle(style) == IDC_STYLE_SHADOW);
            CHECK(NormalizedStyle(style) == StyleShadow);
        }
    }
}

namespace {

// The main window's four style radios, in a window standing in for it.
struct StyleRadios {
    StyleRadios() : window(TestClass("QuillTestMain"), "main") {
        for (int id = IDC_STYLE_NORMAL; id <= IDC_STYLE_SHADOW; ++id) {
            radios[id - IDC_STYLE_NORMAL] = CreateWindowExA(
                0, "BUTTON", "", WS_CHILD | BS_AUTORADIOBUTTON, 0, 0, 10, 10, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
        sharedMainWindow = window;
    }
    ~StyleRadios() { sharedMainWindow = nullptr; }
    int CheckedCount() const {
        int count = 0;
        for (int id = IDC_STYLE_NORMAL; id <= IDC_STYLE_SHADOW; ++id)
            count += IsDlgButtonChecked(window, id) == BST_CHECKED;
        return count;
    }
    TestWindow window;
    HWND radios[4];
};

} // namespace

TEST_CASE("SyncStyleRadios checks exactly one radio and normalises unknown codes") {
    StyleRadios main;
    settings.textStyle = 4001;
    SyncStyleRadios();
    CHECK(IsDlgButtonChecked(main.window, IDC_STYLE_ENGRAVED) == BST_CHECKED);
    CHECK(main.CheckedCount() == 1);

    settings.textStyle = -7;
    SyncStyleRadios();
    CHECK(IsDlgButtonChecked(main.window, IDC_STYLE_SHADOW) == BST_CHECKED);
    CHECK(main.CheckedCount() == 1);
    CHECK(settings.textStyle == StyleShadow);
}

TEST_CASE("SelectTextStyle applies at once only while the text is transparent") {
    StyleRadios main;
    TestWindow view(WC_LISTVIEWA, "", nullptr, 0, 0);
    desktopView = view;
    RecordCoreCalls();

    SUBCASE("opaque: the style is kept, nothing is called and no colour changes") {
        SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, RGB(1, 2, 3));
        SelectTextStyle(IDC_STYLE_EMBOSSED);
        CHECK(settings.textStyle == StyleEmbossed);
        CHECK(coreCalls.empty());
        CHECK(static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)) == RGB(1, 2, 3));
    }
    SUBCASE("transparent: the same style chosen twice is applied twice") {
        SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
        SelectTextStyle(IDC_STYLE_SHADOW);
        SelectTextStyle(IDC_STYLE_SHADOW);
        REQUIRE(coreCalls.size() == 2);
        CHECK(coreCalls[1].substr(coreCalls[1].size() - 2) == " 1");
    }
    desktopView = nullptr;
}
