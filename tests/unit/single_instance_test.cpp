#include <doctest.h>

#include <string.h>

#include "../../src/app/single_instance.h"
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
