// Sizes the program draws itself are written for 96 DPI and scaled here, at the point of
// use, for the DPI of the window they are drawn in. Nothing drawn is kept at one DPI.
#pragma once
#include <windows.h>

constexpr UINT kBaseDpi = 96; // the DPI that the sizes in the code are written for

// The DPI of the window: GetDpiForWindow where the system has it (Windows 10 1607 and
// later, which answer per monitor), else the LOGPIXELSY of the window's device context.
UINT WindowDpi(HWND window);

// The DPI that the system's metrics and fonts are given in for this process.
UINT SystemDpi();

// A size written for 96 DPI, at `dpi`, rounded to the nearest pixel.
inline int ScaleForDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), kBaseDpi);
}

// A size the system gives at its own DPI (a font's height, a metric), at `dpi`.
inline int SystemSizeForDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

// A system metric (SM_CXICON, SM_CXSMICON, ...) at `dpi`: GetSystemMetricsForDpi where
// the system has it, else the metric at the system's DPI scaled to `dpi`.
int SystemMetricForDpi(int index, UINT dpi);
