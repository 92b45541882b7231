// The one client of the simulated desktop, for the tests, the benchmarks and the demo:
// starting it, finding its icon view in whichever window tree it built, and its requests.
#pragma once
#include <windows.h>

#include "simdesk_requests.h"

struct SimDesktopRun {
    PROCESS_INFORMATION process;
    HWND view; // null for the layouts without one
};

// Starts the simulated desktop `exe` (a path in this program's folder) with `arguments` and
// waits until its desktop window is shown; false when it did not come up within a few
// seconds.
bool StartSimDesktop(const char* arguments, SimDesktopRun* run,
                     const char* exe = "SimDesktop.exe");
// Ends the desktop that StartSimDesktop started.
void StopSimDesktop(SimDesktopRun* run);

// The icon view of process `processId`, in "Progman" or in a top-level "WorkerW"; or null.
HWND FindIconView(DWORD processId);

// Sends a request to the desktop that owns `view`; its answer, 0 when none came.
LRESULT SendSimDesktopRequest(HWND view, SimDesktopRequest request, const void* data = nullptr,
                              DWORD size = 0);
// Has the desktop write its icon view's rendering to a .bmp file.
bool CaptureViewToFile(HWND view, const char* path);
// Has the desktop repaint its icon view `count` times; microseconds taken, 0 on failure.
DWORD RepaintViewTimed(HWND view, DWORD count);

// Makes the labels transparent in `color` and repaints them, as the program does after an
// apply.
void SetTransparentLabels(HWND view, COLORREF color);

// The core module's exports, looked up as the program does.
struct CoreExports {
    HMODULE module;
    void(__cdecl* apply)(HWND view, COLORREF textColor, int textStyle);
    void(__cdecl* undo)();
};
// `file`: the module's name, or a path to a copy of it.
bool LoadCore(CoreExports* core, const char* file = "QuillCore.dll");
