// The named colour menu, the preview and the colour dialog of the running program.
#include <doctest.h>

#include <string.h>

#include "harness.h"

namespace {

constexpr WPARAM kRed = IDM_COLOR_FIRST + 14;
constexpr WPARAM kBlue = IDM_COLOR_FIRST + 11;
constexpr WPARAM kWhite = IDM_COLOR_FIRST + 30;
constexpr WPARAM kBlack = IDM_COLOR_FIRST + 0;

// The text that the preview is expected to show from now on.
void ExpectPreviewText(const Running& run, const std::string& text) {
    run.folder.WriteRaw(text, "previewtext.txt");
}
// Whether the preview is painted in `color` and shows the text that ExpectPreviewText named
// ("same") or not ("different"), as the recording core module last saw it.
bool PreviewShows(const Running& run, COLORREF color, const char* match = "same") {
    const std::string line = Format("preview %06lx %s", color, match);
    return WaitUntil([&] { return run.folder.LastLine("preview") == line; });
}
// Ends a dialog and waits for it to go. What the program does next may still be under
// way: it answers sent messages while it waits on the desktop's process.
void CloseDialog(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, button, 0);
    CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
}
bool ArrowLooks(const Running& run, const char* look) {
    return WaitUntil([&] { return run.folder.LastLine("arrow") == std::string("arrow ") + look; });
}

} // namespace

TEST_CASE("a named colour command applies at once while the text is transparent") {
    Running run;
    REQUIRE_FALSE(run.app.RestoreEnabled());
    ExpectPreviewText(run, "红色");
    run.app.SendCommand(kRed);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0));
    CHECK(run.desktop.TextColor() == RGB(255, 0, 0));
    CHECK(run.app.RestoreEnabled());
    CHECK(PreviewShows(run, RGB(255, 0, 0)));

    SUBCASE("the same colour again is applied again") {
        const size_t calls = run.folder.CoreCalls().size();
        run.app.SendCommand(kRed);
        CHECK(run.folder.CoreCalls().size() == calls + 1);
    }
    SUBCASE("another colour is named in the preview") {
        ExpectPreviewText(run, "白色");
        run.app.SendCommand(kWhite);
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 255, 255), 0));
        CHECK(PreviewShows(run, RGB(255, 255, 255)));
    }
    SUBCASE("the colour and its name are written at the next save") {
        run.SaveByMainButton(); // confirms and hides, which saves
        CHECK(run.folder.Saved("TextColor") == "255");
        CHECK(run.folder.Saved("TextColorDesc") == "红色");
    }
}

TEST_CASE("a named colour command while opaque changes the colour but calls nothing") {
    Running run;
    run.app.Click(IDC_OPAQUE);
    const size_t calls = run.folder.CoreCalls().size();
    const COLORREF background = run.desktop.TextBackground();
    ExpectPreviewText(run, "蓝色");
    run.app.SendCommand(kBlue);
    CHECK(PreviewShows(run, RGB(0, 0, 255)));
    CHECK(run.folder.CoreCalls().size() == calls);
    CHECK(run.desktop.TextBackground() == background);
    CHECK(run.app.RestoreEnabled());
    // The new colour takes effect when the text is next made transparent.
    run.app.Click(IDC_TRANSPARENT);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 255), 0));
}

TEST_CASE("the colour commands past the palette only enable the Restore button") {
    Running run;
    const COLORREF color = run.desktop.TextColor();
    const std::vector<std::string> callsBefore = run.folder.CoreCalls();
    for (WPARAM command : {IDM_COLOR_FIRST + 31, IDM_COLOR_FIRST + 50, IDM_COLOR_LAST}) {
        CAPTURE(command);
        EnableWindow(run.app.Control(IDC_RESTORE), FALSE);
        run.app.SendCommand(command);
        CHECK(run.app.RestoreEnabled());
    }
    CHECK(run.folder.CoreCalls() == callsBefore);
    CHECK(run.desktop.TextColor() == color);
}

