// The notification-area icon: when it exists, check box 1003, the double-click, the
// right-click menu and its commands. The icon's presence is asked of Wine's real
// notification area; the menu's contents and the program's requests to the shell are
// logged from inside the program by the recording core module.
#include <doctest.h>

#include <stdio.h>

#include <windows.h>
#include <shellapi.h>

#include "../../src/tray/tray_icon.h"
#include "harness.h"

namespace {

// The request that adds the icon with its picture.
constexpr char kAddWithPicture[] = "shell add 0 7 icon Quillmere  1.4";

// A tray menu item as the recording core module logs it.
std::string Item(int position, int id, const char* marks, const char* text) {
    return Format("menu %d %d %s %s", position, id, marks, text);
}
// The menu's two state items, with their marks; and those of a menu that was opened.
std::vector<std::string> StateItems(const char* transparent, const char* opaque) {
    return {Item(1, IDC_TRANSPARENT, transparent, "桌面文字变透明(&T)"),
            Item(2, IDC_OPAQUE, opaque, "桌面文字恢复为不透明(&R)")};
}
std::vector<std::string> States(const std::vector<std::string>& items) {
    return {items[2], items[3]};
}

// A request about the program's icon, made to the notification area as the test's own.
bool IconRequest(HWND trayWindow, DWORD message) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = trayWindow;
    return Shell_NotifyIconA(message, &data) != FALSE;
}
// The notification area accepts a change that changes nothing only for an icon it holds.
bool IconShown(HWND trayWindow) {
    return IconRequest(trayWindow, NIM_MODIFY);
}

void Notify(HWND tray, UINT mouseMessage) {
    PostMessageA(tray, kTrayNotifyMessage, 0, mouseMessage);
}

// Opens the tray menu as a right-click does, and returns its "menu open" line and its
// items as the program saw them.
std::vector<std::string> OpenMenu(const Running& run, HWND tray) {
    const int opened = run.folder.CountLines("menu open");
    Notify(tray, WM_RBUTTONDOWN);
    REQUIRE(WaitUntil([&] { return run.folder.CountLines("menu open") > opened; }));
    // The items are logged one by one after the "menu open <count>" line.
    std::vector<std::string> items;
    WaitUntil([&] {
        items.clear();
        int seen = 0;
        for (const std::string& line : run.folder.Lines("menu ")) {
            if (line.rfind("menu open", 0) == 0) seen++;
            if (seen == opened + 1 && line != "menu closed") items.push_back(line);
        }
        int count = -1;
        return sscanf(items[0].c_str(), "menu open %d", &count) == 1 &&
               items.size() == static_cast<size_t>(count) + 1;
    });
    return items;
}

// A key typed into the open menu: an item's underlined letter, or Esc; waits for the menu
// to close.
void ChooseItem(const Running& run, WPARAM key, UINT message = WM_CHAR) {
    PostMessageA(run.app.mainWindow, message, key, 0);
    const int opened = run.folder.CountLines("menu open");
    CHECK(WaitUntil([&] { return run.folder.CountLines("menu closed") == opened; }));
}

// The items of the tray menu, opened and closed again without a choice.
std::vector<std::string> MenuItems(const Running& run, HWND tray) {
    const std::vector<std::string> items = OpenMenu(run, tray);
    ChooseItem(run, VK_ESCAPE, WM_KEYDOWN);
    REQUIRE(items.size() == 7);
    return items;
}

// A window of the test's own that lies over the given one.
struct CoveringWindow {
    explicit CoveringWindow(HWND covered) {
        const RECT rect = WindowRect(covered);
        handle =
            CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, rect.left - 10,
                            rect.top - 10, rect.right - rect.left + 20, rect.bottom - rect.top + 20,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
    }
    ~CoveringWindow() { DestroyWindow(handle); }
    HWND handle;
};


// Opens the tray menu and chooses an item by its underlined letter.
void Choose(const Running& run, HWND tray, char letter) {
    OpenMenu(run, tray);
    ChooseItem(run, static_cast<WPARAM>(letter));
}

} // namespace

