#include "dpi.h"

namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);
using DpiForSystemFunction = UINT(WINAPI*)();
using MetricForDpiFunction = int(WINAPI*)(int, UINT);

// Looked up rather than imported: Windows 7 to 10 1511 lack them, and the program starts
// there too.
template <typename Function> Function User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(user32 ? GetProcAddress(user32, name) : nullptr));
}

const DpiForWindowFunction dpiForWindow = User32Function<DpiForWindowFunction>("GetDpiForWindow");
const DpiForSystemFunction dpiForSystem = User32Function<DpiForSystemFunction>("GetDpiForSystem");
const MetricForDpiFunction metricForDpi =
    User32Function<MetricForDpiFunction>("GetSystemMetricsForDpi");

UINT DeviceDpi(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

} // namespace

UINT WindowDpi(HWND window) {
    const UINT dpi = dpiForWindow && window ? dpiForWindow(window) : 0;
    return dpi ? dpi : DeviceDpi(window);
}

UINT SystemDpi() {
    const UINT dpi = dpiForSystem ? dpiForSystem() : 0;
    return dpi ? dpi : DeviceDpi(nullptr);
}

int SystemMetricForDpi(int index, UINT dpi) {
    if (metricForDpi) return metricForDpi(index, dpi);
    return SystemSizeForDpi(GetSystemMetrics(index), dpi);
}