TEST_CASE("the arrow button opens the colour menu under itself") {
    Running run;
    HWND menu = run.OpenColorMenu();
    const RECT arrow = WindowRect(run.app.Control(IDC_DROPDOWN)), menuRect = WindowRect(menu);
    CHECK(menuRect.left == arrow.left);
    // Under the arrow where it fits on the screen (not at 144 DPI on 800 lines); else moved
    // up as far as it must.
    const int screenBottom = GetSystemMetrics(SM_CYSCREEN);
    if (arrow.bottom + (menuRect.bottom - menuRect.top) <= screenBottom) {
        CHECK(menuRect.top == arrow.bottom);
    } else {
        CHECK(menuRect.bottom == screenBottom);
    }
    // Wider than the widest item plus the menu's border, and 31 items of their height.
    CHECK(menuRect.bottom - menuRect.top >= 31 * Scaled(15));
}

TEST_CASE("the colour menu holds 31 owner-drawn colours of the item height for the DPI") {
    Running run;
    const size_t logStart = run.folder.CoreLog().size();
    run.OpenColorMenu();
    CHECK(
        WaitUntil([&] { return run.folder.LastLine("drawmenu " + std::to_string(kWhite)) != ""; }));
    CHECK(run.folder.LastLine("colormenu") ==
          "colormenu 31 31 0 " + std::to_string(kBlack) + " " + std::to_string(kWhite));
    int measured = 0;
    const std::vector<std::string> log = run.folder.CoreLog();
    for (size_t line = logStart; line < log.size(); ++line) {
        unsigned id = 0, width = 0, height = 0;
        if (sscanf(log[line].c_str(), "measure %u %u %u", &id, &width, &height) != 3) continue;
        ++measured;
        CHECK(id >= kBlack);
        CHECK(id <= kWhite);
        // 15 pixels high at 96 DPI, 23 at 144.
        CHECK(height == static_cast<unsigned>(Scaled(15)));
        CHECK(width > static_cast<unsigned>(Scaled(40)));
    }
    CHECK(measured >= 31);
}

TEST_CASE("the arrow looks pushed while the colour menu is open, and closing it changes no more") {
    Running run;
    HWND menu = run.OpenColorMenu();
    CHECK(ArrowLooks(run, "pushed"));
    const std::vector<std::string> callsBefore = run.folder.CoreCalls();
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK(WaitUntil([&] { return !IsWindowVisible(menu) || !IsWindow(menu); }));
    CHECK(ArrowLooks(run, "normal"));
    CHECK(run.folder.CoreCalls() == callsBefore);
    CHECK_FALSE(run.app.RestoreEnabled());
}

TEST_CASE("the fifteenth entry of the colour menu chosen with the keyboard applies red") {
    Running run;
    HWND menu = run.OpenColorMenu();
    for (int i = 0; i < 15; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    CHECK(WaitUntil(
        [&] { return run.folder.LastLine("drawmenu " + std::to_string(kRed) + " 1") != ""; }));
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    CHECK(WaitUntil([&] {
        return run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0);
    }));
    CHECK(ArrowLooks(run, "normal"));
    CHECK(run.app.RestoreEnabled());
}

TEST_CASE("the colour dialog") {
    Running run;
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForDialog();
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);

    SUBCASE("cancel leaves everything as it was, an enabled Restore button too") {
        std::vector<std::string> callsBefore = run.folder.CoreCalls();
        CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK_FALSE(run.app.RestoreEnabled());

        run.app.SendCommand(kBlack);
        REQUIRE(run.app.RestoreEnabled());
        run.app.PostCommand(IDC_COLOR_BUTTON);
        dialog = run.WaitForDialog();
        callsBefore = run.folder.CoreCalls();
        CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK(run.app.RestoreEnabled());
    }
    SUBCASE("OK with the colour unchanged applies it again and enables Restore") {
        const COLORREF color = run.desktop.TextColor();
        ExpectPreviewText(run, CustomColorText(color));
        const size_t calls = run.folder.CoreCalls().size();
        CloseDialog(dialog, IDOK);
        CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
        CHECK(run.folder.CoreCalls().size() == calls + 1);
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), color, 0));
        CHECK(PreviewShows(run, color));
    }
    SUBCASE("a colour typed into it becomes the text colour") {
        ExpectPreviewText(run, CustomColorText(RGB(200, 100, 50)));
        // The dialog's red, green and blue edit boxes.
        SendMessageA(GetDlgItem(dialog, 706), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("200"));
        SendMessageA(GetDlgItem(dialog, 707), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("100"));
        SendMessageA(GetDlgItem(dialog, 708), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("50"));
        CloseDialog(dialog, IDOK);
        CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(200, 100, 50), 0));
        CHECK(run.desktop.TextColor() == RGB(200, 100, 50));
        CHECK(PreviewShows(run, RGB(200, 100, 50)));
    }
}

