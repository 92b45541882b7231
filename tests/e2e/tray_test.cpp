// The notification-area icon: when it exists, check box 1003, the double-click, the
// right-click menu and its commands. The icon's presence is asked of Wine's real
// notification area; the menu's contents and the program's requests to the shell are
// logged from inside the program by the recording core module.
#include <doctest.h>

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "../../src/common/resource.h"
#include "../../src/tray/tray_icon.h"
#include "harness.h"

namespace {

// The program's first tray menu item while its window is visible and while it is hidden.
constexpr char kHideItem[] = "menu 0 40005 d 隐藏主窗口(&H)";
constexpr char kShowItem[] = "menu 0 40001 d 显示主窗口(&M)";

NOTIFYICONDATAA IconRecord(HWND trayWindow) {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = trayWindow;
    data.uID = 0;
    return data;
}

// The notification area accepts a change that changes nothing only for an icon it holds.
bool IconShown(HWND trayWindow) {
    NOTIFYICONDATAA data = IconRecord(trayWindow);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// The running program and its tray window.
struct TrayRun : Running {
    explicit TrayRun(const std::string& arguments = "") : Running(arguments) {
        REQUIRE(WaitUntil([&] { return (tray = app.TrayWindow()) != nullptr; }));
    }

    void Notify(UINT mouseMessage) const {
        PostMessageA(tray, kTrayNotifyMessage, 0, mouseMessage);
    }
    // What the program asked of the notification area, in order.
    std::vector<std::string> ShellRequests() const { return folder.Lines("shell "); }

    // Opens the tray menu as a right-click does, and returns its "menu open" line and its
    // items as the program saw them.
    std::vector<std::string> OpenMenu() const {
        const int opened = folder.CountLines("menu open");
        Notify(WM_RBUTTONDOWN);
        REQUIRE(WaitUntil([&] { return folder.CountLines("menu open") > opened; }));
        std::vector<std::string> items;
        int seen = 0;
        for (const std::string& line : folder.Lines("menu ")) {
            if (line.rfind("menu open", 0) == 0) seen++;
            if (seen == opened + 1 && line != "menu closed") items.push_back(line);
        }
        return items;
    }

    // A key typed into the open menu: an item's underlined letter, or Esc.
    void ChooseItem(char letter) const {
        PostMessageA(app.mainWindow, WM_CHAR, static_cast<WPARAM>(letter), 0);
        WaitForMenuToClose();
    }
    void CloseMenu() const {
        PostMessageA(app.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitForMenuToClose();
    }
    void WaitForMenuToClose() const {
        const int opened = folder.CountLines("menu open");
        CHECK(WaitUntil([&] { return folder.CountLines("menu closed") == opened; }));
    }

    HWND tray = nullptr;
};

// A window of the test's own that lies over the given one.
struct CoveringWindow {
    explicit CoveringWindow(HWND covered) {
        RECT rect;
        GetWindowRect(covered, &rect);
        handle =
            CreateWindowExA(WS_EX_TOPMOST, "STATIC", "cover", WS_POPUP | WS_VISIBLE, rect.left - 10,
                            rect.top - 10, rect.right - rect.left + 20, rect.bottom - rect.top + 20,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
    }
    ~CoveringWindow() { DestroyWindow(handle); }
    HWND handle;
};

} // namespace

TEST_CASE("the icon is there after a start, first without and then with its picture") {
    std::string arguments;
    SUBCASE("a normal start") {}
    SUBCASE("an AUTOSET start") {
        arguments = "/AUTOSET";
    }
    TrayRun run(arguments);
    CHECK(WaitUntil([&] { return IconShown(run.tray); }));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK_FALSE(IsWindowVisible(run.tray));

    REQUIRE(WaitUntil([&] { return run.ShellRequests().size() >= 2; }));
    const std::vector<std::string> requests = run.ShellRequests();
    CHECK(requests[0] == "shell add 0 7 noicon Quillmere  1.4");
    CHECK(requests[1] == "shell modify 0 2 icon");
    if (arguments.empty()) {
        CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
    } else {
        Pause(300);
        CHECK_FALSE(run.app.IsVisible());
        CHECK(run.folder.CountLines("shown #32770|") == 0);
    }
}

TEST_CASE("check box 1003 takes the icon away and brings it back") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return IconShown(run.tray); }));
    REQUIRE_FALSE(IsWindowEnabled(run.app.Control(IDC_RESTORE)));

    run.app.ClickCheckBox(IDC_TRAY_CHECK, false);
    CHECK_FALSE(IconShown(run.tray));
    CHECK_FALSE(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(IsWindowEnabled(run.app.Control(IDC_RESTORE)));
    CHECK(run.ShellRequests().back() == "shell delete 0");

    run.app.ClickCheckBox(IDC_TRAY_CHECK, true);
    CHECK(IconShown(run.tray));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(IsWindowEnabled(run.app.Control(IDC_RESTORE)));
    // The program icon is loaded by now, so the picture comes with the new icon at once.
    CHECK(run.ShellRequests().back() == "shell add 0 7 icon Quillmere  1.4");
    // Still the same hidden window.
    CHECK(run.app.TrayWindow() == run.tray);
}

