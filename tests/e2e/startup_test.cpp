// Start-up, the single-instance rule, and the ways a start can fail.
#include <doctest.h>

#include <memory>

#include "harness.h"

namespace {

constexpr char kCoreMissingText[] =
    "无法装载核心模块 QuillCore.dll,\n该文件可能损坏或被删除，请重新安装本软件.";
constexpr char kNoDesktopText[] = "无法找到桌面,请与开发者联系";

} // namespace

// Decoy desktops are passed over; the trees of today's shells are found.
TEST_CASE("a start on every desktop tree shows the collapsed window, the text transparent") {
    for (const char* tree : {"", "/decoys", "/workerw", "/24h2"}) {
        CAPTURE(tree);
        Running run("", tree);
        const App& app = run.app;
        CHECK(Contains(run.folder.CoreCalls(),
                       ApplyLine(run.desktop.View(), run.desktop.TextColor(), 0)));
        CHECK(FindErrorBox(app.process.id) == nullptr);
        CHECK(app.IsChecked(IDC_TRANSPARENT));
        CHECK_FALSE(app.IsChecked(IDC_OPAQUE));
        CHECK(app.ControlText(IDC_MAIN_BUTTON) == "确认设置(&O)");
        CHECK(app.ControlText(IDC_ADVANCED) == "高级(&V)>>");
        CHECK(run.folder.CountLines(std::string("shown #32770|") + kMainWindowTitle) >= 1);
        CHECK(WindowRect(app.mainWindow).bottom == WindowRect(app.Control(IDC_COLLAPSED_MARK)).top);
    }
}

TEST_CASE("a second start hands over to the first instance") {
    Running run;
    const AppFolder& folder = run.folder;
    const App& first = run.app;
    first.SysCommand(SC_MINIMIZE);
    REQUIRE_FALSE(first.IsVisible());
    const size_t callsBefore = folder.CoreCalls().size();

    SUBCASE("without arguments it shows the hidden window and exits 0") {
        App second(folder);
        REQUIRE(second.ExitCode() == 0);
        CHECK(WaitUntil([&] { return first.IsVisible(); }));
        // Shown first, brought to the front after: the two are not one step.
        CHECK(WaitUntil([&] { return GetForegroundWindow() == first.mainWindow; }));
    }
    SUBCASE("with /autoset, in any letter case, it exits 0 and changes nothing") {
        App second(folder, "/AutoSet");
        REQUIRE(second.ExitCode() == 0);
        Pause(300);
        CHECK_FALSE(first.IsVisible());
    }
    CHECK(folder.CoreCalls().size() == callsBefore);
    CHECK(first.IsRunning());
}

TEST_CASE("an AUTOSET start is never visible and still applies the effect") {
    Running run("/autoset");
    // Its first save follows the start: by then the window would have been shown.
    CHECK(WaitUntil([&] { return run.folder.Saved("ShadowDist") != kNone; }));
    CHECK_FALSE(run.app.IsVisible());
    // The core stand-in logs every top-level window of the program that was ever shown.
    CHECK(run.folder.CountLines("shown #32770|Quillmere") == 0);
    CHECK(run.folder.CountLines("apply ") == 1);
    CHECK(run.app.IsRunning());
}

TEST_CASE("a path containing the word AUTOSET starts visibly") {
    // Without AUTOSET among its arguments the fixture requires the window to show; the
    // program's own thread logged it shown.
    Running run("", "", nullptr, "fake", "-AUTOSET");
    CHECK(WaitUntil([&] { return run.folder.CountLines("shown #32770|Quillmere") > 0; }));
}

TEST_CASE("a start without a usable core module reports it and exits 0") {
    SimDesktop desktop;
    AppFolder planted("fake");
    std::string core, currentFolder;
    SUBCASE("no QuillCore.dll") {}
    SUBCASE("a QuillCore.dll without the undo export") {
        core = "fake-noundo";
    }
    SUBCASE("a QuillCore.dll only in the current folder is never loaded") {
        currentFolder = planted.path;
    }
    AppFolder folder(core);
    App app(folder, "", currentFolder);
    HWND box = ExpectErrorBox(app, kCoreMissingText);
    CHECK(GetWindow(box, GW_OWNER) == nullptr);
    CHECK(app.WaitForMainWindow(200) == nullptr);
    DismissMessageBox(box);
    REQUIRE(app.ExitCode() == 0);
    CHECK_FALSE(folder.HasFile("Quillmere.ini"));
    CHECK(planted.CoreLog().empty());
}

TEST_CASE("a start without a desktop reports it, exits 0 and writes no settings") {
    const char* variants[] = {"", "/nodefview", "/nolistview", "/decoys /nodefview"};
    for (const char* options : variants) {
        CAPTURE(options);
        std::unique_ptr<SimDesktop> desktop(*options ? new SimDesktop(options) : nullptr);
        AppFolder folder;
        App app(folder);
        HWND box = ExpectErrorBox(app, kNoDesktopText);
        CHECK(GetWindow(box, GW_OWNER) != nullptr);
        DismissMessageBox(box);
        REQUIRE(app.ExitCode() == 0);
        CHECK_FALSE(folder.HasFile("Quillmere.ini"));
        // Shutdown still calls undo once, with no apply before it.
        CHECK(folder.CoreCalls() == std::vector<std::string>{"undo"});
    }
}
