// The named colour menu, the preview and the colour dialog of the running program.
#include <doctest.h>

#include <string.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kMenuClass[] = "#32768";

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (processId != search->processId || window == search->except || !IsWindowVisible(window) ||
        strcmp(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible top-level window of the process with this class, other than `except`.
HWND FindVisible(DWORD processId, const char* className, HWND except = nullptr) {
    WindowSearch search = {processId, className, except, nullptr};
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The preview as the recording core module last saw it painted, in the colour given,
// showing the text that ExpectPreviewText named.
std::string PreviewLine(COLORREF color, const char* match = "same") {
    char line[48];
    snprintf(line, sizeof line, "preview %06lx %s", static_cast<unsigned long>(color), match);
    return line;
}

// A visible program on a fresh simulated desktop, text transparent.
struct Running {
    Running() : app(folder) {
        REQUIRE(app.WaitForMainWindow());
        REQUIRE(WaitUntil([&] { return app.IsVisible() && desktop.TextIsTransparent(); }));
    }
    std::string LastCoreCall() const {
        const std::vector<std::string> calls = folder.CoreCalls();
        return calls.empty() ? "" : calls.back();
    }
    // The last logged line that starts with `prefix`, or "".
    std::string LastLine(const std::string& prefix) const {
        const std::vector<std::string> lines = folder.CoreLog();
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            if (line->rfind(prefix, 0) == 0) return *line;
        return "";
    }
    size_t LogSize() const { return folder.CoreLog().size(); }
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
        return WaitUntil([&] { return LastLine("preview") == PreviewLine(color, match); });
    }
    bool RestoreEnabled() const { return IsWindowEnabled(app.Control(IDC_RESTORE)) != FALSE; }
    HWND WaitForColorDialog() const {
        HWND dialog = nullptr;
        WaitUntil([&] {
            dialog = FindVisible(app.process.id, kDialogClass, app.mainWindow);
            return dialog != nullptr;
        });
        return dialog;
    }
    // Ends a dialog and waits for it to go. What the program does next may still be under
    // way: it answers sent messages while it waits on the desktop's process.
    void CloseDialog(HWND dialog, int button) {
        PostMessageA(dialog, WM_COMMAND, button, 0);
        CHECK(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    SimDesktop desktop;
    AppFolder folder;
    App app;
};

} // namespace

TEST_CASE("a named colour command applies at once while the text is transparent") {
    Running run;
    REQUIRE_FALSE(run.RestoreEnabled());
    run.ExpectPreviewText("红色");
    run.app.SendCommand(7014);
    CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0));
    CHECK(run.desktop.TextColor() == RGB(255, 0, 0));
    CHECK(run.RestoreEnabled());
    CHECK(run.PreviewShows(RGB(255, 0, 0)));

    SUBCASE("the same colour again is applied again") {
        const size_t calls = run.folder.CoreCalls().size();
        run.app.SendCommand(7014);
        CHECK(run.folder.CoreCalls().size() == calls + 1);
    }
    SUBCASE("another colour is named in the preview") {
        run.ExpectPreviewText("白色");
        run.app.SendCommand(7030);
        CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 255, 255), 0));
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
    Running run;
    run.app.Click(IDC_OPAQUE);
    const size_t calls = run.folder.CoreCalls().size();
    const COLORREF background = run.desktop.TextBackground();
    run.ExpectPreviewText("蓝色");
    run.app.SendCommand(7011);
    CHECK(run.PreviewShows(RGB(0, 0, 255)));
    CHECK(run.folder.CoreCalls().size() == calls);
    CHECK(run.desktop.TextBackground() == background);
    CHECK(run.RestoreEnabled());
    // The new colour takes effect when the text is next made transparent.
    run.app.Click(IDC_TRANSPARENT);
    CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 255), 0));
}

