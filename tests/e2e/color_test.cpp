// The named colour menu, the preview and the colour dialog of the running program.
#include <doctest.h>

#include <string.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

constexpr WPARAM kRed = IDM_COLOR_FIRST + 14;
constexpr WPARAM kBlue = IDM_COLOR_FIRST + 11;
constexpr WPARAM kWhite = IDM_COLOR_FIRST + 30;
constexpr WPARAM kBlack = IDM_COLOR_FIRST + 0;

// The preview as the recording core module last saw it painted, in the colour given,
// showing the text that ExpectPreviewText named.
std::string PreviewLine(COLORREF color, const char* match = "same") {
    char line[48];
    snprintf(line, sizeof line, "preview %06lx %s", static_cast<unsigned long>(color), match);
    return line;
}

// The running program, and what the colour controls show.
struct ColorRun : Running {
    // Lines logged after the first `from` lines.
    std::vector<std::string> LinesSince(size_t from) const {
        std::vector<std::string> lines = folder.CoreLog();
        lines.erase(lines.begin(), lines.begin() + static_cast<long>(std::min(from, lines.size())));
        return lines;
    }
    // The text that the preview is expected to show from now on.
    void ExpectPreviewText(const char* text) const {
        HANDLE file = CreateFileA(folder.File("previewtext.txt").c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        REQUIRE(file != INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(file);
    }
    bool PreviewShows(COLORREF color, const char* match = "same") const {
        return WaitUntil([&] { return folder.LastLine("preview") == PreviewLine(color, match); });
    }
    // A visible dialog of the program other than its main window, or null.
    HWND ColorDialog() const {
        for (HWND dialog : FindProcessWindows(app.process.id, kDialogClass, nullptr, true))
            if (dialog != app.mainWindow) return dialog;
        return nullptr;
    }
    HWND WaitForColorDialog() const {
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = ColorDialog()) != nullptr; });
        return dialog;
    }
    HWND Menu() const { return FindProcessWindow(app.process.id, kMenuClass, nullptr, true); }
    // Ends a dialog and waits for it to go. What the program does next may still be under
    // way: it answers sent messages while it waits on the desktop's process.
    void CloseDialog(HWND dialog, int button) {
        PostMessageA(dialog, WM_COMMAND, button, 0);
        CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    std::string ArrowLook() const { return folder.LastLine("arrow"); }
};

} // namespace

TEST_CASE("a named colour command applies at once while the text is transparent") {
    ColorRun run;
    REQUIRE_FALSE(run.app.RestoreEnabled());
    run.ExpectPreviewText("红色");
    run.app.SendCommand(kRed);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0));
    CHECK(run.desktop.TextColor() == RGB(255, 0, 0));
    CHECK(run.app.RestoreEnabled());
    CHECK(run.PreviewShows(RGB(255, 0, 0)));

    SUBCASE("the same colour again is applied again") {
        const size_t calls = run.folder.CoreCalls().size();
        run.app.SendCommand(kRed);
        CHECK(run.folder.CoreCalls().size() == calls + 1);
    }
    SUBCASE("another colour is named in the preview") {
        run.ExpectPreviewText("白色");
        run.app.SendCommand(kWhite);
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 255, 255), 0));
        CHECK(run.PreviewShows(RGB(255, 255, 255)));
    }
    SUBCASE("the colour and its name are written at the next save") {
        run.app.Click(IDC_MAIN_BUTTON); // confirms and hides, which saves
        const std::string ini = run.folder.File("Quillmere.ini");
        char color[32] = "", name[64] = "";
        CHECK(WaitUntil([&] {
            GetPrivateProfileStringA("Saves", "TextColor", "", color, sizeof color, ini.c_str());
            return strcmp(color, "255") == 0;
        }));
        GetPrivateProfileStringA("Saves", "TextColorDesc", "", name, sizeof name, ini.c_str());
        CHECK(std::string(name) == "红色");
    }
}

