// The real core module called directly, as the program calls it, against the simulated
// desktop in its own process: the styles as pixels, undo, and the desktop's safety.
#include <doctest.h>

#include "../common/import_patch.h"
#include "harness.h"
#include "view_capture.h"

namespace {

constexpr COLORREF kLabel = RGB(255, 255, 0);

// QuillCore.dll from the build folder, or a copy, loaded and looked up as the program does.
struct Core : CoreExports {
    explicit Core(const char* file = "QuillCore.dll") { REQUIRE(LoadCore(this, file)); }
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

// As when the session's atom table is full.
UINT WINAPI FailRegistration(LPCSTR) {
    return 0;
}

HWND CreateIconView(HWND defView) {
    return CreateWindowExA(0, "SysListView32", "", WS_CHILD | LVS_ICON, 0, 0, 200, 100, defView,
                           reinterpret_cast<HMENU>(1), nullptr, nullptr);
}

// The text that SHELLDLL_DefView gives for the labels it keeps itself, in UTF-16 as the
// shell gives it.
const wchar_t* defViewLabel = L"";

LRESULT CALLBACK DefViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
    if (message == WM_NOTIFYFORMAT) return NFR_UNICODE;
    if (message == WM_NOTIFY && info->hdr.code == LVN_GETDISPINFOW &&
        (info->item.mask & LVIF_TEXT))
        lstrcpynW(info->item.pszText, defViewLabel, info->item.cchTextMax);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The shell's tree in this process, where the module's imports and its reference to itself
// can be watched: "Progman", "SHELLDLL_DefView" and the icon view.
struct LocalDesktop {
    LocalDesktop() {
        LoadLibraryA("comctl32.dll");
        for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = lstrcmpA(name, "Progman") ? DefViewProc : DefWindowProcA;
            windowClass.lpszClassName = name;
            RegisterClassA(&windowClass); // fails harmlessly from the second desktop on
        }
        top = CreateWindowExA(0, "Progman", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
        defView = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 200, 100, top,
                                  nullptr, nullptr, nullptr);
        view = CreateIconView(defView);
        REQUIRE(view != nullptr);
    }
    ~LocalDesktop() { DestroyWindow(top); }
    HWND top, defView, view;
};

// The view's client area printed into a 32-bpp bitmap, with the parent's custom draw.
std::vector<DWORD> PrintView(HWND view) {
    std::vector<DWORD> pixels(200 * 100);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(view, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    SelectObject(dc, old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 200;
    info.bmiHeader.biHeight = -100; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(dc, bitmap, 0, 100, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

constexpr UINT kStopAnswering = WM_APP;

// An icon view that belongs to a thread of its own, which runs until the end: in `defView`,
// or in a desktop of its own without one. Hang() makes the thread take no messages until
// Answer() or the end, as a shell's hung thread.
struct IconViewThread {
    explicit IconViewThread(HWND defView) : defView(defView) {
        created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        answering = CreateEventA(nullptr, TRUE, TRUE, nullptr);
        stopped = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
        // Pumping: the view tells its parent, on this thread, that it was created.
        WaitUntil([&] { return WaitForSingleObject(created, 0) == WAIT_OBJECT_0; });
    }
    ~IconViewThread() {
        Answer();
        PostThreadMessageA(threadId, WM_QUIT, 0, 0);
        WaitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
        CloseHandle(thread);
        CloseHandle(created);
        CloseHandle(answering);
        CloseHandle(stopped);
    }
    void Hang() {
        ResetEvent(answering);
        PostThreadMessageA(threadId, kStopAnswering, 0, 0);
        REQUIRE(WaitForSingleObject(stopped, 10000) == WAIT_OBJECT_0);
    }
    void Answer() { SetEvent(answering); }
    static DWORD WINAPI Run(LPVOID parameter) {
        auto* self = static_cast<IconViewThread*>(parameter);
        LocalDesktop* own = self->defView ? nullptr : new LocalDesktop;
        self->view = own ? own->view : CreateIconView(self->defView);
        SetEvent(self->created);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == kStopAnswering) {
                SetEvent(self->stopped);
                WaitForSingleObject(self->answering, INFINITE);
            }
            DispatchMessageA(&msg);
        }
        if (own)
            delete own;
        else
            DestroyWindow(self->view);
        return 0;
    }
    HWND defView;
    HWND view = nullptr;
    HANDLE created, answering, stopped, thread;
    DWORD threadId = 0;
};

} // namespace

// First in the file: under Wine, once this process has made list views of its own (the
// cases below do), a module loaded later binds to the system folder's comctl32 whatever
// its manifest says.
TEST_CASE("the module's subclass calls bind to common controls 6, as the shell's windows do") {
    Core core;
    void* bound = nullptr;
    void* ignored = nullptr;
    REQUIRE(ReplaceImport(core.module, "comctl32.dll", "SetWindowSubclass",
                          reinterpret_cast<void*>(FailRegistration), &bound));
    ReplaceImport(core.module, "comctl32.dll", "SetWindowSubclass", bound, &ignored);
    HMODULE comctl32 = nullptr;
    REQUIRE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                   GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(bound), &comctl32));
    // Not the system folder's comctl32 of a context without a manifest: the one of the
    // side-by-side common controls 6 assembly (whose version resource under Wine says 5.80
    // all the same).
    char path[MAX_PATH] = "";
    GetModuleFileNameA(comctl32, path, MAX_PATH);
    CharLowerA(path);
    CAPTURE(path);
    CHECK(strstr(path, "microsoft.windows.common-controls_6595b64144ccf1df_6.") != nullptr);
}

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

