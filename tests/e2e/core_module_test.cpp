// The real core module called directly, as the program calls it, against the simulated
// desktop in its own process: the styles as pixels, undo, and the desktop's safety.
#include <doctest.h>

#include "harness.h"
#include "view_capture.h"

namespace {

constexpr COLORREF kLabel = RGB(255, 255, 0);
constexpr COLORREF kWallpaper = RGB(0, 128, 128); // the simulated desktop's icon view
constexpr int kShadow = 1, kEmbossed = 4000, kEngraved = 4001;
// Far fewer than the labels of the default icons give; a style drawn nowhere fails.
constexpr int kMinCopyPixels = 50;

using ApplyFunction = void(__cdecl *)(HWND, COLORREF, int);
using UndoFunction = void(__cdecl *)();

// QuillCore.dll from the build folder, loaded and looked up as the program does.
struct Core {
    Core() {
        module = LoadLibraryA("QuillCore.dll");
        apply = reinterpret_cast<ApplyFunction>(
            reinterpret_cast<void *>(GetProcAddress(module, "Quillmere")));
        undo = reinterpret_cast<UndoFunction>(
            reinterpret_cast<void *>(GetProcAddress(module, "Unquillmere")));
        const bool bothFound = apply && undo;
        REQUIRE(bothFound);
    }
    ~Core() {
        Unload();
    }
    void Unload() {
        if (module)
            FreeLibrary(module);
        module = nullptr;
    }
    HMODULE module = nullptr;
    ApplyFunction apply = nullptr;
    UndoFunction undo = nullptr;
};

std::vector<StyleCopy> CopiesOf(int style) {
    if (style == kEmbossed)
        return {{-1, -1, kWhite}, {1, 1, kBlack}};
    if (style == kEngraved)
        return {{-1, -1, kBlack}, {1, 1, kWhite}};
    return {{1, 1, kBlack}};
}

// Every copy of the style is there in full, the label keeps its colour, and nothing
// else changed.
void CheckStyled(const ViewImage &plain, const ViewImage &styled, int style) {
    REQUIRE_FALSE(styled.Empty());
    const std::vector<StyleCopy> copies = CopiesOf(style);
    for (size_t i = 0; i < copies.size(); ++i) {
        CAPTURE(i);
        const CopyPixels found = CountCopyPixels(plain, styled, kLabel, kWallpaper, copies, i);
        CHECK(found.candidates > kMinCopyPixels);
        CHECK(found.matching == found.candidates);
    }
    CHECK(CountChangedLabelPixels(plain, styled, kLabel) == 0);
    CHECK(CountStrayChanges(plain, styled, kWallpaper, copies) == 0);
}

} // namespace

TEST_CASE("each style is drawn at once under the labels, and undo draws them plain") {
    SimDesktop desktop;
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    REQUIRE_FALSE(plain.Empty());
    Core core;

    // One apply after the other with no undo between: the latest one is in force.
    const int styles[] = {kShadow, kEmbossed, kEngraved, kShadow, 7, -2};
    for (int style : styles) {
        CAPTURE(style);
        core.apply(view, kLabel, style);
        CheckStyled(plain, CaptureView(view), style);
    }
    SUBCASE("the normal style draws nothing extra") {
        core.apply(view, kLabel, 0);
        CHECK(CaptureView(view) == plain);
    }
    SUBCASE("a null view changes nothing") {
        core.apply(nullptr, kLabel, 0);
        CheckStyled(plain, CaptureView(view), -2);
    }
    core.undo();
    CHECK(CaptureView(view) == plain);
    core.undo();
    CHECK(CaptureView(view) == plain);
    core.apply(view, kLabel, kEngraved);
    CheckStyled(plain, CaptureView(view), kEngraved);
    core.undo();
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("undo without an apply before it changes nothing") {
    SimDesktop desktop;
    SetTransparentLabels(desktop.View(), kLabel);
    const ViewImage plain = CaptureView(desktop.View());
    Core core;
    core.undo();
    core.undo();
    CHECK(CaptureView(desktop.View()) == plain);
}

TEST_CASE("after undo and unloading the desktop runs on without the module's threads") {
    SimDesktop desktop;
    HWND view = desktop.View();
    const DWORD desktopProcess = ProcessOf(view);
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);
    const int threadsBefore = ThreadCount(desktopProcess);
    {
        Core core;
        core.apply(view, kLabel, kEmbossed);
        CheckStyled(plain, CaptureView(view), kEmbossed);
        if (ModulesVisible(desktopProcess))
            CHECK(HasModule(desktopProcess, "QuillCore.dll"));
        core.undo();
        core.Unload();
    }
    // The module gives its own reference back from a short thread of its own.
    CHECK(WaitUntil([&] { return ThreadCount(desktopProcess) == threadsBefore; }));
    CHECK(RepaintView(view, 100) > 0);
    CHECK(CaptureView(view) == plain);
    CHECK(IsWindow(view));
}

TEST_CASE("a view that is gone is forgotten and the next apply attaches to the new one") {
    SimDesktop desktop;
    Core core;
    SetTransparentLabels(desktop.View(), kLabel);
    core.apply(desktop.View(), kLabel, kShadow);
    desktop.Restart();
    HWND view = desktop.View();
    SetTransparentLabels(view, kLabel);
    const ViewImage plain = CaptureView(view);

    core.apply(view, kLabel, kEmbossed);
    CheckStyled(plain, CaptureView(view), kEmbossed);
    core.undo();
    CHECK(CaptureView(view) == plain);
}