TEST_CASE("a named colour command while opaque changes the colour but calls nothing") {
    ColorRun run;
    run.app.Click(IDC_OPAQUE);
    const size_t calls = run.folder.CoreCalls().size();
    const COLORREF background = run.desktop.TextBackground();
    run.ExpectPreviewText("蓝色");
    run.app.SendCommand(kBlue);
    CHECK(run.PreviewShows(RGB(0, 0, 255)));
    CHECK(run.folder.CoreCalls().size() == calls);
    CHECK(run.desktop.TextBackground() == background);
    CHECK(run.app.RestoreEnabled());
    // The new colour takes effect when the text is next made transparent.
    run.app.Click(IDC_TRANSPARENT);
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 255), 0));
}

TEST_CASE("the colour commands past the palette only enable the Restore button") {
    ColorRun run;
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

TEST_CASE("the arrow button opens the owner-drawn menu of 31 colours under itself") {
    ColorRun run;
    const size_t logStart = run.folder.CoreLog().size();
    run.app.PostCommand(IDC_DROPDOWN);
    HWND menu = nullptr;
    REQUIRE(WaitUntil([&] { return (menu = run.Menu()) != nullptr; }));
    CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow pushed"; }));
    CHECK(
        WaitUntil([&] { return run.folder.LastLine("drawmenu " + std::to_string(kWhite)) != ""; }));

    RECT arrow, menuRect;
    GetWindowRect(run.app.Control(IDC_DROPDOWN), &arrow);
    GetWindowRect(menu, &menuRect);
    CHECK(menuRect.left == arrow.left);
    CHECK(menuRect.top == arrow.bottom);

    CHECK(run.folder.LastLine("colormenu") ==
          "colormenu 31 31 0 " + std::to_string(kBlack) + " " + std::to_string(kWhite));
    int measured = 0;
    for (const std::string& line : run.LinesSince(logStart)) {
        unsigned id = 0, width = 0, height = 0;
        if (sscanf(line.c_str(), "measure %u %u %u", &id, &width, &height) != 3) continue;
        ++measured;
        CHECK(id >= kBlack);
        CHECK(id <= kWhite);
        CHECK(height == 15u);
        CHECK(width > 40u);
    }
    CHECK(measured >= 31);
    // Wider than the widest item plus the menu's border, and 31 items of 15 pixels high.
    CHECK(menuRect.bottom - menuRect.top >= 31 * 15);

    SUBCASE("closing it without a choice changes nothing but the arrow's look") {
        const std::vector<std::string> callsBefore = run.folder.CoreCalls();
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        CHECK(WaitUntil([&] { return !IsWindowVisible(menu) || !IsWindow(menu); }));
        CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow normal"; }));
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK_FALSE(run.app.RestoreEnabled());
    }
    SUBCASE("choosing the fifteenth entry with the keyboard applies red") {
        for (int i = 0; i < 15; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        CHECK(WaitUntil(
            [&] { return run.folder.LastLine("drawmenu " + std::to_string(kRed) + " 1") != ""; }));
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        CHECK(WaitUntil([&] {
            return run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0);
        }));
        CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow normal"; }));
        CHECK(run.app.RestoreEnabled());
    }
}

TEST_CASE("the colour dialog") {
    ColorRun run;
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);

    SUBCASE("cancel leaves everything as it was, an enabled Restore button too") {
        std::vector<std::string> callsBefore = run.folder.CoreCalls();
        run.CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK_FALSE(run.app.RestoreEnabled());

        run.app.SendCommand(kBlack);
        REQUIRE(run.app.RestoreEnabled());
        run.app.PostCommand(IDC_COLOR_BUTTON);
        REQUIRE((dialog = run.WaitForColorDialog()) != nullptr);
        callsBefore = run.folder.CoreCalls();
        run.CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK(run.app.RestoreEnabled());
    }
    SUBCASE("OK with the colour unchanged applies it again and enables Restore") {
        const COLORREF color = run.desktop.TextColor();
        char description[64];
        snprintf(description, sizeof description, "自定义颜色:(%d,%d,%d)", GetRValue(color),
                 GetGValue(color), GetBValue(color));
        run.ExpectPreviewText(description);
        const size_t calls = run.folder.CoreCalls().size();
        run.CloseDialog(dialog, IDOK);
        CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
        CHECK(run.folder.CoreCalls().size() == calls + 1);
        CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), color, 0));
        CHECK(run.PreviewShows(color));
    }
}

