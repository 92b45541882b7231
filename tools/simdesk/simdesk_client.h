// Starting the simulated desktop and asking it for renderings of its icon view, for the
// demo pictures and the benchmark (the tests have their own harness).
#pragma once
#include <windows.h>

struct SimDesktopRun {
    PROCESS_INFORMATION process;
    HWND view;
};

// Starts SimDesktop.exe from this program's folder with `arguments` and waits for its
// icon view; false when none came within a few seconds.
bool StartSimDesktop(const char* arguments, SimDesktopRun* run);
// Ends the desktop that StartSimDesktop started.
void StopSimDesktop(SimDesktopRun* run);

// Has the desktop write its icon view's rendering to a .bmp file.
bool CaptureViewToFile(HWND view, const char* path);
// Has the desktop repaint its icon view `count` times; microseconds taken, 0 on failure.
DWORD RepaintViewTimed(HWND view, DWORD count);

// Makes the labels transparent in `color`, as the program does after an apply.
void SetTransparentLabels(HWND view, COLORREF color);

// The core module's exports, looked up as the program does.
struct CoreExports {
    HMODULE module;
    void(__cdecl* apply)(HWND view, COLORREF textColor, int textStyle);
    void(__cdecl* undo)();
};
bool LoadCore(CoreExports* core);
