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
        wchar_t path[MAX_PATH] = L"";
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
        ScopedSet<ProcessImageFunction> query(processImagePath,
                                              [](DWORD, wchar_t* path, DWORD size) {
                                                  GetSystemDirectoryW(path, size);
                                                  wcscat(path, L"\\kernel32.dll");
                                                  return true;
                                              });
        CHECK_FALSE(IsRunningInstance(window, &allowed));
    }
    SUBCASE("where the system cannot tell the executable, the message goes out as before") {
        ScopedSet<ProcessImageFunction> query(processImagePath,
                                              [](DWORD, wchar_t*, DWORD) { return false; });
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
    wchar_t ini[kSettingsPathSize];
    BuildSettingsPath(ini);
    WritePrivateProfileStringW(kMainSection, kFirstRunKey, L"0", ini);
    WritePrivateProfileStringW(kSavesSection, kShowTrayIconKey, L"0", ini);
    ScopedSet<Settings> record(settings, settings);
    ScopedSet<HWND> view(desktopView, nullptr);
    CoreRecorder core;
    FilterRecorder filter;
    MainDialogProc(main, WM_INITDIALOG, 0, 0);
    KillTimer(main, kWatchdogTimerId);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini);
    DeleteFileW(ini);
    CHECK(filter.allowed == std::vector<FilterRecorder::Allowed>{
                                {main, showWindowMessage}, {main, TaskbarCreatedMessage()}});
}
