// The real program with the real core module on the simulated desktop: what the style
// radios, the opaque command, the program's end, a killed program and a restarted
// desktop leave on the icon labels.
#include <doctest.h>

#include "../../src/app/resource.h"
#include "program_run.h"

namespace {

// The program started from a folder of its own with the real core module; the folder
// comes first, so that it exists when the program starts.
struct RealCoreFolder {
    AppFolder folder{kRealCore};
};
struct Run : RealCoreFolder, ProgramRun {
    explicit Run(const SimDesktop& desktop) : ProgramRun(folder, desktop) {}
};

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

    CheckStyleRadios(run, view, plain, opaque, label);

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
