// The real program with the real core module on the simulated desktop: what the style
// radios, the opaque command, the program's end, a killed program and a restarted
// desktop leave on the icon labels.
#include <doctest.h>

#include "../../src/common/resource.h"
#include "harness.h"
#include "view_capture.h"

namespace {

// The program started from a folder of its own with the real core module, waited for
// until it has made the labels transparent.
struct Run {
    explicit Run(const SimDesktop& desktop) : app(folder) {
        REQUIRE(app.WaitForMainWindow());
        REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }));
    }
    void ExitAndWait() {
        app.SendCommand(IDM_EXIT);
        DWORD exitCode = 99;
        REQUIRE(app.WaitForExit(kDefaultWaitMs, &exitCode));
    }
    AppFolder folder{kRealCore};
    App app;
};

// The labels as the program makes them transparent, in the normal style.
ViewImage PlainLabels(const Run& run, HWND view) {
    run.app.Click(IDC_STYLE_NORMAL);
    return CaptureView(view);
}

} // namespace

TEST_CASE("the style radios draw at once; the opaque command and the end draw plain labels") {
    SimDesktop desktop;
    HWND view = desktop.View();
    const ViewImage opaque = CaptureView(view);
    REQUIRE_FALSE(opaque.Empty());
    Run run(desktop);
    const COLORREF label = desktop.TextColor();
    const ViewImage plain = PlainLabels(run, view);
    CHECK_FALSE(plain == opaque);

    const struct {
        int radio;
        int style;
    } radios[] = {{IDC_STYLE_SHADOW, kShadow},
                  {IDC_STYLE_EMBOSSED, kEmbossed},
                  {IDC_STYLE_ENGRAVED, kEngraved}};
    for (const auto& each : radios) {
        CAPTURE(each.style);
        run.app.Click(each.radio);
        CheckStyled(plain, CaptureView(view), each.style, label);
    }
    run.app.SendCommand(IDC_OPAQUE);
    CHECK(CaptureView(view) == opaque);
    run.app.SendCommand(IDC_TRANSPARENT);
    CheckStyled(plain, CaptureView(view), kEngraved, label);

    // The module is unloaded right after the last undo; the desktop must not need it.
    run.ExitAndWait();
    CHECK(CaptureView(view) == plain);
    CHECK(RepaintView(view, 100) > 0);
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("a killed program leaves the desktop styled and running; a new start takes over") {
    SimDesktop desktop;
    HWND view = desktop.View();
    ViewImage plain;
    COLORREF label = 0;
    {
        Run first(desktop);
        label = desktop.TextColor();
        plain = PlainLabels(first, view);
        first.app.Click(IDC_STYLE_SHADOW);
        first.app.process.Kill();
    }
    // About 10 s of repaints with nobody left to undo the style.
    for (int round = 0; round < 20; ++round) {
        REQUIRE(RepaintView(view, 5) > 0);
        Pause(500);
    }
    CheckStyled(plain, CaptureView(view), kShadow, label);

    // A new start from another folder loads another copy of the module into the desktop;
    // the first copy must let go, or its shadow would stay under the normal style.
    Run next(desktop);
    CHECK(desktop.TextColor() == label);
    next.app.Click(IDC_STYLE_NORMAL);
    CHECK(CaptureView(view) == plain);
    next.app.Click(IDC_STYLE_EMBOSSED);
    CheckStyled(plain, CaptureView(view), kEmbossed, label);
    next.ExitAndWait();
    CHECK(RepaintView(view, 100) > 0);
    CHECK(CaptureView(view) == plain);
}

TEST_CASE("a restarted desktop gets its style back through the watchdog") {
    SimDesktop desktop;
    Run run(desktop);
    const COLORREF label = desktop.TextColor();
    run.app.Click(IDC_STYLE_SHADOW);

    desktop.Restart();
    HWND view = desktop.View();
    REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }, kWatchdogWaitMs));
    const ViewImage styled = CaptureView(view);
    CheckStyled(PlainLabels(run, view), styled, kShadow, label);
    run.ExitAndWait();
}

TEST_CASE("a program that ends during a modal loop of the desktop leaves the module in place") {
    SimDesktop desktop;
    HWND view = desktop.View();
    const DWORD shell = ProcessOf(view);
    int attached = 0;
    {
        Run run(desktop);
        run.app.Click(IDC_STYLE_SHADOW);
        attached = ModuleLoadCount(shell, L"QuillCore.dll");
        REQUIRE(attached > 0);
        // As the desktop's context menu would: the subclass waits on the stack.
        REQUIRE(desktop.StartModalLoop());
        run.ExitAndWait();
    }
    // The undo came inside the loop; the release keeps looking while the loop runs.
    Pause(1000);
    CHECK(ModuleLoadCount(shell, L"QuillCore.dll") == attached);
    REQUIRE(desktop.EndModalLoop());
    CHECK(WaitUntil([&] { return ModuleLoadCount(shell, L"QuillCore.dll") < attached; }));
    CHECK(RepaintView(view, 10) > 0);
    CHECK(IsWindow(view));
}