TEST_CASE("commands 7031 to 7099 only enable the Restore button") {
    Running run;
    const COLORREF color = run.desktop.TextColor();
    const std::vector<std::string> callsBefore = run.folder.CoreCalls();
    for (WPARAM command : {7031, 7050, 7099}) {
        CAPTURE(command);
        EnableWindow(run.app.Control(IDC_RESTORE), FALSE);
        run.app.SendCommand(command);
        CHECK(run.RestoreEnabled());
    }
    CHECK(run.folder.CoreCalls() == callsBefore);
    CHECK(run.desktop.TextColor() == color);
}

TEST_CASE("the arrow button opens the owner-drawn menu of 31 colours under itself") {
    Running run;
    const size_t logStart = run.LogSize();
    run.app.PostCommand(IDC_DROPDOWN);
    HWND menu = nullptr;
    REQUIRE(
        WaitUntil([&] { return (menu = FindVisible(run.app.process.id, kMenuClass)) != nullptr; }));
    CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow pushed"; }));
    CHECK(WaitUntil([&] { return run.LastLine("drawmenu 7030") != ""; }));

    RECT arrow, menuRect;
    GetWindowRect(run.app.Control(IDC_DROPDOWN), &arrow);
    GetWindowRect(menu, &menuRect);
    CHECK(menuRect.left == arrow.left);
    CHECK(menuRect.top == arrow.bottom);

    CHECK(run.LastLine("colormenu") == "colormenu 31 31 0 7000 7030");
    int measured = 0;
    for (const std::string& line : run.LinesSince(logStart)) {
        unsigned id = 0, width = 0, height = 0;
        if (sscanf(line.c_str(), "measure %u %u %u", &id, &width, &height) != 3) continue;
        ++measured;
        CHECK(id >= 7000u);
        CHECK(id <= 7030u);
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
        CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow normal"; }));
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK_FALSE(run.RestoreEnabled());
    }
    SUBCASE("choosing the fifteenth entry with the keyboard applies red") {
        for (int i = 0; i < 15; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        CHECK(WaitUntil([&] { return run.LastLine("drawmenu 7014 1") != ""; }));
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        CHECK(WaitUntil([&] {
            return run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(255, 0, 0), 0);
        }));
        CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow normal"; }));
        CHECK(run.RestoreEnabled());
    }
}

TEST_CASE("the colour dialog") {
    Running run;
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);

    SUBCASE("cancel leaves everything as it was") {
        const std::vector<std::string> callsBefore = run.folder.CoreCalls();
        run.CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK_FALSE(run.RestoreEnabled());
    }
    SUBCASE("cancel keeps an enabled Restore button enabled") {
        run.CloseDialog(dialog, IDCANCEL);
        run.app.SendCommand(7000);
        REQUIRE(run.RestoreEnabled());
        run.app.PostCommand(IDC_COLOR_BUTTON);
        dialog = run.WaitForColorDialog();
        REQUIRE(dialog != nullptr);
        const std::vector<std::string> callsBefore = run.folder.CoreCalls();
        run.CloseDialog(dialog, IDCANCEL);
        Pause(300);
        CHECK(run.folder.CoreCalls() == callsBefore);
        CHECK(run.RestoreEnabled());
    }
    SUBCASE("OK with the colour unchanged applies it again and enables Restore") {
        const COLORREF color = run.desktop.TextColor();
        char description[64];
        snprintf(description, sizeof description, "自定义颜色:(%d,%d,%d)", GetRValue(color),
                 GetGValue(color), GetBValue(color));
        run.ExpectPreviewText(description);
        const size_t calls = run.folder.CoreCalls().size();
        run.CloseDialog(dialog, IDOK);
        CHECK(WaitUntil([&] { return run.RestoreEnabled(); }));
        CHECK(run.folder.CoreCalls().size() == calls + 1);
        CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), color, 0));
        CHECK(run.PreviewShows(color));
    }
}

