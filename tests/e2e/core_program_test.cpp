// The real program with the real core module on the simulated desktop: what the style
// radios, the opaque command, the program's end, a killed program and a restarted
// desktop leave on the icon labels.
#include <doctest.h>

#include "../../src/common/resource.h"
#include "harness.h"
#include "view_capture.h"

namespace {

// The program with the real core module, settled.
struct RealCore : Running {
    explicit RealCore(const Prepare& prepare = nullptr) : Running("", "", prepare, kRealCore) {}
    HWND View() const { return desktop.View(); }
    ViewImage PlainLabels() const { return ::PlainLabels(app, View()); }
};

} // namespace

TEST_CASE("the style radios draw at once; the opaque command and the end draw plain labels") {
    ViewImage opaque;
    RealCore run(
        [&](const SimDesktop& desktop, const AppFolder&) { opaque = CaptureView(desktop.View()); });
    REQUIRE_FALSE(opaque.Empty());
    const COLORREF label = run.desktop.TextColor();
    const ViewImage plain = run.PlainLabels();
    CHECK_FALSE(plain == opaque);

    CheckStyleRadios(run.app, run.View(), plain, opaque, label);

    // The module is unloaded right after the last undo; the desktop must not need it.
    run.ExitAndWait();
    CHECK(CaptureView(run.View()) == plain);
    CHECK(RepaintViewTimed(run.View(), 100) > 0);
    CHECK(CaptureView(run.View()) == plain);
}

TEST_CASE("a killed program leaves the desktop styled and running; a new start takes over") {
    RealCore first;
    HWND view = first.View();
    const COLORREF label = first.desktop.TextColor();
    const ViewImage plain = first.PlainLabels();
    first.app.Click(IDC_STYLE_SHADOW);
    first.app.process.Kill();
    // About 10 s of repaints with nobody left to undo the style.
    for (int round = 0; round < 20; ++round) {
        REQUIRE(RepaintViewTimed(view, 5) > 0);
        Pause(500);
    }
    CheckStyled(plain, CaptureView(view), StyleShadow, label);

    // A new start from another folder loads another copy of the module into the desktop;
    // the first copy must let go, or its shadow would stay under the normal style.
    AppFolder folder(kRealCore);
    App next(folder);
    REQUIRE(next.WaitForMainWindow());
    REQUIRE(WaitUntil([&] { return first.desktop.TextIsTransparent(); }));
    CHECK(first.desktop.TextColor() == label);
    next.Click(IDC_STYLE_NORMAL);
    CHECK(CaptureView(view) == plain);
    next.Click(IDC_STYLE_EMBOSSED);
    CheckStyled(plain, CaptureView(view), StyleEmbossed, label);
    next.PostCommand(IDM_EXIT);
    REQUIRE(next.WaitForExit(kDefaultWaitMs, nullptr));
    CHECK(RepaintViewTimed(view, 100) > 0);
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("a restarted desktop gets its style back through the watchdog") {
    RealCore run;
    const COLORREF label = run.desktop.TextColor();
    run.app.Click(IDC_STYLE_SHADOW);

    run.desktop.Restart();
    REQUIRE(WaitUntil([&] { return run.desktop.TextIsTransparent(); }, kWatchdogWaitMs));
    const ViewImage styled = CaptureView(run.View());
    CheckStyled(run.PlainLabels(), styled, StyleShadow, label);
    run.ExitAndWait();
}

TEST_CASE("a program that ends during a modal loop of the desktop leaves the module in place") {
    RealCore run;
    const DWORD shell = run.desktop.ProcessId();
    run.app.Click(IDC_STYLE_SHADOW);
    const int attached = ModuleLoadCount(shell, L"QuillCore.dll");
    REQUIRE(attached > 0);
    // As the desktop's context menu would: the subclass waits on the stack.
    REQUIRE(run.desktop.StartModalLoop());
    run.ExitAndWait();
    // The undo came inside the loop; the release keeps looking while the loop runs.
    Pause(1000);
    CHECK(ModuleLoadCount(shell, L"QuillCore.dll") == attached);
    REQUIRE(run.desktop.EndModalLoop());
    CHECK(WaitUntil([&] { return ModuleLoadCount(shell, L"QuillCore.dll") < attached; }));
    CHECK(RepaintViewTimed(run.View(), 10) > 0);
    CHECK(IsWindow(run.View()));
}