TEST_CASE("the icon is there after a start, first without and then with its picture") {
    std::string arguments;
    SUBCASE("a normal start") {}
    SUBCASE("an AUTOSET start") {
        arguments = "/AUTOSET";
    }
    Running run(arguments);
    HWND tray = run.WaitForTray();
    CHECK(WaitUntil([&] { return IconShown(tray); }));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK_FALSE(IsWindowVisible(tray));

    REQUIRE(WaitUntil([&] { return run.folder.Lines("shell ").size() >= 2; }));
    const std::vector<std::string> requests = run.folder.Lines("shell ");
    CHECK(requests[0] == "shell add 0 7 noicon Quillmere  1.4");
    CHECK(requests[1] == "shell modify 0 2 icon");
    // Icon 103 at 96 DPI, as loaded for a window (32 pixels); at 144 the images drawn for
    // the small and big icons of that DPI.
    const bool at96 = TestDpi() == 96;
    CHECK(run.folder.LastLine("icon tray") == Format("icon tray %d", at96 ? 32 : 24));
    CHECK(run.folder.LastLine("icon small") == Format("icon small %d", at96 ? 32 : 24));
    CHECK(run.folder.LastLine("icon big") == Format("icon big %d", at96 ? 32 : 48));
    if (arguments.empty()) {
        CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
    } else {
        Pause(300);
        CHECK_FALSE(run.app.IsVisible());
        CHECK(run.folder.CountLines("shown #32770|") == 0);
    }
}

TEST_CASE("check box 1003 and a new taskbar take the icon away and bring it back") {
    Running run;
    HWND tray = run.WaitForTray();
    REQUIRE(WaitUntil([&] { return IconShown(tray); }));
    REQUIRE_FALSE(run.app.RestoreEnabled());

    run.app.ClickCheckBox(IDC_TRAY_CHECK, false);
    CHECK_FALSE(IconShown(tray));
    CHECK_FALSE(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(run.app.RestoreEnabled());
    CHECK(run.folder.LastLine("shell ") == "shell delete 0");

    run.app.ClickCheckBox(IDC_TRAY_CHECK, true);
    CHECK(IconShown(tray));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(run.app.RestoreEnabled());
    // The program icon is loaded by now, so the picture comes with the new icon at once.
    CHECK(run.folder.LastLine("shell ") == kAddWithPicture);
    // Still the same hidden window.
    CHECK(run.app.TrayWindow() == tray);

    // As a crashed taskbar would, the icon goes away behind the program's back; a new
    // taskbar gets it back while the user wants it, and not once he does not.
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    REQUIRE(IconRequest(tray, NIM_DELETE));
    REQUIRE_FALSE(IconShown(tray));
    const size_t requests = run.folder.Lines("shell ").size();
    SendMessageA(tray, taskbarCreated, 0, 0);
    CHECK(IconShown(tray));
    CHECK(run.folder.Lines("shell ").size() == requests + 1);
    CHECK(run.folder.LastLine("shell ") == kAddWithPicture);

    run.app.ClickCheckBox(IDC_TRAY_CHECK, false);
    SendMessageA(tray, taskbarCreated, 0, 0);
    CHECK_FALSE(IconShown(tray));
    CHECK(run.folder.LastLine("shell ") == "shell delete 0");
}

TEST_CASE("a double-click on the icon hides and shows the main window") {
    Running run;
    HWND tray = run.WaitForTray();
    SUBCASE("visible in front") {}
    SUBCASE("visible but covered by another window") {
        CoveringWindow cover(run.app.mainWindow);
        Notify(tray, WM_LBUTTONDBLCLK);
        CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    }
    if (run.app.IsVisible()) {
        Notify(tray, WM_LBUTTONDBLCLK);
        CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    }
    Notify(tray, WM_LBUTTONDBLCLK);
    CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
    CHECK(WaitUntil([&] { return GetForegroundWindow() == run.app.mainWindow; }));

    // Other mouse messages do nothing.
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE})
        Notify(tray, message);
    Pause(300);
    CHECK(run.app.IsVisible());
    CHECK(run.folder.CountLines("menu open") == 0);
}

