// The notification-area icon: when it exists, check box 1003, the double-click, the
// right-click menu and its commands. The icon's presence is asked of Wine's real
// notification area; the menu's contents and the program's requests to the shell are
// logged from inside the program by the recording core module.
#include <doctest.h>

#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

constexpr UINT kTrayNotifyMessage = 1146;
constexpr char kTrayClass[] = "_TrayIconWnd_CLASS";
constexpr char kTrayTitle[] = "TrayIconWnd";

// The program's first tray menu item while its window is visible and while it is hidden.
constexpr char kHideItem[] = "menu 0 40005 d 隐藏主窗口(&H)";
constexpr char kShowItem[] = "menu 0 40001 d 显示主窗口(&M)";

HWND FindTrayWindow(DWORD processId) {
    return FindProcessWindow(processId, kTrayClass, kTrayTitle);
}

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

bool StartsWith(const std::string& line, const char* prefix) {
    return line.rfind(prefix, 0) == 0;
}

int CountLines(const std::vector<std::string>& lines, const char* prefix) {
    int count = 0;
    for (const std::string& line : lines) count += StartsWith(line, prefix);
    return count;
}

// The "shell ..." lines: what the program asked of the notification area, in order.
std::vector<std::string> ShellRequests(const AppFolder& folder) {
    std::vector<std::string> requests;
    for (const std::string& line : folder.CoreLog())
        if (StartsWith(line, "shell ")) requests.push_back(line);
    return requests;
}

// A running program with its tray window, on a fresh simulated desktop.
struct TrayRun {
    explicit TrayRun(const std::string& arguments = "") : app(folder, arguments) {
        REQUIRE(app.WaitForMainWindow());
        REQUIRE(WaitUntil([&] { return (tray = FindTrayWindow(app.process.id)) != nullptr; }));
        REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }));
    }

    void Notify(UINT mouseMessage) const {
        PostMessageA(tray, kTrayNotifyMessage, 0, mouseMessage);
    }

    // Opens the tray menu as a right-click does, and returns its "menu open" line and its
    // items as the program saw them.
    std::vector<std::string> OpenMenu() const {
        const int opened = CountLines(folder.CoreLog(), "menu open");
        Notify(WM_RBUTTONDOWN);
        REQUIRE(WaitUntil([&] { return CountLines(folder.CoreLog(), "menu open") > opened; }));
        std::vector<std::string> items;
        int seen = 0;
        for (const std::string& line : folder.CoreLog()) {
            if (StartsWith(line, "menu open")) seen++;
            if (seen == opened + 1 && StartsWith(line, "menu ") && line != "menu closed")
                items.push_back(line);
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
        const std::vector<std::string> log = folder.CoreLog();
        const int opened = CountLines(log, "menu open");
        CHECK(WaitUntil([&] { return CountLines(folder.CoreLog(), "menu closed") == opened; }));
    }

    void ClickTrayCheckBox(bool checked) const {
        SendMessageA(app.Control(IDC_TRAY_CHECK), BM_SETCHECK,
                     checked ? BST_CHECKED : BST_UNCHECKED, 0);
        app.Click(IDC_TRAY_CHECK);
    }

    SimDesktop desktop;
    AppFolder folder;
    App app;
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

    REQUIRE(WaitUntil([&] { return ShellRequests(run.folder).size() >= 2; }));
    const std::vector<std::string> requests = ShellRequests(run.folder);
    CHECK(requests[0] == "shell add 0 7 noicon Quillmere  1.4");
    CHECK(requests[1] == "shell modify 0 2 icon");
    if (arguments.empty()) {
        CHECK(WaitUntil([&] { return run.app.IsVisible(); }));
    } else {
        Pause(300);
        CHECK_FALSE(run.app.IsVisible());
        CHECK(CountLines(run.folder.CoreLog(), "shown #32770|") == 0);
    }
}

TEST_CASE("check box 1003 takes the icon away and brings it back") {
    TrayRun run;
    REQUIRE(WaitUntil([&] { return IconShown(run.tray); }));
    REQUIRE_FALSE(IsWindowEnabled(run.app.Control(IDC_RESTORE)));

    run.ClickTrayCheckBox(false);
    CHECK_FALSE(IconShown(run.tray));
    CHECK_FALSE(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(IsWindowEnabled(run.app.Control(IDC_RESTORE)));
    CHECK(ShellRequests(run.folder).back() == "shell delete 0");

    run.ClickTrayCheckBox(true);
    CHECK(IconShown(run.tray));
    CHECK(run.app.IsChecked(IDC_TRAY_CHECK));
    CHECK(IsWindowEnabled(run.app.Control(IDC_RESTORE)));
    // The program icon is loaded by now, so the picture comes with the new icon at once.
    CHECK(ShellRequests(run.folder).back() == "shell add 0 7 icon Quillmere  1.4");
    // Still the same hidden window.
    CHECK(FindTrayWindow(run.app.process.id) == run.tray);
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
    CHECK(ShellRequests(run.folder).back() == "shell add 0 7 icon Quillmere  1.4");

    run.ClickTrayCheckBox(false);
    SendMessageA(run.tray, taskbarCreated, 0, 0);
    CHECK_FALSE(IconShown(run.tray));
    CHECK(ShellRequests(run.folder).back() == "shell delete 0");
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
    CHECK(CountLines(run.folder.CoreLog(), "menu open") == 0);
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
    CHECK(StartsWith(run.folder.CoreCalls().back(), "apply "));
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
        about = FindProcessWindow(run.app.process.id, "#32770", "关于 Quillmere...");
        return about && IsWindowVisible(about);
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
    DWORD exitCode = 99;
    REQUIRE(run.app.WaitForExit(kDefaultWaitMs, &exitCode));
    CHECK(exitCode == 0);
    CHECK(ShellRequests(run.folder).back() == "shell delete 0");
    CHECK_FALSE(IconShown(run.tray));
    CHECK(run.folder.CoreCalls().back() == "undo");
}

TEST_CASE("with the icon switched off an AUTOSET start shows nothing") {
    SimDesktop desktop;
    AppFolder folder;
    WritePrivateProfileStringA("Saves", "ShowTrayIcon", "0", folder.File("Quillmere.ini").c_str());
    WritePrivateProfileStringA("Main", "BeFirst", "0", folder.File("Quillmere.ini").c_str());
    App hidden(folder, "/AUTOSET");
    REQUIRE(hidden.WaitForMainWindow());
    Pause(1000);
    CHECK_FALSE(hidden.IsVisible());
    HWND tray = FindTrayWindow(hidden.process.id);
    CHECK((tray == nullptr || !IconShown(tray)));
    CHECK(CountLines(folder.CoreLog(), "shown ") == 0);

    App second(folder);
    DWORD exitCode = 99;
    REQUIRE(second.WaitForExit(kDefaultWaitMs, &exitCode));
    CHECK(exitCode == 0);
    CHECK(WaitUntil([&] { return hidden.IsVisible(); }));
}