TEST_CASE("a new taskbar gets the icon back while the user wants it") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return IconShown(run.tray); }));
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // As a crashed taskbar would, the icon goes away behind the program's back.
    NOTIFYICONDATAA data = IconRecord(run.tray);
    REQUIRE(Shell_NotifyIconA(NIM_DELETE, &data));
    REQUIRE_FALSE(IconShown(run.tray));

    SendMessageA(run.tray, taskbarCreated, 0, 0);
    CHECK(IconShown(run.tray));
    CHECK(run.ShellRequests().back() == "shell add 0 7 icon Quillmere  1.4");

    run.app.ClickCheckBox(IDC_TRAY_CHECK, false);
    SendMessageA(run.tray, taskbarCreated, 0, 0);
    CHECK_FALSE(IconShown(run.tray));
    CHECK(run.ShellRequests().back() == "shell delete 0");
}

TEST_CASE("a double-click on the icon hides and shows the main window") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return run.app.IsVisible(); }));
    SUBCASE("visible in front") {}
    SUBCASE("visible but covered by another window") {
        CoveringWindow cover(run.app.mainWindow);
        run.Notify(WM_LBUTTONDBLCLK);
        CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    }
    if (run.app.IsVisible()) {
        run.Notify(WM_LBUTTONDBLCLK);
        CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));
    }
    run.Notify(WM_LBUTTONDBLCLK);
    CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
    CHECK(WaitUntil([&] { return GetForegroundWindow() == run.app.mainWindow; }));

    // Other mouse messages do nothing.
    run.Notify(WM_LBUTTONDOWN);
    run.Notify(WM_LBUTTONUP);
    run.Notify(WM_RBUTTONUP);
    run.Notify(WM_MOUSEMOVE);
    Pause(300);
    CHECK(run.app.IsVisible());
    CHECK(run.folder.CountLines("menu open") == 0);
}