TEST_CASE("the tray menu as the right button opens it") {
    Running run;
    HWND tray = run.WaitForTray();
    // While the window is visible its first item hides it, in bold.
    std::vector<std::string> items = MenuItems(run, tray);
    CHECK(items[0] == "menu open 6");
    CHECK(items[1] == Item(0, IDM_HIDE_WINDOW, "d", "隐藏主窗口(&H)"));
    CHECK(States(items) == StateItems("c", "-"));
    CHECK(items[4] == Item(3, IDC_ABOUT, "-", "关于(&A) ..."));
    CHECK(items[5] == Item(4, 0, "s", ""));
    CHECK(items[6] == Item(5, IDM_EXIT, "-", "退出程序(&X)"));
    CHECK(run.app.IsVisible());

    // The check mark follows the view, not the window's buttons: the view turns opaque
    // behind the program's back, and the buttons still say transparent; and back.
    SendMessageA(run.desktop.View(), LVM_SETTEXTBKCOLOR, 0, RGB(0, 0, 0));
    CHECK(States(MenuItems(run, tray)) == StateItems("-", "c"));
    CHECK(run.app.IsChecked(IDC_TRANSPARENT));
    run.app.Click(IDC_OPAQUE);
    SendMessageA(run.desktop.View(), LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    CHECK(States(MenuItems(run, tray)) == StateItems("c", "-"));
    CHECK(run.app.IsChecked(IDC_OPAQUE));

    // While the window is hidden its first item shows it, in bold.
    run.app.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(run.app.IsVisible());
    CHECK(MenuItems(run, tray)[1] == Item(0, IDM_SHOW_WINDOW, "d", "显示主窗口(&M)"));
    CHECK_FALSE(run.app.IsVisible());
    // Closed without a choice each time: nothing happened, and the program runs on.
    CHECK(run.app.IsRunning());
}

TEST_CASE("the tray menu hides and shows the main window") {
    Running run;
    HWND tray = run.WaitForTray();
    Choose(run, tray, 'h');
    CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    Choose(run, tray, 'm');
    CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
}

TEST_CASE("the tray menu makes the text opaque and transparent as the window's buttons do") {
    Running run;
    HWND tray = run.WaitForTray();
    Choose(run, tray, 'r');
    CHECK(WaitUntil([&] { return run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND); }));
    CHECK(run.app.IsChecked(IDC_OPAQUE));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "退出程序(&X)");
    CHECK(run.folder.CoreCalls().back() == "undo");

    Choose(run, tray, 't');
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }));
    CHECK(run.app.IsChecked(IDC_TRANSPARENT));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "确认设置(&O)");
    CHECK(run.folder.LastCoreCall().rfind("apply ", 0) == 0);
    CHECK(run.app.IsRunning());
}

TEST_CASE("the tray menu's About opens the box over a hidden main window, which stays hidden") {
    Running run;
    HWND tray = run.HideToTray();
    Choose(run, tray, 'a');
    HWND about = run.WaitForDialog(kAboutTitle);
    CHECK(GetWindow(about, GW_OWNER) == run.app.mainWindow);
    CHECK_FALSE(run.app.IsVisible());
    CHECK(run.folder.LastLine("about link font ").rfind("about link font underlined=1 ", 0) == 0);
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(WaitUntil([&] { return !IsWindow(about); }));
    CHECK(run.folder.LastLine("about end ") == "about end 2");
    CHECK_FALSE(run.app.IsVisible());
    CHECK(run.app.IsRunning());
}

TEST_CASE("the tray menu's exit ends a hidden program and takes the icon away") {
    Running run;
    HWND tray = run.HideToTray();
    REQUIRE(WaitUntil([&] { return IconShown(tray); }));
    OpenMenu(run, tray);
    PostMessageA(run.app.mainWindow, WM_CHAR, 'x', 0);
    REQUIRE(run.app.ExitCode() == 0);
    CHECK(run.folder.LastLine("shell ") == "shell delete 0");
    CHECK_FALSE(IconShown(tray));
    CHECK(run.folder.CoreCalls().back() == "undo");
}

TEST_CASE("with the icon switched off an AUTOSET start shows nothing") {
    Running run("/AUTOSET", "", [](const SimDesktop&, const AppFolder& folder) {
        folder.Store("ShowTrayIcon", "0");
        folder.NotFirstRun();
    });
    const App& hidden = run.app;
    // Its first save follows the start: by then the window would have been shown.
    CHECK(WaitUntil([&] { return run.folder.Saved("ShadowDist") != kNone; }));
    CHECK_FALSE(hidden.IsVisible());
    HWND tray = hidden.TrayWindow();
    CHECK((tray == nullptr || !IconShown(tray)));
    CHECK(run.folder.CountLines("shown #32770|") == 0);

    App second(run.folder);
    REQUIRE(second.ExitCode() == 0);
    CHECK(WaitUntil([&] { return hidden.IsVisible(); }));
}
