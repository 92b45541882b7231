// QuillDemo: pictures of the simulated desktop's icon labels, opaque and then transparent
// in each of the four text styles, drawn by the real core module: on an ordinary desktop,
// then on one that composes the view with per-pixel alpha ("alpha-" pictures). With
// /program, pictures of the program's window and its open colour menu, taken from the
// screen, for the program in the folder "app". Writes .bmp files into the current folder;
// tools/demo.sh turns them into the pictures of the README.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../src/common/resource.h"
#include "../simdesk/simdesk_client.h"

namespace {

constexpr COLORREF kLabelColor = RGB(255, 236, 120);

struct Picture {
    const char* file;
    int style;
};

struct Desktop {
    const char* options;
    const char* filePrefix;
};

const Desktop kDesktops[] = {{"", ""}, {"/alpha", "alpha-"}};

const Picture kStylePictures[] = {
    {"2-normal.bmp", 0}, {"3-shadow.bmp", 1}, {"4-embossed.bmp", 4000}, {"5-engraved.bmp", 4001}};

bool Capture(HWND view, const char* prefix, const char* name) {
    char file[MAX_PATH];
    snprintf(file, sizeof file, "%s%s", prefix, name);
    const bool written = CaptureViewToFile(view, file);
    printf("%s %s\n", written ? "wrote" : "FAILED", file);
    return written;
}

bool TakePictures(HWND view, const CoreExports& core, const char* prefix) {
    bool ok = Capture(view, prefix, "1-opaque.bmp");
    SetTransparentLabels(view, kLabelColor);
    for (const Picture& picture : kStylePictures) {
        core.apply(view, kLabelColor, picture.style);
        ok = Capture(view, prefix, picture.file) && ok;
    }
    core.undo();
    return ok;
}

// A part of the screen as the user sees it, as a 24-bit .bmp file.
bool CaptureScreen(const RECT& area, const char* file) {
    BITMAPINFO bitmap = {};
    BITMAPINFOHEADER& info = bitmap.bmiHeader;
    info.biSize = sizeof info;
    info.biWidth = area.right - area.left;
    info.biHeight = area.bottom - area.top;
    info.biPlanes = 1;
    info.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(nullptr, &bitmap, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(dc, image);
    BitBlt(dc, 0, 0, info.biWidth, info.biHeight, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const bool written = image && WriteBitmapFile(file, info, bits);
    SelectObject(dc, previous);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    if (image) DeleteObject(image);
    printf("%s %s\n", written ? "wrote" : "FAILED", file);
    return written;
}

// A visible window of this class and title, waited for up to 15 s; or null.
HWND WaitForWindow(const char* className, const char* title) {
    for (int tries = 0; tries < 150; ++tries, Sleep(100)) {
        HWND window = FindWindowA(className, title);
        if (window && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// The window as it starts, then with the colour menu open under its arrow; the pauses
// let both paint (and Wine's tray window move out of the way).
bool TakeWindowPictures(HWND window) {
    Sleep(2000);
    bool ok = CaptureScreen(WindowRect(window), "6-window.bmp");
    PostMessageA(window, WM_COMMAND, IDC_DROPDOWN, 0);
    HWND menu = WaitForWindow("#32768", nullptr);
    if (!menu) return false;
    Sleep(1000);
    RECT both;
    const RECT windowRect = WindowRect(window), menuRect = WindowRect(menu);
    UnionRect(&both, &windowRect, &menuRect);
    ok = CaptureScreen(both, "7-colour-menu.bmp") && ok;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    return ok;
}

int TakeProgramPictures() {
    SimDesktopRun desktop;
    if (!StartSimDesktop("/traycorner", &desktop)) {
        printf("the simulated desktop did not start\n");
        return 1;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program = {};
    char command[] = "app\\Quillmere.exe";
    int result = 1;
    if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "app", &startup,
                       &program)) {
        HWND window = WaitForWindow("#32770", "Quillmere  1.5");
        if (window && TakeWindowPictures(window)) result = 0;
        if (window) PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
        if (WaitForSingleObject(program.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(program.hProcess, 1);
        CloseHandle(program.hThread);
        CloseHandle(program.hProcess);
    } else {
        printf("app\\Quillmere.exe did not start\n");
    }
    StopSimDesktop(&desktop);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "/program") == 0) return TakeProgramPictures();
    CoreExports core = {};
    if (!LoadCore(&core)) {
        printf("QuillCore.dll not found beside QuillDemo.exe\n");
        return 1;
    }
    bool ok = true;
    for (const Desktop& each : kDesktops) {
        SimDesktopRun desktop;
        if (StartSimDesktop(each.options, &desktop) && desktop.view) {
            ok = TakePictures(desktop.view, core, each.filePrefix) && ok;
        } else {
            printf("the simulated desktop %s did not start\n", each.options);
            ok = false;
        }
        StopSimDesktop(&desktop);
    }
    FreeLibrary(core.module);
    return ok ? 0 : 1;
}
