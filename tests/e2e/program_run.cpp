#include "program_run.h"

#include <doctest.h>

#include "../../src/app/resource.h"

ProgramRun::ProgramRun(const AppFolder& folder, const SimDesktop& desktop) : app(folder) {
    REQUIRE(app.WaitForMainWindow());
    REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }));
}

void ProgramRun::ExitAndWait() {
    app.SendCommand(IDM_EXIT);
    DWORD exitCode = 99;
    REQUIRE(app.WaitForExit(kDefaultWaitMs, &exitCode));
}

ViewImage PlainLabels(const ProgramRun& run, HWND view) {
    run.app.Click(IDC_STYLE_NORMAL);
    return CaptureView(view);
}

void CheckStyleRadios(const ProgramRun& run, HWND view, const ViewImage& plain,
                      const ViewImage& opaque, COLORREF label) {
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
}