TEST_CASE("black from the dialog is described by its values, not as the named black") {
    Running run;
    ExpectPreviewText(run, "黑色");
    run.app.SendCommand(kBlack);
    REQUIRE(PreviewShows(run, RGB(0, 0, 0)));
    EnableWindow(run.app.Control(IDC_RESTORE), FALSE);
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForDialog();
    CloseDialog(dialog, IDOK);
    CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
    CHECK(PreviewShows(run, RGB(0, 0, 0), "different"));
    ExpectPreviewText(run, CustomColorText(RGB(0, 0, 0)));
    InvalidateRect(run.app.mainWindow, nullptr, TRUE);
    CHECK(PreviewShows(run, RGB(0, 0, 0)));
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 0), 0));
}

TEST_CASE("a double-click opens the colour dialog only on the preview") {
    Running run;
    const RECT preview = WindowRect(run.app.Control(IDC_PREVIEW));
    bool opens = true;
    SUBCASE("in the middle of the preview") {
        REQUIRE(
            MovePointer((preview.left + preview.right) / 2, (preview.top + preview.bottom) / 2));
    }
    SUBCASE("on the preview's sunken edge") {
        REQUIRE(MovePointer(preview.left, preview.top));
    }
    SUBCASE("just right of the preview: nothing opens") {
        opens = false;
        REQUIRE(MovePointer(preview.right, preview.top + 2));
    }
    SUBCASE("just below the preview: nothing opens") {
        opens = false;
        REQUIRE(MovePointer(preview.left + 2, preview.bottom));
    }
    PostMessageA(run.app.mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    if (!opens) {
        Pause(700);
        CHECK(run.Dialog() == nullptr);
        return;
    }
    HWND dialog = run.WaitForDialog();
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);
    CloseDialog(dialog, IDCANCEL);
}

namespace {

// Presses or releases the left mouse button where the cursor is, as the user would.
void MouseButton(DWORD flag) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
}

POINT CentreOf(HWND window) {
    const RECT rect = WindowRect(window);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace

TEST_CASE("with the real mouse") {
    Running run;
    SUBCASE("a double-click on the preview reaches the main window and opens the dialog") {
        const POINT centre = CentreOf(run.app.Control(IDC_PREVIEW));
        REQUIRE(MovePointer(centre.x, centre.y));
        for (int click = 0; click < 2; ++click) {
            MouseButton(MOUSEEVENTF_LEFTDOWN);
            MouseButton(MOUSEEVENTF_LEFTUP);
        }
        HWND dialog = run.WaitForDialog();
        CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);
        CloseDialog(dialog, IDCANCEL);
    }
    SUBCASE("the arrow looks pushed while held down and while its menu is open") {
        const POINT centre = CentreOf(run.app.Control(IDC_DROPDOWN));
        REQUIRE(MovePointer(centre.x, centre.y));
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        CHECK(ArrowLooks(run, "pushed"));
        CHECK(run.PopupMenu() == nullptr);
        MouseButton(MOUSEEVENTF_LEFTUP);
        HWND menu = nullptr;
        REQUIRE(WaitUntil([&] { return (menu = run.PopupMenu()) != nullptr; }));
        // Released, the button repaints itself up before it reports the click; the menu's
        // opening then paints it pushed again.
        CHECK(ArrowLooks(run, "pushed"));
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        CHECK(ArrowLooks(run, "normal"));
    }
}
