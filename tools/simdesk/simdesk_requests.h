// Requests that tests and tools send to SimDesktop's "Progman" window as WM_COPYDATA,
// handled in SimDesktop's own process, so that what its icon view draws can be looked at.
#pragma once
#include <windows.h>

// dwData of the COPYDATASTRUCT.
enum SimDesktopRequest : ULONG_PTR {
    // lpData: a NUL-terminated file path. Renders the icon view as it paints its client
    // area into a 24-bit bottom-up .bmp file there. Result 1 when written, else 0.
    kRequestCapture = 1,
    // lpData: a DWORD count. Repaints the icon view on screen that many times, each
    // finished before the next. Result: the time taken in microseconds (at least 1), or 0
    // without a view.
    kRequestRepaint = 2,
};

// Handles one request to the desktop window; the result of WM_COPYDATA.
LRESULT HandleSimDesktopRequest(HWND desktop, const COPYDATASTRUCT* request);
