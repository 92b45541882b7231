#include <doctest.h>

#include "../../core/text_style.h"
#include "../../src/desktop/desktop_view.h"
#include "test_windows.h"

TEST_CASE("FindDesktopView needs the exact class and title of the shell's desktop, in the "
          "desktop trees of today's shells too") {
    TestWindow anchor(TestClass("QuillTestAnchor"), "anchor");
    SUBCASE("the real desktop is found behind a decoy of another class") {
        FakeShell desktop("Progman", "Program Manager");
        // Created later, so it comes first in the walk.
        FakeShell decoy("ProgmanDecoy", "Program Manager");
        CHECK(FindDesktopView(anchor) == desktop.view.handle);
    }
    SUBCASE("letter case matters in the title") {
        FakeShell desktop("Progman", "program manager");
        CHECK(FindDesktopView(anchor) == nullptr);
    }
    SUBCASE("a Progman with another title is refused") {
        FakeShell desktop("Progman", "Desktop");
        CHECK(FindDesktopView(anchor) == nullptr);
    }
    SUBCASE("a desktop without SHELLDLL_DefView gives null") {
        TestWindow desktop(TestClass("Progman"), "Program Manager");
        CHECK(FindDesktopView(anchor) == nullptr);
    }
    SUBCASE("a SHELLDLL_DefView without control 1 gives null") {
        FakeShell desktop("Progman", "Program Manager", 2);
        CHECK(FindDesktopView(anchor) == nullptr);
    }
    SUBCASE("behind a wallpaper layer it lives in a top-level WorkerW") {
        TestWindow desktop(TestClass("Progman"), "Program Manager");
        TestWindow wallpaper(TestClass("WorkerW"), "");
        FakeShell worker("WorkerW", "");
        TestWindow emptyAfter(TestClass("WorkerW"), "");
        CHECK(FindDesktopView(anchor) == worker.view.handle);
    }
    SUBCASE("Windows 11 24H2 keeps it in the desktop window, beside a child WorkerW") {
        FakeShell desktop("Progman", "Program Manager");
        TestWindow layer(TestClass("WorkerW"), "", desktop.top);
        CHECK(FindDesktopView(anchor) == desktop.view.handle);
    }
    SUBCASE("the desktop window's own view comes first") {
        FakeShell worker("WorkerW", "");
        FakeShell desktop("Progman", "Program Manager");
        CHECK(FindDesktopView(anchor) == desktop.view.handle);
    }
}

TEST_CASE("transparency is the view's own text background") {
    TestWindow view(WC_LISTVIEWA, "", nullptr, 0, 0);
    ScopedSet<HWND> cached(desktopView, view.handle);
    const COLORREF color = RGB(12, 34, 56);
    CoreRecorder core;

    SUBCASE("ApplyTransparency calls the core module, then sets CLR_NONE and the text colour") {
        ApplyTransparency(color, StyleEmbossed);
        REQUIRE(coreCalls.size() == 1);
        CHECK(coreCalls[0] == ApplyLine(view, color, StyleEmbossed));
        CHECK(IsTextTransparent(view));
        CHECK(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0) == RGB(12, 34, 56));
    }
    SUBCASE("RestoreOpaque undoes, then shows white text on the desktop colour") {
        ApplyTransparency(color, StyleNormal);
        RestoreOpaque();
        CHECK(coreCalls.back() == "undo");
        CHECK_FALSE(IsTextTransparent(view));
        CHECK(static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)) ==
              GetSysColor(COLOR_BACKGROUND));
        CHECK(SendMessageA(view, LVM_GETTEXTCOLOR, 0, 0) == RGB(255, 255, 255));
    }
    SUBCASE("a change reaches the view at once only while its text is transparent") {
        SendMessageA(view, LVM_SETTEXTBKCOLOR, 0, RGB(1, 2, 3));
        ApplyIfTransparent(color, StyleShadow);
        CHECK(coreCalls.empty());
        CHECK(static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)) == RGB(1, 2, 3));
        ApplyTransparency(color, StyleNormal);
        ApplyIfTransparent(color, StyleShadow);
        ApplyIfTransparent(color, StyleShadow);
        CHECK(coreCalls.size() == 3);
    }
    SUBCASE("a view that is gone counts as opaque") {
        ApplyTransparency(color, StyleNormal);
        HWND gone = view.handle;
        DestroyWindow(view.handle);
        CHECK_FALSE(IsTextTransparent(gone));
    }
}

TEST_CASE("Active Desktop is an Internet Explorer_Server beside the view") {
    FakeShell desktop("Progman", "Program Manager");
    ScopedSet<HWND> cached(desktopView, desktop.view.handle);
    CHECK_FALSE(IsActiveDesktop());
    {
        TestWindow browser(TestClass("Internet Explorer_Server"), "", desktop.defView);
        CHECK(IsActiveDesktop());
    }
    SUBCASE("without a view, a top-level Internet Explorer_Server does not count") {
        TestWindow stray(TestClass("Internet Explorer_Server"), "");
        desktopView = nullptr;
        CHECK_FALSE(IsActiveDesktop());
    }
}

TEST_CASE("a view counts as on the desktop until it is gone or moved out of the desktop") {
    FakeShell desktop("Progman", "Program Manager");
    CHECK(IsViewOnDesktop(desktop.view));
    FakeShell worker("WorkerW", "");
    SetParent(desktop.defView, worker.top);
    CHECK(IsViewOnDesktop(desktop.view));
    TestWindow elsewhere(TestClass("QuillTestElsewhere"), "Program Manager");
    SetParent(desktop.defView, elsewhere);
    CHECK_FALSE(IsViewOnDesktop(desktop.view));
    DestroyWindow(desktop.view);
    CHECK_FALSE(IsViewOnDesktop(desktop.view));
    CHECK_FALSE(IsViewOnDesktop(nullptr));
}

TEST_CASE("without a view nothing is sent to the desktop and no other window repaints") {
    TestWindow bystander(TestClass("QuillTestBystander"), "", nullptr, 0, WS_VISIBLE);
    UpdateWindow(bystander);
    ScopedSet<HWND> noView(desktopView, nullptr);
    CoreRecorder core;
    ApplyTransparency(RGB(1, 2, 3), StyleNormal);
    RestoreOpaque();
    CHECK_FALSE(GetUpdateRect(bystander, nullptr, FALSE));
    CHECK_FALSE(IsTextTransparent(nullptr));
    // The core module still hears of both; it ignores a null view itself.
    REQUIRE(coreCalls.size() == 2);
    CHECK(coreCalls[1] == "undo");
}
