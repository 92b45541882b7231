#include <doctest.h>

#include <string.h>

#include "../../src/app/app.h"
#include "../../src/app/main_window.h"
#include "../../src/app/single_instance.h"
#include "../../src/common/settings_record.h"
#include "../../src/desktop/desktop_view.h"
#include "../../src/settings/settings_file.h"
#include "../../src/tray/tray_icon.h"
#include "test_windows.h"

TEST_CASE("a second start signals only a live window of a process of its own executable") {
    TestWindow window(TestClass("QuillTestMain"), "main");
    DWORD allowed = 99;
    SUBCASE("its own executable: the window's process may take the foreground") {
        char path[MAX_PATH] = "";
        CHECK(processImagePath(GetCurrentProcessId(), path, MAX_PATH));
        CHECK(IsRunningInstance(window, &allowed));
        CHECK(allowed == GetCurrentProcessId());
    }
    SUBCASE("no window, or a stale value whose window is gone") {
        CHECK_FALSE(IsRunningInstance(nullptr, &allowed));
        const HWND gone = TestWindow(TestClass("QuillTestMain"), "").handle; // destroyed here
        CHECK_FALSE(IsRunningInstance(gone, &allowed));
    }
    SUBCASE("a window of a process of another executable") {
        ScopedSet<ProcessImageFunction> query(processImagePath, [](DWORD, char* path, DWORD size) {
            GetSystemDirectoryA(path, size);
            strcat(path, "\\kernel32.dll");
            return true;
        });
        CHECK_FALSE(IsRunningInstance(window, &allowed));
    }
    SUBCASE("where the system cannot tell the executable, the message goes out as before") {
        ScopedSet<ProcessImageFunction> query(processImagePath,
                                              [](DWORD, char*, DWORD) { return false; });
        CHECK(IsRunningInstance(window, &allowed));
        CHECK(allowed == GetCurrentProcessId());
    }
}

TEST_CASE("an elevated first instance still hears a second start and a new taskbar, where the "
          "system can say so") {
    FakeShell desktop("Progman", "Program Manager");
    MainWindowStandIn main;
    // Without a desktop the initialisation would wait in a message box.
    REQUIRE(FindDesktopView(main) == desktop.view.handle);
    // Settings beside the tests that make no first run and show no tray icon.
    char ini[kSettingsPathSize];
    BuildSettingsPath(ini);
    WritePrivateProfileStringA(kMainSection, kFirstRunKey, "0", ini);
    WritePrivateProfileStringA(kSavesSection, kShowTrayIconKey, "0", ini);
    ScopedSet<Settings> record(settings, settings);
    ScopedSet<HWND> view(desktopView, nullptr);
    CoreRecorder core;
    FilterRecorder filter;
    MainDialogProc(main, WM_INITDIALOG, 0, 0);
    KillTimer(main, kWatchdogTimerId);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
    DeleteFileA(ini);
    CHECK(filter.allowed == std::vector<FilterRecorder::Allowed>{
                                {main, showWindowMessage}, {main, TaskbarCreatedMessage()}});
}
