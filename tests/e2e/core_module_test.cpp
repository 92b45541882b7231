// The real core module called directly, as the program calls it, against the simulated
// desktop in its own process: the styles as pixels, undo, and the desktop's safety.
#include <doctest.h>

#include "../common/import_patch.h"
#include "harness.h"
#include "view_capture.h"

namespace {

constexpr COLORREF kLabel = RGB(255, 255, 0);

// QuillCore.dll from the build folder, loaded and looked up as the program does.
struct Core : CoreExports {
    Core() { REQUIRE(LoadCore(this)); }
    ~Core() { Unload(); }
    void Unload() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
};

using RegisterFunction = UINT(WINAPI*)(LPCSTR);
RegisterFunction realRegister;
int registrations;

UINT WINAPI CountRegistration(LPCSTR name) {
    ++registrations;
    return realRegister(name);
}

} // namespace

TEST_CASE("each style is drawn at once under the labels, and undo draws them plain") {
    SimDesktop desktop;
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    REQUIRE_FALSE(plain.Empty());
    Core core;
    // Undo without an apply before it changes nothing.
    core.undo();
    core.undo();
    CHECK(CaptureView(view) == plain);

    // One apply after the other with no undo between: the latest one is in force.
    const int styles[] = {StyleShadow, StyleEmbossed, StyleEngraved, StyleShadow, 7, -2};
    for (int style : styles) {
        CAPTURE(style);
        core.apply(view, kLabel, style);
        CheckStyled(plain, CaptureView(view), style, kLabel);
    }
    SUBCASE("the normal style draws nothing extra") {
        core.apply(view, kLabel, 0);
        CHECK(CaptureView(view) == plain);
    }
    SUBCASE("a null view changes nothing") {
        core.apply(nullptr, kLabel, 0);
        CheckStyled(plain, CaptureView(view), -2, kLabel);
    }
    core.undo();
    CHECK(CaptureView(view) == plain);
    core.undo();
    CHECK(CaptureView(view) == plain);
    core.apply(view, kLabel, StyleEngraved);
    CheckStyled(plain, CaptureView(view), StyleEngraved, kLabel);
    core.undo();
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("on a desktop composed with per-pixel alpha each style's copies show in full") {
    SimDesktop desktop("/alpha");
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    REQUIRE_FALSE(plain.Empty());
    // The list view's own text keeps alpha 0 there: the compositor adds it to the wallpaper.
    const COLORREF composedLabel = RGB(255, 255, 128);
    Core core;
    for (int style : {StyleShadow, StyleEmbossed, StyleEngraved}) {
        CAPTURE(style);
        core.apply(view, kLabel, style);
        CheckStyled(plain, CaptureView(view), style, composedLabel);
    }
    core.undo();
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("after undo and unloading the desktop runs on without the module") {
    SimDesktop desktop;
    HWND view = desktop.View();
    const DWORD desktopProcess = desktop.ProcessId();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    const int threadsBefore = ThreadCount(desktopProcess);
    int loadCount = 0;
    {
        Core core;
        core.apply(view, kLabel, StyleEmbossed);
        loadCount = ModuleLoadCount(desktopProcess, L"QuillCore.dll");
        // Repeated applies keep the one reference of the attachment.
        core.apply(view, kLabel, StyleShadow);
        core.apply(view, kLabel, StyleEmbossed);
        CheckStyled(plain, CaptureView(view), StyleEmbossed, kLabel);
        CHECK(ModuleLoadCount(desktopProcess, L"QuillCore.dll") == loadCount);
        core.undo();
        core.Unload();
    }
    // The module gives its own reference back from a short thread of its own.
    CHECK(WaitUntil([&] { return ThreadCount(desktopProcess) == threadsBefore; }));
    if (RunningOnWine()) {
        // Wine keeps a module that a hook loaded for good, with the hook's reference;
        // only the attachment's own reference can be seen to go.
        CHECK(loadCount == 2);
        CHECK(ModuleLoadCount(desktopProcess, L"QuillCore.dll") == 1);
    } else {
        CHECK(WaitUntil([&] { return ModuleLoadCount(desktopProcess, L"QuillCore.dll") == 0; }));
    }
    CHECK(RepaintViewTimed(view, 100) > 0);
    CHECK(CaptureView(view) == plain);
    CHECK(IsWindow(view));
}

TEST_CASE("a view that is gone is forgotten and the next apply attaches to the new one") {
    SimDesktop desktop;
    Core core;
    SetTransparentLabels(desktop.View(), kLabel);
    core.apply(desktop.View(), kLabel, StyleShadow);
    desktop.Restart();
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);

    core.apply(view, kLabel, StyleEmbossed);
    CheckStyled(plain, CaptureView(view), StyleEmbossed, kLabel);
    core.undo();
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("a desktop closed while styled ends cleanly") {
    SimDesktop desktop;
    HWND view = desktop.View();
    HANDLE process =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, desktop.ProcessId());
    REQUIRE(process != nullptr);
    Core core;
    SetTransparentLabels(view, kLabel);
    core.apply(view, kLabel, StyleEngraved);
    // The view's parent is destroyed with the subclass still on it.
    PostMessageA(GetAncestor(view, GA_ROOT), WM_CLOSE, 0, 0);
    CHECK(WaitForSingleObject(process, kDefaultWaitMs) == WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process, &exitCode);
    CHECK(exitCode == 0);
    CloseHandle(process);
    core.undo();
}

TEST_CASE("the module registers its message names once, not for every message of the window") {
    // A view of this process: the module attaches here, where its imports can be watched.
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    LoadLibraryA("comctl32.dll");
    HWND view = CreateWindowExA(0, "SysListView32", "", WS_CHILD | LVS_ICON, 0, 0, 200, 100, parent,
                                reinterpret_cast<HMENU>(1), nullptr, nullptr);
    REQUIRE(view != nullptr);
    const DWORD self = GetCurrentProcessId();
    Core core;
    core.apply(view, kLabel, StyleShadow);
    REQUIRE(ModuleLoadCount(self, L"QuillCore.dll") == 2); // attached: it holds itself
    void* original = nullptr;
    REQUIRE(ReplaceImport(core.module, "user32.dll", "RegisterWindowMessageA",
                          reinterpret_cast<void*>(CountRegistration), &original));
    realRegister = reinterpret_cast<RegisterFunction>(original);

    for (int i = 0; i < 100; ++i) SendMessageA(parent, WM_USER, 0, 0);
    core.undo();
    CHECK(registrations == 0);
    CHECK(WaitUntil([&] { return ModuleLoadCount(self, L"QuillCore.dll") == 1; }));
    ReplaceImport(core.module, "user32.dll", "RegisterWindowMessageA", original, &original);
    DestroyWindow(parent);
}
