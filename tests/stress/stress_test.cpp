// Stress tests, run by `make stress`: damaged settings files, many simultaneous starts,
// many shell restarts, and a desktop that goes away for a long while.
// QUILL_STRESS_SETTINGS_FILES sets how many generated settings files are tried (500).
#include <doctest.h>
#include <windows.h>
#include <psapi.h>
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>

#include <memory>

#include "../../src/common/resource.h"
#include "../../src/tray/tray_icon.h"
#include "../e2e/harness.h"
#include "damaged_settings.h"

namespace {

constexpr uint32_t kSettingsSeed = 20261208;
constexpr DWORD kRestartTransparentMs = 3500;

// Fixed inputs tried on every run, before the generated ones.
const char* const kRegressionFiles[] = {
    // A description cut at the read limit inside a double-byte character.
    "[Saves]\r\nTextColorDesc=蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝蓝\r\n",
    // A style code that is not one of the four.
    "[Saves]\r\nShadowDist=99999999999\r\n",
};

// The number of generated files to try; 0 when the environment gives something that is
// not a positive number, which must not pass as a run that tried none.
uint32_t SettingsFileCount() {
    const char* count = getenv("QUILL_STRESS_SETTINGS_FILES");
    if (!count) return 500;
    char* end = nullptr;
    const unsigned long value = strtoul(count, &end, 10);
    const bool positive = isdigit(static_cast<unsigned char>(count[0])) && *end == '\0' &&
                          value > 0 && value <= UINT32_MAX;
    return positive ? static_cast<uint32_t>(value) : 0;
}

// Why a start showed no main window: a start that ended (a crash, or a second instance's
// hand-over) is told apart from one that still runs without a window.
std::string NoMainWindowFault(App& app) {
    const DWORD exitCode = app.ExitCode(0);
    if (exitCode == STILL_ACTIVE) return "no main window, still running";
    char text[64];
    wsprintfA(text, "no main window: ended with code 0x%lX", exitCode);
    return text;
}

// Starts the program on a damaged file, ends it with the tray's exit command (which saves)
// and returns what is wrong with the saved file, or what went wrong on the way.
std::string SaveAfterDamagedStart(const std::string& bytes, bool autoset) {
    AppFolder folder;
    folder.WriteRaw(bytes);
    App app(folder, autoset ? "/AUTOSET" : "");
    if (!app.WaitForMainWindow(kStartWaitMs)) return NoMainWindowFault(app);
    if (!autoset && !WaitUntil([&] { return app.IsVisible(); })) return "main window not shown";
    if (!WaitUntil([&] { return folder.CountLines("apply ") > 0; })) return "nothing applied";
    app.PostCommand(IDM_EXIT);
    DWORD exitCode = 99;
    if (!app.WaitForExit(kDefaultWaitMs, &exitCode)) return "did not exit";
    if (exitCode != 0) return "exit code " + std::to_string(exitCode);
    // The recording core module logs every window the program ever showed.
    if (autoset && folder.CountLines("shown #32770|") > 0) return "an AUTOSET start was shown";
    return SavedSettingsFault(folder.Ini());
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Wine leaves PrivateUsage at 0; PagefileUsage is the same figure on Windows.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// The kernel handles a process holds, counted by duplicating every handle value that can be
// one: Wine answers GetProcessHandleCount for another process with 0.
DWORD CountHandles(HANDLE process) {
    constexpr UINT_PTR kLastHandleValue = 0x10000;
    DWORD count = 0;
    for (UINT_PTR value = 4; value <= kLastHandleValue; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0,
                            FALSE, DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++count;
        }
    }
    return count;
}

} // namespace

TEST_CASE("damaged settings files never stop a start and are saved back clean") {
    const uint32_t count = SettingsFileCount();
    REQUIRE_MESSAGE(count > 0, "QUILL_STRESS_SETTINGS_FILES is not a positive number");
    RunValueCleanup runValue;
    SimDesktop desktop;
    for (const char* bytes : kRegressionFiles) {
        INFO("regression file: " << bytes);
        CHECK(SaveAfterDamagedStart(bytes, false) == "");
    }
    for (uint32_t index = 0; index < count; ++index) {
        INFO("generated file " << index << " of seed " << kSettingsSeed);
        CHECK(SaveAfterDamagedStart(DamagedSettingsFile(kSettingsSeed, index), index % 4 == 3) ==
              "");
    }
}

TEST_CASE("twenty simultaneous starts leave exactly one working instance") {
    RunValueCleanup runValue;
    SimDesktop desktop;
    AppFolder folder;
    std::vector<std::unique_ptr<ChildProcess>> starts;
    for (int i = 0; i < 20; ++i) starts.emplace_back(new ChildProcess(folder.Exe(), ""));

    auto running = [&] {
        int count = 0;
        for (const auto& start : starts) count += start->IsRunning();
        return count;
    };
    REQUIRE(WaitUntil([&] { return running() <= 1; }, 30000));
    REQUIRE(running() == 1);
    DWORD survivor = 0;
    for (const auto& start : starts) {
        if (start->IsRunning())
            survivor = start->id;
        else
            CHECK(start->ExitCode(0) == 0);
    }

    App again(folder); // a further start, which only shows the survivor
    REQUIRE(again.ExitCode() == 0);
    HWND mainWindow = FindProcessWindow(survivor, kDialogClass, kMainWindowTitle);
    REQUIRE(mainWindow != nullptr);
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_OPAQUE, BN_CLICKED), 0);
    CHECK_FALSE(desktop.TextIsTransparent());
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_TRANSPARENT, BN_CLICKED), 0);
    CHECK(desktop.TextIsTransparent());
}