TEST_CASE("black from the dialog is described by its values, not as the named black") {
    ColorRun run;
    run.ExpectPreviewText("黑色");
    run.app.SendCommand(kBlack);
    REQUIRE(run.PreviewShows(RGB(0, 0, 0)));
    EnableWindow(run.app.Control(IDC_RESTORE), FALSE);
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    run.CloseDialog(dialog, IDOK);
    CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
    CHECK(run.PreviewShows(RGB(0, 0, 0), "different"));
    run.ExpectPreviewText("自定义颜色:(0,0,0)");
    InvalidateRect(run.app.mainWindow, nullptr, TRUE);
    CHECK(run.PreviewShows(RGB(0, 0, 0)));
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 0), 0));
}

TEST_CASE("a colour typed into the dialog becomes the text colour") {
    ColorRun run;
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    run.ExpectPreviewText("自定义颜色:(200,100,50)");
    // The dialog's red, green and blue edit boxes.
    SendMessageA(GetDlgItem(dialog, 706), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("200"));
    SendMessageA(GetDlgItem(dialog, 707), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("100"));
    SendMessageA(GetDlgItem(dialog, 708), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("50"));
    run.CloseDialog(dialog, IDOK);
    CHECK(WaitUntil([&] { return run.app.RestoreEnabled(); }));
    CHECK(run.folder.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(200, 100, 50), 0));
    CHECK(run.desktop.TextColor() == RGB(200, 100, 50));
    CHECK(run.PreviewShows(RGB(200, 100, 50)));
}

TEST_CASE("a double-click opens the colour dialog only on the preview") {
    ColorRun run;
    RECT preview, window;
    GetWindowRect(run.app.Control(IDC_PREVIEW), &preview);
    GetWindowRect(run.app.mainWindow, &window);
    SUBCASE("in the middle of the preview") {
        REQUIRE(
            MovePointer((preview.left + preview.right) / 2, (preview.top + preview.bottom) / 2));
    }
    SUBCASE("on the preview's sunken edge") {
        REQUIRE(MovePointer(preview.left, preview.top));
    }
    PostMessageA(run.app.mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);
    run.CloseDialog(dialog, IDCANCEL);
}

TEST_CASE("a double-click elsewhere in the window opens nothing") {
    ColorRun run;
    RECT preview;
    GetWindowRect(run.app.Control(IDC_PREVIEW), &preview);
    SUBCASE("just right of the preview") {
        REQUIRE(MovePointer(preview.right, preview.top + 2));
    }
    SUBCASE("just below the preview") {
        REQUIRE(MovePointer(preview.left + 2, preview.bottom));
    }
    PostMessageA(run.app.mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    Pause(700);
    CHECK(run.ColorDialog() == nullptr);
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
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace

TEST_CASE("with the real mouse") {
    ColorRun run;
    SUBCASE("a double-click on the preview reaches the main window and opens the dialog") {
        const POINT centre = CentreOf(run.app.Control(IDC_PREVIEW));
        REQUIRE(MovePointer(centre.x, centre.y));
        for (int click = 0; click < 2; ++click) {
            MouseButton(MOUSEEVENTF_LEFTDOWN);
            MouseButton(MOUSEEVENTF_LEFTUP);
        }
        HWND dialog = run.WaitForColorDialog();
        REQUIRE(dialog != nullptr);
        CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);
        run.CloseDialog(dialog, IDCANCEL);
    }
    SUBCASE("the arrow looks pushed while held down and while its menu is open") {
        const POINT centre = CentreOf(run.app.Control(IDC_DROPDOWN));
        REQUIRE(MovePointer(centre.x, centre.y));
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow pushed"; }));
        CHECK(run.Menu() == nullptr);
        MouseButton(MOUSEEVENTF_LEFTUP);
        HWND menu = nullptr;
        REQUIRE(WaitUntil([&] { return (menu = run.Menu()) != nullptr; }));
        // Released, the button repaints itself up before it reports the click; the menu's
        // opening then paints it pushed again.
        CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow pushed"; }));
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        CHECK(WaitUntil([&] { return run.ArrowLook() == "arrow normal"; }));
    }
}
