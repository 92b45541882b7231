#include "desktop_view.h"

#include <commctrl.h>
#include <string.h>

#include "core_module.h"

HWND desktopView;
bool transparencyChosen;

namespace {

constexpr char kDesktopTitle[] = "Program Manager";
constexpr char kDesktopClass[] = "Progman";
constexpr char kDefViewClass[] = "SHELLDLL_DefView";
constexpr char kWorkerClass[] = "WorkerW";
constexpr char kActiveDesktopClass[] = "Internet Explorer_Server";
constexpr int kListViewId = 1;
constexpr int kNameBufferSize = 100;
constexpr COLORREF kOpaqueTextColor = RGB(255, 255, 255);

// Compared byte for byte: FindWindowA would also accept other letter cases.
bool IsShellDesktop(HWND window) {
    char text[kNameBufferSize] = "";
    GetWindowTextA(window, text, kNameBufferSize);
    if (strcmp(text, kDesktopTitle) != 0) return false;
    char className[kNameBufferSize] = "";
    GetClassNameA(window, className, kNameBufferSize);
    return strcmp(className, kDesktopClass) == 0;
}

bool IsWorker(HWND window) {
    char className[kNameBufferSize] = "";
    GetClassNameA(window, className, kNameBufferSize);
    return strcmp(className, kWorkerClass) == 0;
}

HWND IconViewOf(HWND container) {
    HWND defView = FindWindowExA(container, nullptr, kDefViewClass, nullptr);
    return defView ? GetDlgItem(defView, kListViewId) : nullptr;
}

// The classic tree, which Windows 11 24H2 keeps too: the icon view inside the desktop
// window itself.
HWND ClassicDesktopView(HWND startWindow) {
    for (HWND window = GetWindow(startWindow, GW_HWNDFIRST); window;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsShellDesktop(window)) return IconViewOf(window);
    }
    return nullptr;
}

// Once the shell has built its wallpaper layer (a slideshow, the wallpaper fade), the
// desktop window holds no icon view: SHELLDLL_DefView lives in a top-level "WorkerW".
HWND WorkerDesktopView() {
    for (HWND worker = FindWindowExA(nullptr, nullptr, kWorkerClass, nullptr); worker;
         worker = FindWindowExA(nullptr, worker, kWorkerClass, nullptr)) {
        if (HWND view = IconViewOf(worker)) return view;
    }
    return nullptr;
}

} // namespace

HWND FindDesktopView(HWND startWindow) {
    HWND view = ClassicDesktopView(startWindow);
    return view ? view : WorkerDesktopView();
}

HWND LookUpDesktopView(HWND startWindow) {
    desktopView = FindDesktopView(startWindow);
    return desktopView;
}

bool IsViewOnDesktop(HWND view) {
    if (!IsWindow(view)) return false;
    HWND top = GetAncestor(view, GA_ROOT);
    return IsShellDesktop(top) || IsWorker(top);
}

bool IsTextTransparent(HWND view) {
    return view && static_cast<COLORREF>(SendMessageA(view, LVM_GETTEXTBKCOLOR, 0, 0)) == CLR_NONE;
}

void SetViewColors(COLORREF background, COLORREF textColor) {
    // Sent to no window, the colours would go nowhere, and the repaint of no window would
    // invalidate every top-level window of the session.
    if (!desktopView) return;
    const COLORREF text = background == CLR_NONE ? textColor : kOpaqueTextColor;
    SendMessageA(desktopView, LVM_SETTEXTBKCOLOR, 0, background);
    SendMessageA(desktopView, LVM_SETTEXTCOLOR, 0, text);
    InvalidateRect(desktopView, nullptr, TRUE);
}

void ApplyTransparency(COLORREF textColor, int textStyle) {
    coreApply(desktopView, textColor, textStyle);
    SetViewColors(CLR_NONE, textColor);
}

void ApplyIfTransparent(COLORREF textColor, int textStyle) {
    if (IsTextTransparent(desktopView)) ApplyTransparency(textColor, textStyle);
}

void LookUpAndApplyIfTransparent(HWND startWindow, COLORREF textColor, int textStyle) {
    LookUpDesktopView(startWindow);
    ApplyIfTransparent(textColor, textStyle);
}

void ReapplyIfShellTookBack(COLORREF textColor, int textStyle) {
    if (transparencyChosen && desktopView && !IsTextTransparent(desktopView))
        ApplyTransparency(textColor, textStyle);
}

void RestoreOpaque() {
    coreUndo();
    MakeOpaque();
}

void MakeOpaque() {
    SetViewColors(GetSysColor(COLOR_BACKGROUND), kOpaqueTextColor);
}

COLORREF ViewTextColor() {
    return desktopView ? static_cast<COLORREF>(SendMessageA(desktopView, LVM_GETTEXTCOLOR, 0, 0))
                       : 0;
}

bool IsActiveDesktop() {
    // Without a parent, FindWindowExA would search the top-level windows instead.
    HWND defView = GetParent(desktopView);
    return defView && FindWindowExA(defView, nullptr, kActiveDesktopClass, nullptr);
}