TEST_CASE("the styled labels hold through the shell's colour resets; the opaque choice does not") {
    // A light wallpaper colour: the shell's reset gives black text in light boxes.
    SimDesktop desktop("/shadowsoff:FFFFE0");
    const COLORREF shellBackground = RGB(0xFF, 0xFF, 0xE0);
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    Core core;
    core.apply(view, kLabel, StyleShadow);
    SetTransparentLabels(view, kLabel);
    const ViewImage styled = CaptureView(view);
    CheckStyled(plain, styled, StyleShadow, kLabel);

    const struct {
        const char* name;
        UINT message; // 0: no message to SHELLDLL_DefView, as after an unlock or a resume
    } resets[] = {{"WM_SETTINGCHANGE", WM_SETTINGCHANGE},
                  {"WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE},
                  {"WM_THEMECHANGED", WM_THEMECHANGED},
                  {"unlock or resume", 0}};
    for (const auto& reset : resets) {
        const std::string name = reset.name;
        CAPTURE(name);
        REQUIRE(desktop.ResetLabelColors(reset.message));
        // The reset's own repaint has put the colours back, and asked for no other.
        CHECK(desktop.TextIsTransparent());
        CHECK(desktop.TextColor() == kLabel);
        CHECK_FALSE(GetUpdateRect(view, nullptr, FALSE));
        CHECK(CaptureView(view) == styled);
    }

    // Undo lets the shell's colours be: the user who chose opaque keeps them.
    core.undo();
    for (const auto& reset : resets) {
        const std::string name = reset.name;
        CAPTURE(name);
        REQUIRE(desktop.ResetLabelColors(reset.message));
        CHECK(desktop.TextBackground() == shellBackground);
        CHECK(desktop.TextColor() == kBlack);
    }
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

// The module's checks and its reference to itself, watched in this process: the desktop's
// window tree built here, the icon view on this thread or another.
TEST_CASE("the module attaches only with a plain colour, where the view and its parent share "
          "their thread, and lets go of itself wherever the view went") {
    LocalDesktop desktop;
    const DWORD self = GetCurrentProcessId();
    Core core;
    SUBCASE("a colour above 0x00FFFFFF is refused") {
        core.apply(desktop.view, 0x01000000 | kLabel, StyleShadow);
        CHECK(ModuleLoadCount(self, L"QuillCore.dll") == 1);
    }
    SUBCASE("a view whose parent belongs to another thread is refused") {
        IconViewThread other(desktop.defView);
        REQUIRE(other.view != nullptr);
        core.apply(other.view, kLabel, StyleShadow);
        CHECK(ModuleLoadCount(self, L"QuillCore.dll") == 1);
    }
    SUBCASE("an attachment on a thread that hangs holds up no apply and is not ended by it") {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>("Alpha");
        ListView_InsertItem(desktop.view, &item);
        SetTransparentLabels(desktop.view, kLabel);
        const std::vector<DWORD> plain = PrintView(desktop.view);
        IconViewThread hanging(nullptr);
        core.apply(hanging.view, kLabel, StyleShadow);
        REQUIRE(ModuleLoadCount(self, L"QuillCore.dll") == 2);
        hanging.Hang();
        // Returns while the thread hangs, and leaves this view plain: the earlier attachment
        // could not be asked to go.
        core.apply(desktop.view, kLabel, StyleShadow);
        CHECK(PrintView(desktop.view) == plain);
        hanging.Answer();
        core.apply(desktop.view, kLabel, StyleShadow);
        CHECK(PrintView(desktop.view) != plain);
        core.undo();
        CHECK(PrintView(desktop.view) == plain);
        CHECK(WaitUntil([&] { return ModuleLoadCount(self, L"QuillCore.dll") == 1; }));
    }
    SUBCASE("undo reaches the view after it moved under another parent") {
        HWND otherDefView = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 200, 100,
                                            desktop.top, nullptr, nullptr, nullptr);
        core.apply(desktop.view, kLabel, StyleShadow);
        REQUIRE(ModuleLoadCount(self, L"QuillCore.dll") == 2);
        SetParent(desktop.view, otherDefView);
        core.undo();
        CHECK(WaitUntil([&] { return ModuleLoadCount(self, L"QuillCore.dll") == 1; }));
    }
    SUBCASE("the release waits on another window of the thread once the desktop is gone") {
        HWND spare = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
        core.apply(desktop.view, kLabel, StyleShadow);
        REQUIRE(ModuleLoadCount(self, L"QuillCore.dll") == 2); // attached: it holds itself
        // Destroyed with the subclass on, while the release's first send is under way.
        DestroyWindow(desktop.top);
        CHECK(WaitUntil([&] { return ModuleLoadCount(self, L"QuillCore.dll") == 1; }));
        DestroyWindow(spare);
    }
}

TEST_CASE("the module registers its message names once; a name that comes back 0 makes the "
          "styles unavailable") {
    LocalDesktop desktop;
    const DWORD self = GetCurrentProcessId();
    // A copy of its own, loaded fresh: the names are registered on the module's first use.
    char copy[MAX_PATH];
    GetTempPathA(MAX_PATH, copy);
    lstrcatA(copy, "QuillCoreFresh.dll");
    REQUIRE(CopyFileA((BuildBinFolder() + "QuillCore.dll").c_str(), copy, FALSE));
    {
        Core core(copy);
        void* original = nullptr;
        REQUIRE(ReplaceImport(core.module, "user32.dll", "RegisterWindowMessageA",
                              reinterpret_cast<void*>(FailRegistration), &original));
        core.apply(desktop.view, kLabel, StyleShadow);
        CHECK(ModuleLoadCount(self, L"QuillCoreFresh.dll") == 1); // nothing attached

        realRegister = reinterpret_cast<RegisterFunction>(original);
        ReplaceImport(core.module, "user32.dll", "RegisterWindowMessageA",
                      reinterpret_cast<void*>(CountRegistration), &original);
        core.apply(desktop.view, kLabel, StyleShadow);
        REQUIRE(ModuleLoadCount(self, L"QuillCoreFresh.dll") == 2); // attached: it holds itself
        registrations = 0;
        for (int i = 0; i < 100; ++i) SendMessageA(desktop.defView, WM_USER, 0, 0);
        core.undo();
        CHECK(registrations == 0);
        CHECK(WaitUntil([&] { return ModuleLoadCount(self, L"QuillCoreFresh.dll") == 1; }));
        ReplaceImport(core.module, "user32.dll", "RegisterWindowMessageA", original, &original);
    }
    DeleteFileA(copy);
}


int CALLBACK DescendingItems(LPARAM first, LPARAM second, LPARAM) {
    return first < second ? 1 : -1;
}

// The module keeps each label's finished copies from one paint to the next: a change of
// what they depend on must show in the next paint as a fresh attachment draws it.
TEST_CASE("a label's copies follow its text, place and font from one paint to the next") {
    HFONT bigFont = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    {
        LocalDesktop desktop;
        HWND view = desktop.view;
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>("Alpha");
        ListView_InsertItem(view, &item);
        SetTransparentLabels(view, kLabel);
        Core core;
        core.apply(view, kLabel, StyleEmbossed);
        const std::vector<DWORD> before = PrintView(view);
        CHECK(PrintView(view) == before); // drawn again from what was kept
        SUBCASE("renamed") {
            ListView_SetItemText(view, 0, 0, const_cast<char*>("Omega"));
        }
        for (const bool textOfItsOwn : {false, true}) {
            SUBCASE(textOfItsOwn ? "given a text of its own after the parent kept it"
                                 : "renamed by the parent that keeps it, the view told nothing") {
                defViewLabel = L"Alpha";
                ListView_SetItemText(view, 0, 0, LPSTR_TEXTCALLBACKA);
                REQUIRE(PrintView(view) == before);
                defViewLabel = L"Omega";
                if (textOfItsOwn) ListView_SetItemText(view, 0, 0, const_cast<char*>("Omega"));
            }
        }
        SUBCASE("sorted into another order, which the parent does not hear of") {
            SetWindowLongA(view, GWL_STYLE, GetWindowLongA(view, GWL_STYLE) | LVS_AUTOARRANGE);
            item.mask |= LVIF_PARAM;
            item.iItem = item.lParam = 1;
            item.pszText = const_cast<char*>("Omega");
            ListView_InsertItem(view, &item);
            PrintView(view);
            ListView_SortItems(view, DescendingItems, 0);
        }
        SUBCASE("moved") {
            ListView_SetItemPosition(view, 0, 60, 30);
        }
        SUBCASE("another font") {
            SendMessageA(view, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont), FALSE);
        }
        const std::vector<DWORD> changed = PrintView(view);
        CHECK(changed != before);
        core.undo();
        REQUIRE(WaitUntil(
            [] { return ModuleLoadCount(GetCurrentProcessId(), L"QuillCore.dll") == 1; }));
        core.apply(view, kLabel, StyleEmbossed);
        CHECK(PrintView(view) == changed);
    }
    DeleteObject(bigFont);
}
