// Requests that tests and tools send to SimDesktop, handled in SimDesktop's own process, so
// that what its icon view draws can be looked at and its window tree changed as the shell
// changes it.
#pragma once
#include <windows.h>

// Sent as WM_COPYDATA to any top-level window of the desktop ("Progman" or a "WorkerW");
// dwData of the COPYDATASTRUCT says which.
enum SimDesktopRequest : ULONG_PTR {
    // lpData: a NUL-terminated file path. Renders the icon view as it paints its client
    // area (with /alpha: composed over the wallpaper, as shown on screen) into a 24-bit
    // bottom-up .bmp file there. Result 1 when written, else 0.
    kRequestCapture = 1,
    // lpData: a DWORD count. Repaints the icon view on screen that many times, each
    // finished before the next. Result: the time taken in microseconds (at least 1), or 0
    // without a view.
    kRequestRepaint = 2,
    // No data. Moves SHELLDLL_DefView, with its list view, into a new top-level "WorkerW"
    // and puts an empty one beside it. Result 1 when moved, else 0.
    kRequestMoveToWorker = 3,
    // No data. Result: one more than the number of modal loops SHELLDLL_DefView runs.
    kRequestModalDepth = 4,
    // No data. Puts back the label colours of a shell with label shadows off, as the shell
    // does after a session unlock or a resume, where SHELLDLL_DefView hears of nothing, and
    // repaints. Result 1, or 0 without a view.
    kRequestResetLabelColors = 5,
};

// Posted to SHELLDLL_DefView itself, so that they pass through any subclass on it: the
// first makes its window procedure run a modal message loop until the second arrives.
constexpr UINT kDefViewStartModalLoop = WM_APP + 1;
constexpr UINT kDefViewEndModalLoop = WM_APP + 2;

// Handles a capture or repaint request for the desktop's icon view; the result of
// WM_COPYDATA.
LRESULT HandleSimDesktopRequest(HWND view, const COPYDATASTRUCT* request);

// Writes a 24-bit bottom-up image, described by `info`, as a .bmp file.
bool WriteBitmapFile(const char* path, const BITMAPINFOHEADER& info, const void* bits);