TEST_CASE("the tray menu as the right button opens it") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return run.app.IsVisible(); }));

    SUBCASE("while the window is visible its first item hides it, in bold") {
        const std::vector<std::string> items = run.OpenMenu();
        run.CloseMenu();
        REQUIRE(items.size() == 7);
        CHECK(items[0] == "menu open 6");
        CHECK(items[1] == kHideItem);
        CHECK(items[2] == "menu 1 1001 c 桌面文字变透明(&T)");
        CHECK(items[3] == "menu 2 3 - 桌面文字恢复为不透明(&R)");
        CHECK(items[4] == "menu 3 1015 - 关于(&A) ...");
        CHECK(items[5] == "menu 4 0 s ");
        CHECK(items[6] == "menu 5 40002 - 退出程序(&X)");
        CHECK(run.app.IsVisible());
    }
    SUBCASE("while the window is hidden its first item shows it, in bold") {
        run.app.SysCommand(SC_MINIMIZE);
        REQUIRE_FALSE(run.app.IsVisible());
        const std::vector<std::string> items = run.OpenMenu();
        run.CloseMenu();
        REQUIRE(items.size() == 7);
        CHECK(items[1] == kShowItem);
        CHECK_FALSE(run.app.IsVisible());
    }
    SUBCASE("the check mark follows the view, not the window's buttons") {
        // The view turns opaque behind the program's back: the buttons still say transparent.
        SendMessageA(run.desktop.View(), LVM_SETTEXTBKCOLOR, 0, RGB(0, 0, 0));
        std::vector<std::string> items = run.OpenMenu();
        run.CloseMenu();
        REQUIRE(items.size() == 7);
        CHECK(items[2] == "menu 1 1001 - 桌面文字变透明(&T)");
        CHECK(items[3] == "menu 2 3 c 桌面文字恢复为不透明(&R)");
        CHECK(run.app.IsChecked(IDC_TRANSPARENT));

        run.app.Click(IDC_OPAQUE);
        SendMessageA(run.desktop.View(), LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
        items = run.OpenMenu();
        run.CloseMenu();
        REQUIRE(items.size() == 7);
        CHECK(items[2] == "menu 1 1001 c 桌面文字变透明(&T)");
        CHECK(items[3] == "menu 2 3 - 桌面文字恢复为不透明(&R)");
        CHECK(run.app.IsChecked(IDC_OPAQUE));
    }
    // Closed without a choice: nothing happened, and the program runs on.
    CHECK(run.app.IsRunning());
}

TEST_CASE("the tray menu's commands act as the main window's own") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return run.app.IsVisible(); }));

    run.OpenMenu();
    run.ChooseItem('h');
    CHECK(WaitUntil([&] { return !run.app.IsVisible(); }));

    run.OpenMenu();
    run.ChooseItem('m');
    CHECK(WaitUntil([&] { return run.app.IsVisible(); }));

    run.OpenMenu();
    run.ChooseItem('r');
    CHECK(WaitUntil([&] { return run.desktop.TextBackground() == GetSysColor(COLOR_BACKGROUND); }));
    CHECK(run.app.IsChecked(IDC_OPAQUE));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "退出程序(&X)");
    CHECK(run.folder.CoreCalls().back() == "undo");

    run.OpenMenu();
    run.ChooseItem('t');
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }));
    CHECK(run.app.IsChecked(IDC_TRANSPARENT));
    CHECK(run.app.ControlText(IDC_MAIN_BUTTON) == "确认设置(&O)");
    CHECK(run.folder.LastCoreCall().rfind("apply ", 0) == 0);
    CHECK(run.app.IsRunning());
}

TEST_CASE("the About command opens the box over a hidden main window") {
    TrayRun run;
    run.app.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(run.app.IsVisible());

    run.OpenMenu();
    run.ChooseItem('a');
    HWND about = nullptr;
    REQUIRE(WaitUntil([&] {
        about = FindProcessWindow(run.app.process.id, kDialogClass, "关于 Quillmere...", true);
        return about != nullptr;
    }));
    CHECK(GetWindow(about, GW_OWNER) == run.app.mainWindow);
    CHECK_FALSE(run.app.IsVisible());
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    CHECK(WaitUntil([&] { return !IsWindow(about); }));
    CHECK(run.app.IsRunning());
}

TEST_CASE("the exit command ends a hidden program and takes the icon away") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return IconShown(run.tray); }));
    run.app.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(run.app.IsVisible());

    run.OpenMenu();
    PostMessageA(run.app.mainWindow, WM_CHAR, 'x', 0);
    REQUIRE(run.app.ExitCode() == 0);
    CHECK(run.ShellRequests().back() == "shell delete 0");
    CHECK_FALSE(IconShown(run.tray));
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
    CHECK(run.folder.CountLines("shown ") == 0);

    App second(run.folder);
    REQUIRE(second.ExitCode() == 0);
    CHECK(WaitUntil([&] { return hidden.IsVisible(); }));
}
