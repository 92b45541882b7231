// The fixture of the end-to-end tests (harness.h); apart from the harness, which the
// benchmarks share, since it checks as it goes.
#include <doctest.h>

#include <ctype.h>

#include "../../src/common/resource.h"
#include "harness.h"

namespace {

const AppFolder& Prepared(const SimDesktop& desktop, const AppFolder& folder,
                          const Running::Prepare& prepare) {
    if (prepare) prepare(desktop, folder);
    return folder;
}

bool StartsHidden(std::string arguments) {
    for (char& c : arguments) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return arguments.find("AUTOSET") != std::string::npos;
}

} // namespace

Running::Running(const std::string& arguments, const std::string& desktopOptions,
                 const Prepare& prepare, const std::string& coreFolder)
    : desktop(desktopOptions), folder(coreFolder),
      app(Prepared(desktop, folder, prepare), arguments) {
    REQUIRE(app.WaitForMainWindow(kStartWaitMs));
    if (!StartsHidden(arguments)) REQUIRE(WaitUntil([&] { return app.IsVisible(); }, kStartWaitMs));
    REQUIRE(WaitUntil([&] { return desktop.TextIsTransparent(); }, kStartWaitMs));
}

void Running::ExitAndWait() {
    app.PostCommand(IDM_EXIT);
    REQUIRE(app.ExitCode() == 0);
}

void Running::SaveByMainButton() {
    folder.Write("Saves", "ShadowDist", nullptr);
    app.Click(IDC_MAIN_BUTTON);
    REQUIRE(WaitUntil([&] { return !app.IsVisible(); }));
    REQUIRE(WaitUntil([&] { return folder.Saved("ShadowDist") != kNone; }));
}