TEST_CASE("black from the dialog is described by its values, not as the named black") {
    Running run;
    run.ExpectPreviewText("黑色");
    run.app.SendCommand(7000);
    REQUIRE(run.PreviewShows(RGB(0, 0, 0)));
    EnableWindow(run.app.Control(IDC_RESTORE), FALSE);
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    run.CloseDialog(dialog, IDOK);
    CHECK(WaitUntil([&] { return run.RestoreEnabled(); }));
    CHECK(run.PreviewShows(RGB(0, 0, 0), "different"));
    run.ExpectPreviewText("自定义颜色:(0,0,0)");
    InvalidateRect(run.app.mainWindow, nullptr, TRUE);
    CHECK(run.PreviewShows(RGB(0, 0, 0)));
    CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(0, 0, 0), 0));
}

TEST_CASE("a colour typed into the dialog becomes the text colour") {
    Running run;
    run.app.PostCommand(IDC_COLOR_BUTTON);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    run.ExpectPreviewText("自定义颜色:(200,100,50)");
    // The dialog's red, green and blue edit boxes.
    SendMessageA(GetDlgItem(dialog, 706), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("200"));
    SendMessageA(GetDlgItem(dialog, 707), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("100"));
    SendMessageA(GetDlgItem(dialog, 708), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("50"));
    run.CloseDialog(dialog, IDOK);
    CHECK(WaitUntil([&] { return run.RestoreEnabled(); }));
    CHECK(run.LastCoreCall() == ApplyLine(run.desktop.View(), RGB(200, 100, 50), 0));
    CHECK(run.desktop.TextColor() == RGB(200, 100, 50));
    CHECK(run.PreviewShows(RGB(200, 100, 50)));
}

TEST_CASE("a double-click opens the colour dialog only on the preview") {
    Running run;
    RECT preview, window;
    GetWindowRect(run.app.Control(IDC_PREVIEW), &preview);
    GetWindowRect(run.app.mainWindow, &window);
    SUBCASE("in the middle of the preview") {
        SetCursorPos((preview.left + preview.right) / 2, (preview.top + preview.bottom) / 2);
    }
    SUBCASE("on the preview's sunken edge") {
        SetCursorPos(preview.left, preview.top);
    }
    PostMessageA(run.app.mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    HWND dialog = run.WaitForColorDialog();
    REQUIRE(dialog != nullptr);
    CHECK(GetWindow(dialog, GW_OWNER) == run.app.mainWindow);
    run.CloseDialog(dialog, IDCANCEL);
}

TEST_CASE("a double-click elsewhere in the window opens nothing") {
    Running run;
    RECT preview;
    GetWindowRect(run.app.Control(IDC_PREVIEW), &preview);
    SUBCASE("just right of the preview") {
        SetCursorPos(preview.right, preview.top + 2);
    }
    SUBCASE("just below the preview") {
        SetCursorPos(preview.left + 2, preview.bottom);
    }
    PostMessageA(run.app.mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    Pause(700);
    CHECK(FindVisible(run.app.process.id, kDialogClass, run.app.mainWindow) == nullptr);
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
    Running run;
    SUBCASE("a double-click on the preview reaches the main window and opens the dialog") {
        const POINT centre = CentreOf(run.app.Control(IDC_PREVIEW));
        SetCursorPos(centre.x, centre.y);
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
        SetCursorPos(centre.x, centre.y);
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow pushed"; }));
        CHECK(FindVisible(run.app.process.id, kMenuClass) == nullptr);
        MouseButton(MOUSEEVENTF_LEFTUP);
        HWND menu = nullptr;
        REQUIRE(WaitUntil(
            [&] { return (menu = FindVisible(run.app.process.id, kMenuClass)) != nullptr; }));
        // Released, the button repaints itself up before it reports the click; the menu's
        // opening then paints it pushed again.
        CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow pushed"; }));
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        CHECK(WaitUntil([&] { return run.LastLine("arrow") == "arrow normal"; }));
    }
}