TEST_CASE("thirty shell restarts: each new view turns transparent, and memory stays flat") {
    RunValueCleanup runValue;
    Running run("/AUTOSET");
    const HANDLE process = run.app.process.handle;
    SIZE_T settledBytes = 0;
    DWORD settledHandles = 0;
    for (int restart = 1; restart <= 30; ++restart) {
        INFO("restart " << restart);
        run.desktop.Restart();
        REQUIRE(run.desktop.View() != nullptr);
        CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kRestartTransparentMs));
        if (restart == 10) {
            settledBytes = PrivateBytes(process);
            REQUIRE(settledBytes > 0);
            settledHandles = CountHandles(process);
            REQUIRE(settledHandles > 0);
        }
    }
    // Twenty restarts may round the heap up by a page or two, never by a leak per restart.
    CHECK(PrivateBytes(process) <= settledBytes + 64 * 1024);
    CHECK(CountHandles(process) <= settledHandles);
    CHECK(run.app.IsRunning());
}

TEST_CASE("a desktop gone for a minute while the program is hidden is made transparent again") {
    RunValueCleanup runValue;
    Running run("/AUTOSET");
    run.desktop.Stop();
    Pause(60000);
    REQUIRE(run.app.IsRunning());
    CHECK(FindErrorBox(run.app.process.id) == nullptr);
    run.desktop.Start();
    CHECK(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kWatchdogWaitMs));
}

TEST_CASE("200 tray menus and 20,000 owner-draw requests leave the program drawing") {
    // Wine cannot count a process's GDI and USER objects, so a leak shows as an exhausted
    // handle table: the last menu and the last colour must still come out right.
    RunValueCleanup runValue;
    Running run;
    HWND tray = nullptr;
    REQUIRE(WaitUntil([&] { return (tray = run.app.TrayWindow()) != nullptr; }));
    for (int menu = 1; menu <= 200; ++menu) {
        PostMessageA(tray, kTrayNotifyMessage, 0, WM_RBUTTONDOWN);
        REQUIRE(WaitUntil([&] { return run.folder.CountLines("menu open") == menu; }));
        PostMessageA(run.app.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        REQUIRE(WaitUntil([&] { return run.folder.CountLines("menu closed") == menu; }));
    }
    CHECK(run.folder.LastLine("menu open") == "menu open 6");

    HWND preview = run.app.Control(IDC_PREVIEW);
    for (int paint = 0; paint < 20000; ++paint)
        RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    run.app.SendCommand(IDM_COLOR_FIRST + 14); // red
    CHECK(
        WaitUntil([&] { return run.folder.LastLine("preview ").rfind("preview 0000ff", 0) == 0; }));
    CHECK(run.app.IsRunning());
}

TEST_CASE("a settings file that cannot be written loses nothing, and the next save succeeds") {
    RunValueCleanup runValue;
    SimDesktop desktop;
    AppFolder folder;
    {
        App first(folder);
        REQUIRE(first.WaitForMainWindow());
        first.PostCommand(IDM_EXIT);
        REQUIRE(first.WaitForExit(kDefaultWaitMs, nullptr));
    }
    const std::string savedColor = folder.Saved("TextColor");
    REQUIRE(savedColor != kNone);
    REQUIRE(savedColor != "255");
    // Read-only, and held open without sharing: Wine running as root writes read-only
    // files all the same, but no one writes a file that another holds this way.
    const std::string ini = folder.Ini();
    REQUIRE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE lock = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(lock != INVALID_HANDLE_VALUE);
    App app(folder);
    REQUIRE(app.WaitForMainWindow());
    REQUIRE(WaitUntil([&] { return app.IsVisible(); }));
    app.SendCommand(IDM_COLOR_FIRST + 14); // red
    app.Click(IDC_MAIN_BUTTON);            // saves, and hides while transparent
    REQUIRE(WaitUntil([&] { return !app.IsVisible(); }));
    Pause(500); // for an error box that must not come
    CHECK(FindErrorBox(app.process.id) == nullptr);
    CloseHandle(lock);
    CHECK(folder.Saved("TextColor") == savedColor);

    REQUIRE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL));
    App second(folder); // shows the hidden first instance
    REQUIRE(second.WaitForExit(kDefaultWaitMs, nullptr));
    REQUIRE(WaitUntil([&] { return app.IsVisible(); }));
    app.Click(IDC_MAIN_BUTTON);
    CHECK(WaitUntil([&] { return folder.Saved("TextColor") == "255"; }));
    CHECK(folder.Saved("TextColorDesc") == "红色");
}

TEST_CASE("where no settings file can be written every start repeats the first run") {
    // The tests run as root, whom folder permissions do not stop; a folder in the settings
    // file's place makes every write fail the same way.
    RunValueCleanup runValue;
    SimDesktop desktop;
    AppFolder folder;
    REQUIRE(CreateDirectoryA(folder.Ini().c_str(), nullptr));
    for (int start = 1; start <= 2; ++start) {
        INFO("start " << start);
        DeleteRunValue();
        App app(folder);
        REQUIRE(app.WaitForMainWindow());
        REQUIRE(WaitUntil([&] { return app.IsVisible(); }));
        CHECK(RunValueData() != kNone);
        CHECK(app.IsChecked(IDC_AUTOSTART));
        app.PostCommand(IDM_EXIT);
        REQUIRE(app.ExitCode() == 0);
    }
}
