#include <doctest.h>

#include "../../src/app/settings_view.h"
#include "../../src/common/resource.h"
#include "../../src/common/settings_record.h"
#include "../../core/text_style.h"
#include "test_windows.h"

TEST_CASE("each style has its own radio, and an unknown code shows as shadow") {
    for (int style : {StyleNormal, StyleShadow, StyleEmbossed, StyleEngraved}) {
        CHECK(StyleOfRadio(RadioOfStyle(style)) == style);
        CHECK(NormalizedStyle(style) == style);
    }
    CHECK(RadioOfStyle(StyleShadow) == IDC_STYLE_SHADOW);
    for (int style : {2, -7, 3999, 4002, -1}) {
        CAPTURE(style);
        CHECK(RadioOfStyle(style) == IDC_STYLE_SHADOW);
        CHECK(NormalizedStyle(style) == StyleShadow);
    }
}

TEST_CASE("SyncStyleRadios checks exactly one radio and normalises unknown codes") {
    MainWindowStandIn window;
    for (int id = IDC_STYLE_NORMAL; id <= IDC_STYLE_SHADOW; ++id) {
        CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTORADIOBUTTON, 0, 0, 10, 10, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    auto checkedCount = [&] {
        int count = 0;
        for (int id = IDC_STYLE_NORMAL; id <= IDC_STYLE_SHADOW; ++id)
            count += IsDlgButtonChecked(window, id) == BST_CHECKED;
        return count;
    };
    settings.textStyle = StyleEngraved;
    SyncStyleRadios();
    CHECK(IsDlgButtonChecked(window, IDC_STYLE_ENGRAVED) == BST_CHECKED);
    CHECK(checkedCount() == 1);

    settings.textStyle = -7;
    SyncStyleRadios();
    CHECK(IsDlgButtonChecked(window, IDC_STYLE_SHADOW) == BST_CHECKED);
    CHECK(checkedCount() == 1);
    CHECK(settings.textStyle == StyleShadow);
}
