// Windows made by the unit tests, and a recorder in place of the core module.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// A window destroyed with the object.
class TestWindow {
  public:
    TestWindow(const char* className, const char* title, HWND parent = nullptr, int id = 0,
               DWORD style = 0);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    operator HWND() const { return handle; }
    HWND handle;
};

// Registers a plain window class once per name for the duration of the test run.
const char* TestClass(const char* name);

// Replaces the core module's exports with functions that append to coreCalls.
void RecordCoreCalls();
extern std::vector<std::string> coreCalls;
